// The program, its appearance and file associations, the running processes
// and the VARNOK suite's installation, and the whole report's facts gathered
// in order.
#include "diagfacts.h"

#include "factfiles.h"
#include "fontnames.h"
#include "helpselector.h"
#include "launch.h"
#include "settings.h"
#include "suite.h"
#include "vkdebuginfo.h"

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
#include <QProcess>
#include <QScreen>
#include <QSysInfo>

using DiagFiles::ExecutableFolder;
using DiagFiles::ReadText;
using DiagFiles::Shown;
using DiagFiles::TextLines;

namespace {

const QString NotAvailable = QStringLiteral("not available on this platform");

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

// --- Appearance ---------------------------------------------------------------

void appearanceFacts(TDiagFacts& f) {
    f.LocaleLanguage = QLocale::languageToString(QLocale::system().language()) +
                       QStringLiteral(" (") + QLocale::system().name() + QLatin1Char(')');
    f.AnsiCodePage = DiagProbes::AnsiCodePage();
    f.OemCodePage = DiagProbes::OemCodePage();
    f.LocaleDecimal = QLocale::system().decimalPoint();
    f.ProgramDecimal = QLocale().decimalPoint();
    f.HiddenExtensions = DiagProbes::HiddenExtensionsLine();
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
    return TextLines(ReadText(path)).mid(0, count);
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
            f.CompilerConfigs.append({Shown(path), TextLines(ReadText(path))});
        }
    }
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
        f.PraxelReportFile = Shown(FRun.ReportFile);
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
                FError = QStringLiteral("cannot locate: ") + Shown(FRun.ReportFile);
            } else {
                f.PraxelReport = TextLines(ReadText(FRun.ReportFile));
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

} // namespace

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
    f.ExePath = Shown(QCoreApplication::applicationFilePath());
    f.ExeBits = int(sizeof(void*) * 8);
    f.LargeAddressAware = sizeof(void*) == 8;
    const QString help = helpFilePath();
    f.HelpFile = help.isEmpty() ? QStringLiteral("none named") : Shown(help);
    f.HelpFileExists = !help.isEmpty() && QFileInfo::exists(help);
    f.BuildLines = buildLines();

    f.CommandLine = DebugInfoCofig().CommandLine;
    if (f.CommandLine.isEmpty()) {
        f.CommandLine = QCoreApplication::arguments().join(QLatin1Char(' '));
    }
    GatherSystemFacts(f);
    GatherSessionFacts(f);

    appearanceFacts(f);

    for (const char* extension : AssociationExtensions) {
        const QString ext = QString::fromLatin1(extension);
        f.Associations.append({QLatin1Char('.') + ext, DiagProbes::Association(ext)});
    }

    const QString suite = FindVarnokFolder();
    f.SuiteFolder = suite.isEmpty() ? QString() : Shown(suite);
    suiteFacts(f);

    f.PathFolders = PathFolders();
    QStringList wanted;
    for (const char* name : OtherMakersFiles) {
        wanted << QString::fromLatin1(name);
    }
    wanted << SuiteProgramFiles();
    for (const QString& name : wanted) {
        f.PathHits << TPathHit{name, FoldersHolding(f.PathFolders, name)};
    }

    f.SpecialFolders = SpecialFolders();
    f.RegistryLines = SettingsStoreLines();

    f.Environment = EnvironmentEntries();

    f.ProcessesOk = DiagProbes::RunningProcesses(f.Processes);

    f.AppFolder = Shown(ExecutableFolder());
    f.AppFiles = FolderFileList(ExecutableFolder());
    if (!suite.isEmpty()) {
        f.SuiteFiles = FolderFileList(suite);
    }
    f.RuntimeLibraryLines = RuntimeLibraryLines();

    praxel.finish(f);
    return f;
}

QString DiagReportText(const QString& programName, double version) {
    return BuildDiagReport(GatherDiagFacts(programName, version)).join(QStringLiteral("\r\n"));
}
