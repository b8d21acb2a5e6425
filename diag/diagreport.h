// The diagnostics report: a plain-text description of the program, the
// computer and the VARNOK suite's installation for a problem report.
//
// The report is built in two steps: GatherDiagFacts (diagfacts.h) collects
// what this computer says, and BuildDiagReport turns the facts into the
// report's lines. The builder needs no window and no system, so tests feed it
// facts of their own.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One row of the special-folders section.
struct TSpecialFolder {
    int Index = 0;
    QString Label;
    QString Path;         // the normalised path; empty when undefined
    bool Defined = false; // false: the variable is unset, or this platform has no such folder
    bool Exists = false;
    bool Writeable = false;
};

struct TMonitorFact {
    int Width = 0;
    int Height = 0;
    int Top = 0;
    int Left = 0;
    bool Primary = false;
};

// Where along the PATH one file is found (folders in PATH order).
struct TPathHit {
    QString FileName;
    QStringList Folders;
};

// The build of one suite program: its file name and a short description
// ("ELF 64-bit", "not found", ...). Found is false for a missing program.
struct TProgramFlavour {
    QString FileName;
    QString Flavour;
    bool Found = false;
};

struct TDiagFacts {
    QDateTime Now;

    // Program and compiler
    QString ProgramName;
    double Version = 0;
    QString ExePath;
    int ExeBits = 64;
    bool LargeAddressAware = true;
    QString HelpFile;
    bool HelpFileExists = false;
    QStringList BuildLines; // two lines identifying the build
    QString KeepDir;
    QString IniName;
    QString TempDir;

    // Operating system, hardware, session
    QString CommandLine;
    QString SystemVersion;
    QString SystemName = QStringLiteral("Linux"); // "Windows", "Linux", "macOS"
    int ProgramBits = 64;
    int SystemBits = 64;
    QString WineVersion; // empty: not running under that compatibility layer
    qint64 TotalPhysMB = 0;
    qint64 AvailPhysMB = 0;
    qint64 TotalVirtualMB = 0;
    qint64 AvailVirtualMB = 0;
    qint64 WorkingSetMB = 0;
    qint64 HeapUsedKB = 0;
    qint64 HeapUnusedKB = 0;
    QString Processor;
    int Sockets = 0;
    int Cores = 0;
    int LogicalCpus = 0;
    QString UserName;
    bool IsAdmin = false;
    QStringList ComspecLines; // "COMSPEC: ..." and its warnings
    QString BatchResult;      // "OK" or why the test script failed

    // Appearance
    int ScreenDpi = 0;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    QString LocaleLanguage;
    QString AnsiCodePage;
    QString OemCodePage;
    QString MenuFontName;
    int MenuFontSize = 0;
    bool MenuFontFixed = false;
    QString UIFont;
    QString FixedFont;
    QString SystemMonoFont;
    QString LocaleDecimal;
    QString ProgramDecimal;
    QString HiddenExtensions; // one line
    QList<TMonitorFact> Monitors;

    // File associations: extension and the association ("" when none)
    QList<QPair<QString, QString>> Associations;

    // The suite's installation
    QString SuiteFolder; // empty: none found
    QList<TProgramFlavour> Flavours;
    QString UseSparseLine;
    QString CompilerNoteFile;
    QStringList CompilerNote;                           // its first seven lines; empty when missing
    QList<QPair<QString, QStringList>> CompilerConfigs; // file and contents

    // Path
    QStringList PathFolders;
    QList<TPathHit> PathHits;

    // Special folders
    QList<TSpecialFolder> SpecialFolders;

    // Settings store
    QStringList RegistryLines;

    // Environment
    QStringList Environment;

    // Running processes
    bool ProcessesOk = false;
    QStringList Processes;

    // Files
    QString AppFolder;
    QStringList AppFiles;
    QStringList SuiteFiles;

    // Location of the threading runtime library
    QStringList RuntimeLibraryLines;

    // Contents of the praxel report
    QString PraxelReportFile;
    bool PraxelOk = false;
    QStringList PraxelReport; // every line of the report file
    QString PraxelError;
};

// The release date of this version of the program.
inline constexpr char ProgramDate[] = "8/Aug/2017";

// "Version 2.00,  8/Aug/2017" for version 2.0.
QString ProductVersionText(double version);

// "Tuesday, March 5, 2024, 3:07 PM"
QString DiagDateLine(const QDateTime& when);

// "Linux detected 1 socket with 2 cores and 4 logical CPUs": each noun takes
// an "s" when its count is above 1.
QString ProcessorCountLine(const QString& systemName, int sockets, int cores, int logicalCpus);

// text followed by blanks up to width characters (longer text stays whole).
QString PadRight(const QString& text, int width);

// One line of the special-folders section: the label padded to 16, a tab,
// the path padded to 17, a tab and "  Exists, Writeable",
// "  Exists, Non-Writeable" or "  NonExistent"; "UNDEFINED" for the path
// (and nothing after it) when the folder is undefined.
QString SpecialFolderLine(const TSpecialFolder& folder);

// One "NAME=value" line of the environment section. The report may be
// e-mailed, so the value of a variable whose name contains TOKEN, SECRET,
// PASSWORD, PASSWD, KEY or CREDENTIAL (in any letter case) is shown as
// "(hidden)".
QString ShownEnvironmentEntry(const QString& entry);

// The section titles in order; titles that carry a folder take it from facts.
QStringList DiagSectionTitles(const TDiagFacts& facts);

// The whole report, one string per line.
QStringList BuildDiagReport(const TDiagFacts& facts);
