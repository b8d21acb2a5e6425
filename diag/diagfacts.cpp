#include "diagfacts.h"

#include "fontnames.h"
#include "helpselector.h"
#include "launch.h"
#include "settings.h"
#include "suite.h"
#include "vkdebuginfo.h"
#include "workarea.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <tuple>

#if defined(Q_OS_UNIX)
#include <grp.h>
#include <langinfo.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_WIN)
#include <qt_windows.h>
#endif

namespace {

const QString NotAvailable = QStringLiteral("not available on this platform");

QString systemName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("Windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("macOS");
#else
    return QSysInfo::kernelType() == QLatin1String("linux") ? QStringLiteral("Linux")
                                                            : QSysInfo::kernelType();
#endif
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLocal8Bit(file.readAll());
}

QStringList textLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

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

QString executableFolder() {
    return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
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

// --- Special folders ------------------------------------------------------------

// The letter of the drive of the Windows folder ("C" where there is none).
QChar systemDriveLetter() {
#if defined(Q_OS_WIN)
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n >= 2 && n < MAX_PATH && buffer[1] == L':') {
        return QChar(buffer[0]).toUpper();
    }
#endif
    return QLatin1Char('C');
}

QString windowsFolder() {
#if defined(Q_OS_WIN)
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        return QString::fromWCharArray(buffer, int(n));
    }
#endif
    return {};
}

// A literal path of the table, on the Windows folder's drive.
QString onSystemDrive(const QString& path) {
    QString p = path;
    if (PathHasDriveLetter(p)) {
        p[0] = systemDriveLetter();
    }
    return p;
}

QString homeFolder() {
    const QString drive = qEnvironmentVariable("HOMEDRIVE");
    const QString path = qEnvironmentVariable("HOMEPATH");
    if (!drive.isEmpty() || !path.isEmpty()) {
        return drive + path;
    }
#if defined(Q_OS_WIN)
    return {};
#else
    return qEnvironmentVariable("HOME");
#endif
}

QString appDataFolder() {
#if defined(Q_OS_WIN)
    return qEnvironmentVariable("APPDATA");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

// --- System facts -------------------------------------------------------------------

QString operatingSystem() {
    return QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelType() +
           QLatin1Char(' ') + QSysInfo::kernelVersion() + QStringLiteral(" (") +
           QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
}

QString wineVersion() {
#if defined(Q_OS_WIN)
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        using WineGetVersion = const char*(CDECL*)();
        auto get = reinterpret_cast<WineGetVersion>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
        if (get != nullptr) {
            return QString::fromLatin1(get());
        }
    }
#endif
    return {};
}

void memoryFacts(TDiagFacts& f) {
    const QString meminfo = readText(QStringLiteral("/proc/meminfo"));
    f.TotalPhysMB = kilobytes(procField(meminfo, QStringLiteral("MemTotal"))) / 1024;
    QString avail = procField(meminfo, QStringLiteral("MemAvailable"));
    if (avail.isEmpty()) {
        avail = procField(meminfo, QStringLiteral("MemFree"));
    }
    f.AvailPhysMB = kilobytes(avail) / 1024;

    // The user part of the address space: half of the virtual address bits
    // the processor offers (the kernel keeps the upper half), less when a
    // resource limit says so.
    const QString cpuinfo = readText(QStringLiteral("/proc/cpuinfo"));
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
#if defined(Q_OS_UNIX)
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        totalBytes = std::min(totalBytes, double(limit.rlim_cur));
    }
#endif
    f.TotalVirtualMB = qint64(totalBytes / (1024.0 * 1024.0));
    const QString status = readText(QStringLiteral("/proc/self/status"));
    const qint64 usedMB = kilobytes(procField(status, QStringLiteral("VmSize"))) / 1024;
    f.AvailVirtualMB = std::max<qint64>(0, f.TotalVirtualMB - usedMB);
    f.WorkingSetMB = kilobytes(procField(status, QStringLiteral("VmRSS"))) / 1024;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 heap = mallinfo2();
    f.HeapUsedKB = qint64(heap.uordblks / 1024);
    f.HeapUnusedKB = qint64(heap.fordblks / 1024);
#endif
    const QString model = procField(cpuinfo, QStringLiteral("model name"));
    const QString vendor = procField(cpuinfo, QStringLiteral("vendor_id"));
    f.Processor = (model.isEmpty() ? QStringLiteral("unknown model") : model) +
                  QStringLiteral(" (") +
                  (vendor.isEmpty() ? QString() : vendor + QStringLiteral(", ")) +
                  QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
}

QString userName() {
    QString name = DebugInfoCofig().UserName;
#if defined(Q_OS_UNIX)
    if (name.isEmpty()) {
        if (const passwd* pw = getpwuid(geteuid())) {
            name = QString::fromLocal8Bit(pw->pw_name);
        }
    }
#endif
    if (name.isEmpty()) {
        name = qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
    }
    return name;
}

// The administrators of this platform: root, and the members of the groups
// that may act as root.
bool isAdmin() {
#if defined(Q_OS_UNIX)
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
#endif
    return false;
}

QStringList comspecLines() {
    QStringList lines;
#if defined(Q_OS_WIN)
    const QString comspec = qEnvironmentVariable("COMSPEC");
    if (comspec.isEmpty()) {
        return {QStringLiteral("COMSPEC: "),
                QStringLiteral("**** WARNING **** COMSPEC is not set")};
    }
    lines << QStringLiteral("COMSPEC: ") + comspec;
    if (QFileInfo(comspec).fileName().compare(QLatin1String("cmd.exe"), Qt::CaseInsensitive) != 0) {
        lines << QStringLiteral("**** WARNING **** COMSPEC is not cmd.exe");
    }
    if (!QFileInfo::exists(comspec)) {
        lines << QStringLiteral("**** WARNING **** COMSPEC does not exist");
    }
#else
    // Scripts here are run by /bin/sh; the user's own shell is shown beside it.
    const QString shell = QStringLiteral("/bin/sh");
    lines << QStringLiteral("COMSPEC: ") + shell + QStringLiteral(" (login shell: ") +
                 qEnvironmentVariable("SHELL", QStringLiteral("not set")) + QLatin1Char(')');
    if (!QFileInfo(shell).isExecutable()) {
        lines << QStringLiteral("**** WARNING **** COMSPEC does not exist");
    }
#endif
    return lines;
}

// Writes a two-line script into the temporary folder and runs it hidden with
// a time limit of 5 seconds; the script ends with a code of its own so that
// a run that never happened cannot pass.
QString runTestScript() {
    const QString folder = WithoutTrailingSeparator(TemporaryFolder());
#if defined(Q_OS_WIN)
    const QString path = folder + QStringLiteral("/vkdiagtest.bat");
    const QByteArray text = "@echo off\r\nexit 7\r\n";
#else
    const QString path =
        folder + QStringLiteral("/vkdiagtest_%1.sh").arg(QCoreApplication::applicationPid());
    const QByteArray text = "#!/bin/sh\nexit 7\n";
#endif
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        script.write(text) != text.size()) {
        return QStringLiteral("Cannot write ") + shown(path);
    }
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    TCmdRec rec;
    rec.Command = path;
    rec.WinTitle = path;
    rec.WorkDir = folder;
    rec.ShowCmd = 0;
    rec.CmdMaxSec = 5;
    const bool ran = RunCmdRec(rec);
    QFile::remove(path);
    if (rec.TimedOut) {
        return QStringLiteral("Time limit of 5 seconds exceeded running ") + shown(path);
    }
    if (!ran) {
        return QStringLiteral("Cannot run ") + shown(path);
    }
    if (rec.errcode != 7) {
        return QStringLiteral("Unexpected exit code %1 from ").arg(rec.errcode) + shown(path);
    }
    return QStringLiteral("OK");
}

void appearanceFacts(TDiagFacts& f) {
    f.LocaleLanguage = QLocale::languageToString(QLocale::system().language()) +
                       QStringLiteral(" (") + QLocale::system().name() + QLatin1Char(')');
#if defined(Q_OS_WIN)
    f.AnsiCodePage = QString::number(GetACP());
    f.OemCodePage = QString::number(GetOEMCP());
#elif defined(Q_OS_UNIX)
    f.AnsiCodePage = QString::fromLocal8Bit(nl_langinfo(CODESET)) +
                     QStringLiteral(" (character set of the locale)");
    f.OemCodePage = NotAvailable;
#endif
    f.LocaleDecimal = QLocale::system().decimalPoint();
    f.ProgramDecimal = QLocale().decimalPoint();
    f.HiddenExtensions =
        QStringLiteral("File extensions hidden in the file manager: ") + NotAvailable;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        f.MenuFontName = f.UIFont = f.FixedFont = f.SystemMonoFont = NotAvailable;
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        f.ScreenDpi = qRound(screen->logicalDotsPerInch());
        f.ScreenWidth = screen->geometry().width();
        f.ScreenHeight = screen->geometry().height();
    }
    const QFont menu = QApplication::font("QMenu");
    const QFontInfo menuInfo(menu);
    f.MenuFontName = MenuFontName();
    f.MenuFontSize = menuInfo.pointSize();
    f.MenuFontFixed = menuInfo.fixedPitch();
    f.UIFont = UIFontName();
    f.FixedFont = FixedFontName();
    f.SystemMonoFont = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        f.Monitors << TMonitorFact{g.width(), g.height(), g.top(), g.left(),
                                   screen == QGuiApplication::primaryScreen()};
    }
}

// --- File associations ---------------------------------------------------------

// The command line of a desktop entry ("Exec=" of its main group).
QString desktopExec(const QString& desktopFile) {
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopFile);
    if (path.isEmpty()) {
        return {};
    }
    bool mainGroup = false;
    for (const QString& raw : textLines(readText(path))) {
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

QString association(const QString& extension) {
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

// --- The suite ---------------------------------------------------------------------

// The suite's data (two kinds), solution (two kinds) and command (two kinds)
// file types, then three common types.
const char* const AssociationExtensions[] = {"vkd", "vkp", "vks", "vkx", "vkc",
                                             "vkm", "htm", "pdf", "txt"};

const char* const FlavourPrograms[] = {"praxel.exe", "vkrun.exe", "vkedit.exe"};

const char* const OtherMakersFiles[] = {"LF90.EXE",  "LF95.EXE",      "LIBIOMP5MD.DLL",
                                        "IFORT.EXE", "IFORTVARS.BAT", "GFORTVARS.BAT"};

const char CompilerNoteName[] = "compnote.txt";
const char* const CompilerConfigNames[] = {"vkfort.cfg", "vkcc.cfg", "vklink.cfg"};

QStringList firstLines(const QString& path, int count) {
    return textLines(readText(path)).mid(0, count);
}

void suiteFacts(TDiagFacts& f) {
    f.UseSparseLine = DescribeVKRegKey(QStringLiteral("UseSparse"));
    f.CompilerNoteFile = QString::fromLatin1(CompilerNoteName);
    if (f.SuiteFolder.isEmpty()) {
        return;
    }
    const QDir suite(f.SuiteFolder);
    for (const char* name : FlavourPrograms) {
        const QString path = suite.filePath(QString::fromLatin1(name));
        TProgramFlavour p;
        p.FileName = QString::fromLatin1(name);
        p.Found = FileExists(path);
        p.Flavour = ExecutableFlavour(path);
        f.Flavours << p;
    }
    const QString note = suite.filePath(f.CompilerNoteFile);
    if (FileExists(note)) {
        f.CompilerNote = firstLines(note, 7);
    }
    for (const char* name : CompilerConfigNames) {
        const QString path = suite.filePath(QString::fromLatin1(name));
        if (FileExists(path)) {
            f.CompilerConfigs.append({shown(path), textLines(readText(path))});
        }
    }
}

QStringList pathFolders() {
    QStringList folders;
    for (const QString& folder :
         qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << folder.trimmed();
    }
    return folders;
}

// --- Settings store ------------------------------------------------------------------

bool canWriteSettingsFile(const QString& file) {
    const QFileInfo info(file);
    if (info.exists()) {
        return info.isWritable();
    }
    // The file would be created in its folder, or in the nearest existing
    // folder above it.
    QDir dir = info.absoluteDir();
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp()) {
            break;
        }
    }
    return QFileInfo(dir.absolutePath()).isWritable();
}

// PATH=... lines of an environment file ("export PATH=..." too).
QString pathSetting(const QString& file) {
    for (const QString& raw : textLines(readText(file))) {
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

QStringList registryLines() {
    QStringList lines;
    const QSettings machine(QSettings::NativeFormat, QSettings::SystemScope,
                            QStringLiteral("VARNOK"));
    const QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNOK"));
    lines << (canWriteSettingsFile(machine.fileName())
                  ? QStringLiteral("User can write to the machine-wide settings: ")
                  : QStringLiteral("User cannot write to the machine-wide settings: ")) +
                 shown(machine.fileName());
    lines << (canWriteSettingsFile(user.fileName())
                  ? QStringLiteral("User can write to the per-user settings: ")
                  : QStringLiteral("User cannot write to the per-user settings: ")) +
                 VKRegKeyLocation();
#if defined(Q_OS_WIN)
    const QSettings userEnv(QStringLiteral("HKEY_CURRENT_USER\\Environment"),
                            QSettings::NativeFormat);
    const QSettings systemEnv(
        QStringLiteral(
            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"),
        QSettings::NativeFormat);
    lines << QStringLiteral("User PATH: ") + userEnv.value(QStringLiteral("Path")).toString();
    lines << QStringLiteral("System PATH: ") + systemEnv.value(QStringLiteral("Path")).toString();
#else
    // The user's own environment settings, then the system's.
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
#endif
    return lines;
}

// --- Files -------------------------------------------------------------------------------

QStringList fileList(const QString& folder) {
    QStringList lines;
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& file : files) {
        lines << PadRight(file.fileName(), 32) + QLatin1Char(' ') +
                     QStringLiteral("%1").arg(file.size(), 12) + QStringLiteral("  ") +
                     file.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("No files");
    }
    return lines;
}

QStringList runtimeLibraryLines() {
    QList<QPair<QString, QString>> places;
    places.append({QStringLiteral("Application folder"), executableFolder()});
    places.append({QStringLiteral("Current folder"), QDir::currentPath()});
#if defined(Q_OS_WIN)
    wchar_t buffer[MAX_PATH];
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        places.append({QStringLiteral("System folder"), QString::fromWCharArray(buffer, int(n))});
    }
    places.append({QStringLiteral("Windows folder"), windowsFolder()});
#else
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
#endif
    for (const QString& folder : pathFolders()) {
        places.append({QStringLiteral("PATH folder"), folder});
    }
    QStringList lines;
    QSet<QString> seen;
    for (const auto& [label, folder] : places) {
        if (folder.isEmpty()) {
            continue;
        }
        for (const QString& name :
             {QStringLiteral("libiomp5md.dll"), QStringLiteral("libiomp5.so")}) {
            for (const QString& hit : FoldersHolding({folder}, name)) {
                const QString line = label + QStringLiteral(": ") + shown(QDir(hit).filePath(name));
                if (!seen.contains(line)) {
                    seen.insert(line);
                    lines << line;
                }
            }
        }
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("LIBIOMP5MD.DLL not found in the application, current, system or "
                                "PATH folders");
    }
    return lines;
}

// --- The praxel report ------------------------------------------------------------------

// A report run of praxel.exe started at the beginning of the report and
// collected at its end.
class TPraxelReportRun {
public:
    void start() {
        const QString suite = FindVarnokFolder();
        FRun = PraxelRunFor(suite, TemporaryFolder());
        if (suite.isEmpty()) {
            FError = QStringLiteral("Cannot locate VARNOK folder");
            return;
        }
        if (!FileExists(FRun.Program)) {
            FError = QStringLiteral("Cannot locate PRAXEL.EXE");
            return;
        }
        FError = PreparePraxelRun(FRun);
        if (!FError.isEmpty()) {
            return;
        }
        FRec.Command = FRun.Program;
        FRec.Parameters = PraxelParameters(FRun.InputFile);
        FRec.WinTitle = FRec.Command;
        FRec.WorkDir = FRun.WorkDir;
        FRec.ShowCmd = 2;
        if (!LaunchCmd(FRec)) {
            FError = QStringLiteral("Cannot run PRAXEL.EXE");
        }
    }

    void finish(TDiagFacts& f) {
        f.PraxelReportFile = shown(FRun.ReportFile);
        if (FError.isEmpty() && FRec.ProcInf.Process) {
            QProcess& p = *FRec.ProcInf.Process;
            for (int poll = 0; poll < 10 && p.state() != QProcess::NotRunning; ++poll) {
                p.waitForFinished(100);
            }
            if (p.state() != QProcess::NotRunning) {
                p.kill();
                p.waitForFinished(1000);
                FError = QStringLiteral("PRAXEL.EXE did not finish within 1 second");
            } else if (!FileExists(FRun.ReportFile)) {
                FError = QStringLiteral("cannot locate: ") + shown(FRun.ReportFile);
            } else {
                f.PraxelReport = textLines(readText(FRun.ReportFile));
            }
            FRec.ProcInf.Process.reset();
        }
        f.PraxelOk = FError.isEmpty();
        f.PraxelError = FError;
        if (!FRun.Program.isEmpty() && !FRun.WorkDir.isEmpty()) {
            QFile::remove(FRun.ReportFile);
            QFile::remove(FRun.InputFile);
        }
    }

private:
    TPraxelRun FRun;
    TCmdRec FRec;
    QString FError;
};

// The help file the help layer opens; empty when the program has named none.
QString helpFilePath() {
    return HelpSelector::HelpFile().isEmpty() ? QString() : HelpSelector::QtHelpFilePath();
}

QStringList buildLines() {
#if defined(__clang__)
    const QString compiler = QStringLiteral("clang++ ") + QStringLiteral(__clang_version__);
#elif defined(__GNUC__)
    const QString compiler = QStringLiteral("g++ ") + QStringLiteral(__VERSION__);
#elif defined(_MSC_VER)
    const QString compiler = QStringLiteral("MSVC %1").arg(_MSC_FULL_VER);
#else
    const QString compiler = QStringLiteral("unknown compiler");
#endif
    return {QStringLiteral("Compiler: ") + compiler.trimmed() +
                QStringLiteral(", C++ %1").arg(long(__cplusplus)),
            QStringLiteral("Toolkit: Qt ") + QStringLiteral(QT_VERSION_STR) +
                QStringLiteral(" (running with Qt ") + QString::fromLatin1(qVersion()) +
                QStringLiteral("), ") + QSysInfo::buildAbi()};
}

} // namespace

// --- Special folders ---------------------------------------------------------------

QString NormaliseSpecialPath(const QString& path) {
    QString p = path.trimmed();
    if (p.isEmpty()) {
        return p;
    }
    if (PathHasDriveLetter(p)) {
        if (p.size() == 2) {
            p += QLatin1Char('\\');
        }
        p = WithoutTrailingSeparator(p);
#if defined(Q_OS_WIN)
        return QDir::toNativeSeparators(QDir::cleanPath(QDir(p).absolutePath()) +
                                        (p.size() == 3 ? QStringLiteral("/") : QString()));
#else
        return p;
#endif
    }
    p = WithoutTrailingSeparator(p);
    return shown(QDir::cleanPath(QDir::current().absoluteFilePath(p)));
}

TSpecialFolder SpecialFolder(int sdt) {
    TSpecialFolder f;
    f.Index = sdt;
    QString path;
    switch (sdt) {
    case 0:
        return f;
    case 1:
        f.Label = QStringLiteral("Windows Folder");
        path = windowsFolder();
        break;
    case 2:
        f.Label = QStringLiteral("TMP Folder");
        path = qEnvironmentVariable("TMP");
        break;
    case 3:
        f.Label = QStringLiteral("TEMP Folder");
        path = qEnvironmentVariable("TEMP");
        break;
    case 4:
        f.Label = QStringLiteral("SYSTEMDRIVE");
        path = qEnvironmentVariable("SYSTEMDRIVE");
        break;
    case 5:
        f.Label = QStringLiteral("VKTEMP Folder");
        path = qEnvironmentVariable("VKTEMP");
        break;
    case 6:
        f.Label = QStringLiteral("VKKEEP Folder");
        path = qEnvironmentVariable("VKKEEP");
        break;
    case 7:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\temp"));
        break;
    case 8:
        f.Label = QStringLiteral("VKDIR Folder");
        path = qEnvironmentVariable("VKDIR");
        break;
    case 9:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\VK"));
        break;
    case 10:
        f.Label = QStringLiteral("Current Directory");
        path = QDir::currentPath();
        break;
    case 11:
        f.Label = QStringLiteral("Application Folder");
        path = executableFolder();
        break;
    case 12:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\"));
        break;
    case 13:
        f.Label = QStringLiteral("HOMEPATH Folder");
        path = homeFolder();
        break;
    case 14:
        f.Label = QStringLiteral("User Folder");
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 15:
        f.Label = QStringLiteral("AppData Folder");
        path = appDataFolder();
        break;
    default:
        ShowMessageDialog(QStringLiteral("program error: unexpected case of sdt"), mkError, mbOK,
                          0);
        return f;
    }
    f.Path = NormaliseSpecialPath(path);
    f.Defined = !f.Path.isEmpty();
    return f;
}

void ProbeFolder(TSpecialFolder& folder) {
    folder.Exists = folder.Defined && FolderExists(folder.Path);
    folder.Writeable = false;
    if (!folder.Exists) {
        return;
    }
    const QString scratch =
        QDir(folder.Path)
            .filePath(QStringLiteral("vkdiag_%1.tmp").arg(QCoreApplication::applicationPid()));
    QFile file(scratch);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        file.close();
        folder.Writeable = file.remove();
    }
}

QList<TSpecialFolder> SpecialFolders() {
    QList<TSpecialFolder> list;
    for (int sdt = 1; sdt <= SpecialFolderCount; ++sdt) {
        TSpecialFolder f = SpecialFolder(sdt);
        ProbeFolder(f);
        list << f;
    }
    return list;
}

// --- Processors ----------------------------------------------------------------------

TProcessorCounts ReadProcessorCounts(const QString& cpuFolder) {
    TProcessorCounts counts;
    const QDir dir(cpuFolder);
    if (!dir.exists()) {
        return counts;
    }
    QList<int> cpus = cpuList(readText(dir.filePath(QStringLiteral("online"))));
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
            readText(topology + QStringLiteral("physical_package_id")).trimmed();
        const QString die = readText(topology + QStringLiteral("die_id")).trimmed();
        const QString core = readText(topology + QStringLiteral("core_id")).trimmed();
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

const TProcessorCounts& ProcessorCounts() {
    static const TProcessorCounts counts =
        ReadProcessorCounts(QStringLiteral("/sys/devices/system/cpu"));
    return counts;
}

// --- Processes ---------------------------------------------------------------------

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
        const QString name = readText(proc.filePath(entry + QStringLiteral("/comm"))).trimmed();
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return !names.isEmpty();
}

// --- Executables --------------------------------------------------------------------

QString ExecutableFlavour(const QString& path) {
    if (!FileExists(path)) {
        return QStringLiteral("not found");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot be read");
    }
    const QByteArray head = file.read(64);
    if (head.startsWith("\x7f"
                        "ELF") &&
        head.size() > 4) {
        return head[4] == 2 ? QStringLiteral("ELF 64-bit") : QStringLiteral("ELF 32-bit");
    }
    if (head.startsWith("#!")) {
        return QStringLiteral("script");
    }
    if (head.startsWith("MZ") && head.size() >= 64) {
        const quint32 peOffset = qFromLittleEndian<quint32>(head.constData() + 0x3C);
        if (file.seek(peOffset)) {
            const QByteArray pe = file.read(6);
            if (pe.size() == 6 && pe.startsWith(QByteArray("PE\0\0", 4))) {
                const quint16 machine = qFromLittleEndian<quint16>(pe.constData() + 4);
                if (machine == 0x14c) {
                    return QStringLiteral("Windows 32-bit");
                }
                if (machine == 0x8664 || machine == 0xAA64) {
                    return QStringLiteral("Windows 64-bit");
                }
            }
        }
    }
    return QStringLiteral("unknown format");
}

QStringList FoldersHolding(const QStringList& folders, const QString& fileName) {
    QStringList found;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        // Name filters compare without regard to case.
        if (!dir.entryList({fileName}, QDir::Files | QDir::Hidden | QDir::System).isEmpty()) {
            found << shown(folder);
        }
    }
    return found;
}

// --- The whole report ----------------------------------------------------------

QStringList SuiteProgramFiles() {
    return {QStringLiteral("praxel.exe"), QStringLiteral("vkrun.exe"),
            QStringLiteral("vkedit.exe"), QStringLiteral("vkview.exe"),
            QStringLiteral("vkcomp.exe"), QStringLiteral("vklink.exe"),
            QStringLiteral("vkdiff.exe"), QStringLiteral("vkextract.exe"),
            QStringLiteral("vkagg.exe"),  QStringLiteral("vkcheck.exe")};
}

TDiagFacts GatherDiagFacts(const QString& programName, double version) {
    TDiagFacts f;
    TPraxelReportRun praxel;
    praxel.start();

    f.Now = QDateTime::currentDateTime();
    f.ProgramName = programName;
    f.Version = version;
    f.ExePath = shown(QCoreApplication::applicationFilePath());
    f.ExeBits = int(sizeof(void*) * 8);
    f.LargeAddressAware = sizeof(void*) == 8;
    const QString help = helpFilePath();
    f.HelpFile = help.isEmpty() ? QStringLiteral("none named") : shown(help);
    f.HelpFileExists = !help.isEmpty() && QFileInfo::exists(help);
    f.BuildLines = buildLines();

    f.CommandLine = DebugInfoCofig().CommandLine;
    if (f.CommandLine.isEmpty()) {
        f.CommandLine = QCoreApplication::arguments().join(QLatin1Char(' '));
    }
    f.SystemVersion = operatingSystem();
    f.SystemName = systemName();
    f.ProgramBits = int(sizeof(void*) * 8);
    f.SystemBits = QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? 64 : 32;
    f.WineVersion = wineVersion();
    memoryFacts(f);
    const TProcessorCounts& counts = ProcessorCounts();
    f.Sockets = counts.Sockets;
    f.Cores = counts.Cores;
    f.LogicalCpus = counts.LogicalCpus;
    f.UserName = userName();
    f.IsAdmin = isAdmin();
    f.ComspecLines = comspecLines();
    f.BatchResult = runTestScript();

    appearanceFacts(f);

    for (const char* extension : AssociationExtensions) {
        const QString ext = QString::fromLatin1(extension);
        f.Associations.append({QLatin1Char('.') + ext, association(ext)});
    }

    const QString suite = FindVarnokFolder();
    f.SuiteFolder = suite.isEmpty() ? QString() : shown(suite);
    suiteFacts(f);

    f.PathFolders = pathFolders();
    QStringList wanted;
    for (const char* name : OtherMakersFiles) {
        wanted << QString::fromLatin1(name);
    }
    wanted << SuiteProgramFiles();
    for (const QString& name : wanted) {
        f.PathHits << TPathHit{name, FoldersHolding(f.PathFolders, name)};
    }

    f.SpecialFolders = SpecialFolders();
    f.RegistryLines = registryLines();

    f.Environment = QProcessEnvironment::systemEnvironment().toStringList();
    std::sort(f.Environment.begin(), f.Environment.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });

    f.ProcessesOk = RunningProcessesList(QStringLiteral("/proc"), f.Processes);

    f.AppFolder = shown(executableFolder());
    f.AppFiles = fileList(executableFolder());
    if (!suite.isEmpty()) {
        f.SuiteFiles = fileList(suite);
    }
    f.RuntimeLibraryLines = runtimeLibraryLines();

    praxel.finish(f);
    return f;
}

QString DiagReportText(const QString& programName, double version) {
    return BuildDiagReport(GatherDiagFacts(programName, version)).join(QStringLiteral("\r\n"));
}
