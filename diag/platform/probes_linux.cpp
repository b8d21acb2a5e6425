// The diagnostics probes of Linux: /proc and /sys, the C library's account
// and locale queries, the desktop's MIME database (xdg-mime) and the usual
// environment files.
#include "probes_linux.h"

#include "factfiles.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <cmath>
#include <vector>

#include <grp.h>
#include <langinfo.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using DiagFiles::ReadText;
using DiagFiles::TextLines;

namespace {

const QString NotAvailable = QStringLiteral("not available on this platform");

// The value of "key: value" lines as /proc writes them (first match).
QString procField(const QString& text, const QString& key) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.left(colon).trimmed() == key) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

// "16318464 kB" -> kilobytes.
qint64 kilobytes(const QString& value) {
    return value.section(QLatin1Char(' '), 0, 0).toLongLong();
}

// "0-3,6,8-9" -> {0,1,2,3,6,8,9}; empty on a malformed list.
QList<int> cpuList(const QString& text) {
    QList<int> cpus;
    for (const QString& part : text.trimmed().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok1 = false;
        bool ok2 = true;
        const int first = part.section(QLatin1Char('-'), 0, 0).toInt(&ok1);
        const int last = part.contains(QLatin1Char('-'))
                             ? part.section(QLatin1Char('-'), 1, 1).toInt(&ok2)
                             : first;
        if (!ok1 || !ok2 || last < first) {
            return {};
        }
        for (int c = first; c <= last; ++c) {
            cpus << c;
        }
    }
    return cpus;
}

// The command line of a desktop entry ("Exec=" of its main group).
QString desktopExec(const QString& desktopFile) {
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopFile);
    if (path.isEmpty()) {
        return {};
    }
    bool mainGroup = false;
    for (const QString& raw : TextLines(ReadText(path))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            mainGroup = line == QLatin1String("[Desktop Entry]");
        } else if (mainGroup && line.startsWith(QLatin1String("Exec="))) {
            return line.mid(5);
        }
    }
    return {};
}

QString defaultApplication(const QString& mimeType) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return {};
    }
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// PATH=... lines of an environment file ("export PATH=..." too).
QString pathSetting(const QString& file) {
    for (const QString& raw : TextLines(ReadText(file))) {
        QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("export "))) {
            line = line.mid(7).trimmed();
        }
        if (line.startsWith(QLatin1String("PATH="))) {
            QString value = line.mid(5).trimmed();
            if (value.size() >= 2 && value.front() == QLatin1Char('"') &&
                value.back() == QLatin1Char('"')) {
                value = value.mid(1, value.size() - 2);
            }
            return value;
        }
    }
    return {};
}

} // namespace

// --- The two readers of the kernel's folders ----------------------------------------

TProcessorCounts ReadProcessorCounts(const QString& cpuFolder) {
    TProcessorCounts counts;
    const QDir dir(cpuFolder);
    if (!dir.exists()) {
        return counts;
    }
    QList<int> cpus = cpuList(ReadText(dir.filePath(QStringLiteral("online"))));
    if (cpus.isEmpty()) {
        static const QRegularExpression cpuName(QStringLiteral("^cpu(\\d+)$"));
        for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QRegularExpressionMatch m = cpuName.match(name);
            if (m.hasMatch()) {
                cpus << m.captured(1).toInt();
            }
        }
    }
    QSet<QString> packages;
    QSet<QString> cores;
    for (const int cpu : cpus) {
        const QString topology = dir.filePath(QStringLiteral("cpu%1/topology/").arg(cpu));
        const QString package =
            ReadText(topology + QStringLiteral("physical_package_id")).trimmed();
        const QString die = ReadText(topology + QStringLiteral("die_id")).trimmed();
        const QString core = ReadText(topology + QStringLiteral("core_id")).trimmed();
        if (package.isEmpty() || core.isEmpty()) {
            continue;
        }
        packages.insert(package);
        cores.insert(package + QLatin1Char('/') + die + QLatin1Char('/') + core);
        ++counts.LogicalCpus;
    }
    counts.Sockets = int(packages.size());
    counts.Cores = int(cores.size());
    return counts;
}

bool RunningProcessesList(const QString& procFolder, QStringList& names) {
    names.clear();
    const QDir proc(procFolder);
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!digits.match(entry).hasMatch()) {
            continue;
        }
        // Kernel threads have no command line and are no programs; a process
        // may also end between the listing and the reads.
        QFile cmdline(proc.filePath(entry + QStringLiteral("/cmdline")));
        if (!cmdline.open(QIODevice::ReadOnly) || cmdline.read(1).isEmpty()) {
            continue;
        }
        const QString name = ReadText(proc.filePath(entry + QStringLiteral("/comm"))).trimmed();
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return !names.isEmpty();
}

namespace DiagProbes {

// --- Memory and processors -------------------------------------------------------

QString SystemName() {
    return QSysInfo::kernelType() == QLatin1String("linux") ? QStringLiteral("Linux")
                                                            : QSysInfo::kernelType();
}

QString CompatibilityLayerVersion() {
    return {};
}

TMemoryFacts Memory() {
    TMemoryFacts f;
    const QString meminfo = ReadText(QStringLiteral("/proc/meminfo"));
    f.TotalPhysMB = kilobytes(procField(meminfo, QStringLiteral("MemTotal"))) / 1024;
    QString avail = procField(meminfo, QStringLiteral("MemAvailable"));
    if (avail.isEmpty()) {
        avail = procField(meminfo, QStringLiteral("MemFree"));
    }
    f.AvailPhysMB = kilobytes(avail) / 1024;

    // The user part of the address space: half of the virtual address bits
    // the processor offers (the kernel keeps the upper half), less when a
    // resource limit says so.
    const QString cpuinfo = ReadText(QStringLiteral("/proc/cpuinfo"));
    const QString sizes = procField(cpuinfo, QStringLiteral("address sizes"));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("(\\d+) bits virtual")).match(sizes);
    double totalBytes = 0;
    if (m.hasMatch()) {
        totalBytes = std::ldexp(1.0, m.captured(1).toInt() - 1);
    } else if (sizeof(void*) == 8) {
        totalBytes = std::ldexp(1.0, 47);
    } else {
        totalBytes = std::ldexp(1.0, 32);
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        totalBytes = std::min(totalBytes, double(limit.rlim_cur));
    }
    f.TotalVirtualMB = qint64(totalBytes / (1024.0 * 1024.0));
    const QString status = ReadText(QStringLiteral("/proc/self/status"));
    const qint64 usedMB = kilobytes(procField(status, QStringLiteral("VmSize"))) / 1024;
    f.AvailVirtualMB = std::max<qint64>(0, f.TotalVirtualMB - usedMB);
    f.WorkingSetMB = kilobytes(procField(status, QStringLiteral("VmRSS"))) / 1024;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 heap = mallinfo2();
    f.HeapUsedKB = qint64(heap.uordblks / 1024);
    f.HeapUnusedKB = qint64(heap.fordblks / 1024);
#endif
    return f;
}

QString Processor() {
    const QString cpuinfo = ReadText(QStringLiteral("/proc/cpuinfo"));
    const QString model = procField(cpuinfo, QStringLiteral("model name"));
    const QString vendor = procField(cpuinfo, QStringLiteral("vendor_id"));
    return (model.isEmpty() ? QStringLiteral("unknown model") : model) + QStringLiteral(" (") +
           (vendor.isEmpty() ? QString() : vendor + QStringLiteral(", ")) +
           QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
}

TProcessorCounts CountProcessors() {
    return ReadProcessorCounts(QStringLiteral("/sys/devices/system/cpu"));
}

// --- Folders ---------------------------------------------------------------------

QString WindowsFolder() {
    return {};
}

QChar SystemDriveLetter() {
    return QLatin1Char('C');
}

QString AbsoluteDrivePath(const QString& path) {
    return path;
}

QString HomeFolder() {
    return qEnvironmentVariable("HOME");
}

QString AppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QList<QPair<QString, QString>> LibraryFolders() {
    QList<QPair<QString, QString>> places;
    QStringList system = {QStringLiteral("/lib"), QStringLiteral("/usr/lib"),
                          QStringLiteral("/usr/local/lib")};
    for (const QString& sub :
         QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu*")}, QDir::Dirs)) {
        system << QStringLiteral("/usr/lib/") + sub;
    }
    for (const QString& folder : system) {
        places.append({QStringLiteral("System folder"), folder});
    }
    for (const QString& folder :
         qEnvironmentVariable("LD_LIBRARY_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        places.append({QStringLiteral("LD_LIBRARY_PATH folder"), folder});
    }
    return places;
}

// --- Environment and session -----------------------------------------------------

QString LoginName() {
    if (const passwd* pw = getpwuid(geteuid())) {
        return QString::fromLocal8Bit(pw->pw_name);
    }
    return {};
}

// The administrators of this platform: root, and the members of the groups
// that may act as root.
bool UserIsAdmin() {
    if (geteuid() == 0) {
        return true;
    }
    const int n = getgroups(0, nullptr);
    if (n <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<size_t>(n));
    const int got = getgroups(n, groups.data());
    for (int i = 0; i < got; ++i) {
        if (const group* g = getgrgid(groups[size_t(i)])) {
            const QByteArray name(g->gr_name);
            if (name == "sudo" || name == "wheel" || name == "admin") {
                return true;
            }
        }
    }
    return false;
}

QStringList ShellLines() {
    QStringList lines;
    // Scripts here are run by /bin/sh; the user's own shell is shown beside it.
    const QString shell = QStringLiteral("/bin/sh");
    lines << QStringLiteral("COMSPEC: ") + shell + QStringLiteral(" (login shell: ") +
                 qEnvironmentVariable("SHELL", QStringLiteral("not set")) + QLatin1Char(')');
    if (!QFileInfo(shell).isExecutable()) {
        lines << QStringLiteral("**** WARNING **** COMSPEC does not exist");
    }
    return lines;
}

TTestScript TestScript(const QString& folder) {
    return {folder + QStringLiteral("/vkdiagtest_%1.sh").arg(QCoreApplication::applicationPid()),
            "#!/bin/sh\nexit 7\n"};
}

QString AnsiCodePage() {
    return QString::fromLocal8Bit(nl_langinfo(CODESET)) +
           QStringLiteral(" (character set of the locale)");
}

QString OemCodePage() {
    return NotAvailable;
}

QString HiddenExtensionsLine() {
    return QStringLiteral("File extensions hidden in the file manager: ") + NotAvailable;
}

QStringList StoredPathLines() {
    // The user's own environment settings, then the system's.
    QStringList lines;
    QString userPath;
    QString userFile;
    const QDir envd(QDir::homePath() + QStringLiteral("/.config/environment.d"));
    for (const QString& name :
         envd.entryList({QStringLiteral("*.conf")}, QDir::Files, QDir::Name)) {
        const QString value = pathSetting(envd.filePath(name));
        if (!value.isEmpty()) {
            userPath = value;
            userFile = envd.filePath(name);
        }
    }
    lines << (userPath.isEmpty()
                  ? QStringLiteral("User PATH: not set in ") + envd.path()
                  : QStringLiteral("User PATH [") + userFile + QStringLiteral("]: ") + userPath);
    const QString systemFile = QStringLiteral("/etc/environment");
    const QString systemPath = pathSetting(systemFile);
    lines << (systemPath.isEmpty() ? QStringLiteral("System PATH: not set in ") + systemFile
                                   : QStringLiteral("System PATH [") + systemFile +
                                         QStringLiteral("]: ") + systemPath);
    return lines;
}

// --- File associations -----------------------------------------------------------

QString Association(const QString& extension) {
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + extension,
                                                           QMimeDatabase::MatchExtension);
    if (!mime.isValid() || mime.isDefault()) {
        return {};
    }
    QString text = mime.name() + QStringLiteral(" (") + mime.comment() + QStringLiteral("), ");
    const QString app = defaultApplication(mime.name());
    if (app.isEmpty()) {
        return text + QStringLiteral("no program registered to open it");
    }
    const QString exec = desktopExec(app);
    return text + QStringLiteral("open: ") +
           (exec.isEmpty() ? app : exec + QStringLiteral(" [") + app + QLatin1Char(']'));
}

// --- Processes -------------------------------------------------------------------

bool RunningProcesses(QStringList& names) {
    return RunningProcessesList(QStringLiteral("/proc"), names);
}

} // namespace DiagProbes
