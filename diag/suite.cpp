#include "suite.h"

#include "launch.h"
#include "vkdebuginfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

const QString CRLF = QStringLiteral("\r\n");

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The path in the form the suite and the user see: native separators.
QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty() || isSeparator(folder.back())) {
        return folder + name;
    }
    return folder + QLatin1Char('/') + name;
}

// Deletes path when it exists; false when it exists afterwards.
bool deleteOld(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    QFile::remove(path);
    const QFileInfo after(path);
    return !after.exists() && !after.isSymLink();
}

} // namespace

bool PathHasDriveLetter(const QString& path) {
    const QString p = path.trimmed();
    return p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter() && p[0].unicode() < 128;
}

bool DriveExists(const QString& path) {
    if (!PathHasDriveLetter(path)) {
        return false;
    }
#ifdef Q_OS_WIN
    const QString root = path.trimmed().left(2) + QLatin1Char('\\');
    const UINT type = GetDriveTypeW(reinterpret_cast<const wchar_t*>(root.utf16()));
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
#else
    return false;
#endif
}

bool FolderExists(const QString& path) {
    const QString p = path.trimmed();
    if (p.isEmpty() || (PathHasDriveLetter(p) && !DriveExists(p))) {
        return false;
    }
    return QFileInfo(p).isDir();
}

bool FileExists(const QString& path) {
    const QString p = path.trimmed();
    if (p.isEmpty() || (PathHasDriveLetter(p) && !DriveExists(p))) {
        return false;
    }
    const QFileInfo info(p);
    return info.exists() && !info.isDir();
}

QString WithoutTrailingSeparator(const QString& path) {
    QString p = path.trimmed();
    while (p.size() > 1 && isSeparator(p.back())) {
        // "C:\" is a drive root and keeps its separator.
        if (p.size() == 3 && PathHasDriveLetter(p)) {
            break;
        }
        p.chop(1);
    }
    return p;
}

QString FindVarnokFolder() {
    const QString vkdir = WithoutTrailingSeparator(qEnvironmentVariable("VKDIR"));
    if (!vkdir.isEmpty() && FolderExists(vkdir)) {
        return vkdir;
    }
    const QString fixed = QStringLiteral("C:\\VK");
    if (DriveExists(fixed) && FolderExists(fixed)) {
        return fixed;
    }
    return {};
}

TPraxelRun PraxelRunFor(const QString& suiteFolder, const QString& tempFolder) {
    TPraxelRun run;
    run.Program = joinPath(suiteFolder, QString::fromLatin1(PraxelName));
    const QString temp = WithoutTrailingSeparator(tempFolder);
    run.WorkDir = FolderExists(temp) ? temp : suiteFolder;
    run.ReportFile = joinPath(run.WorkDir, QStringLiteral("praxel.rpt"));
    run.InputFile = joinPath(run.WorkDir, QStringLiteral("praxrpt.sti"));
    return run;
}

QString PreparePraxelRun(const TPraxelRun& run) {
    for (const QString& old : {run.ReportFile, run.InputFile}) {
        if (!deleteOld(old)) {
            return QStringLiteral("Cannot delete: ") + shown(old);
        }
    }
    QFile input(run.InputFile);
    const QByteArray text =
        (QStringLiteral("RPT") + CRLF + shown(run.ReportFile) + CRLF + QStringLiteral("  ") + CRLF)
            .toLocal8Bit();
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        input.write(text) != text.size() || !input.flush()) {
        input.close();
        QFile::remove(run.InputFile);
        return QStringLiteral("Cannot write: ") + shown(run.InputFile);
    }
    input.close();
    return {};
}

QString PraxelParameters(const QString& inputFile) {
    return QStringLiteral("-sti ") + QuoteCommand(shown(inputFile));
}

QString ReadIniString(const QString& fileName, const QString& section, const QString& key,
                      const QString& def) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return def;
    }
    const QString text = QString::fromLocal8Bit(file.readAll());
    bool inSection = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 &&
            ((value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"')) ||
             (value.front() == QLatin1Char('\'') && value.back() == QLatin1Char('\'')))) {
            value = value.mid(1, value.size() - 2);
        }
        return value;
    }
    return def;
}

QString VarnokVersionText(QString release, const QString& programVersion) {
    if (release.size() <= 1) {
        return QStringLiteral("Cannot get VARNOK version");
    }
    if (release.endsWith(QLatin1Char('>'))) {
        release.chop(1);
    }
    if (release.startsWith(QLatin1String("1.1"))) {
        release.prepend(QLatin1Char('1'));
    }
    QString kind;
    if (programVersion == QLatin1String("s")) {
        kind = QStringLiteral("Source Code Version of VARNOK");
    } else if (programVersion == QLatin1String("e")) {
        kind = QStringLiteral("Executable-Image Version of VARNOK");
    } else {
        kind = QStringLiteral("Unknown Version of VARNOK");
    }
    return kind + CRLF + QStringLiteral("VARNOK Release: ") + release;
}

QString VarnokSuiteLine() {
    return VarnokSuiteLine(FindVarnokFolder(), TemporaryFolder());
}

QString VarnokSuiteLine(const QString& suiteFolder, const QString& tempFolder) {
    if (suiteFolder.isEmpty()) {
        return QStringLiteral("Cannot locate VARNOK folder");
    }
    QString line = QStringLiteral("VARNOK folder: ") + shown(suiteFolder) + CRLF;
    const TPraxelRun run = PraxelRunFor(suiteFolder, tempFolder);
    if (!FileExists(run.Program)) {
        return line + QStringLiteral("Cannot locate PRAXEL.EXE");
    }
    if (const QString failure = PreparePraxelRun(run); !failure.isEmpty()) {
        return line + failure;
    }
    // The run of RunCommand, held here so that a failed start can be told
    // from a run that overstayed its time limit. A suite program that never
    // ends would hold the about box for ever: it gets a generous limit, after
    // which the missing report is shown.
    TCmdRec rec;
    rec.Command = run.Program;
    rec.Parameters = PraxelParameters(run.InputFile);
    rec.WinTitle = rec.Command;
    rec.WorkDir = run.WorkDir;
    rec.ShowCmd = 2; // minimised
    rec.CmdMaxSec = PraxelTimeLimitSec;
    if (!RunCmdRec(rec) && !rec.TimedOut) {
        return line + QStringLiteral("Cannot run PRAXEL.EXE");
    }
    if (!FileExists(run.ReportFile)) {
        return line + QStringLiteral("cannot locate: ") + shown(run.ReportFile);
    }
    const QString q = QStringLiteral("?");
    const QString release =
        ReadIniString(run.ReportFile, QStringLiteral("result"), QStringLiteral("release"), q);
    const QString version = ReadIniString(run.ReportFile, QStringLiteral("result"),
                                          QStringLiteral("Program version"), q);
    return line + VarnokVersionText(release, version);
}
