// What this computer says for the diagnostics report: memory, processors,
// folders, settings, processes and the VARNOK suite's installation. On this
// platform the facts come from /proc and /sys, the environment, the settings
// store, the MIME database (xdg-mime) and the file system.
#pragma once

#include "diagreport.h"

#include <QString>
#include <QStringList>

// --- Special folders -----------------------------------------------------------

// The folder kinds 1..15 of the special-folders section.
inline constexpr int SpecialFolderCount = 15;

// A path as the section shows it: trimmed; a bare drive ("D:") gets "\"; any
// other path loses its trailing separators (a root keeps its own); the rest
// is made absolute against the current folder. Drive-letter paths are left
// as they are where this platform has no drives.
QString NormaliseSpecialPath(const QString& path);

// The label and path of folder kind sdt (1..15), without the existence
// probe. Index 0 gives an empty, undefined entry; any other index shows
// "program error: unexpected case of sdt" and gives the same.
TSpecialFolder SpecialFolder(int sdt);

// Fills Exists and Writeable: a folder is writeable when a scratch file can
// be created in it and erased again.
void ProbeFolder(TSpecialFolder& folder);

// The folder kinds 1..15, probed.
QList<TSpecialFolder> SpecialFolders();

// --- Processors ----------------------------------------------------------------

struct TProcessorCounts {
    int Sockets = 0;
    int Cores = 0;
    int LogicalCpus = 0;
};

// Counts the online logical CPUs under cpuFolder (normally
// "/sys/devices/system/cpu"), the distinct packages they sit on and the
// distinct cores of those packages. All zero when the folder cannot be read.
TProcessorCounts ReadProcessorCounts(const QString& cpuFolder);

// The counts of this computer, queried once per run.
const TProcessorCounts& ProcessorCounts();

// --- Processes -----------------------------------------------------------------

// The names of the running programs found under procFolder (normally
// "/proc"), unsorted and with duplicates; kernel threads are left out. False
// when none can be listed.
bool RunningProcessesList(const QString& procFolder, QStringList& names);

// --- Executables ---------------------------------------------------------------

// The build of an executable file from its header: "ELF 64-bit", "ELF 32-bit",
// "Windows 32-bit", "Windows 64-bit", "script", "unknown format"; "not found"
// when there is no such file.
QString ExecutableFlavour(const QString& path);

// The folders of list (in order) that hold a file called fileName, the name
// compared without regard to letter case.
QStringList FoldersHolding(const QStringList& folders, const QString& fileName);

// --- The whole report ----------------------------------------------------------

// The suite's own program files that the Path section looks for.
QStringList SuiteProgramFiles();

// Collects every fact of the report for the program named programName at
// version. Runs "praxel.exe" (when the suite is installed) and a small test
// script in the temporary folder; may take a few seconds.
TDiagFacts GatherDiagFacts(const QString& programName, double version);

// GatherDiagFacts and BuildDiagReport joined by "\r\n".
QString DiagReportText(const QString& programName, double version);
