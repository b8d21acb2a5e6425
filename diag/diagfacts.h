// What this computer says for the diagnostics report, gathered by source:
// memory and processors (memoryfacts.cpp), folders (folderfacts.cpp), the
// environment and session (environmentfacts.cpp), and the program, its
// appearance, file associations, processes and the VARNOK suite's
// installation (diagfacts.cpp). The gatherers use Qt and the platform probes
// of diagprobes.h, never a system interface of their own.
#pragma once

#include "diagprobes.h"
#include "diagreport.h"

#include <QString>
#include <QStringList>

// --- Memory and processors -----------------------------------------------------

// The processor counts of this computer, queried once per run.
const TProcessorCounts& ProcessorCounts();

// The system's name and version, the program's and the system's word size,
// the compatibility layer, memory, processor and processor counts.
void GatherSystemFacts(TDiagFacts& facts);

// --- Folders -------------------------------------------------------------------

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

// The build of an executable file from its header: "ELF 64-bit", "ELF 32-bit",
// "Windows 32-bit", "Windows 64-bit", "script", "unknown format"; "not found"
// when there is no such file.
QString ExecutableFlavour(const QString& path);

// The folders of list (in order) that hold a file called fileName, the name
// compared without regard to letter case.
QStringList FoldersHolding(const QStringList& folders, const QString& fileName);

// The folders of the PATH environment variable, in order.
QStringList PathFolders();

// One line per file of folder (name, size, time of the last change), or
// "No files".
QStringList FolderFileList(const QString& folder);

// Where the threading runtime library is found: the application, current,
// system and PATH folders that hold it, one line each.
QStringList RuntimeLibraryLines();

// --- Environment and session ---------------------------------------------------

// The user's name and rights, the command interpreter and the run of the
// test script in the temporary folder.
void GatherSessionFacts(TDiagFacts& facts);

// Every environment variable as "NAME=value", sorted by name without regard
// to case.
QStringList EnvironmentEntries();

// Whether the user can write the machine-wide and the per-user settings, and
// the user's and the system's stored PATH.
QStringList SettingsStoreLines();

// --- The whole report ----------------------------------------------------------

// The suite's own program files that the Path section looks for.
QStringList SuiteProgramFiles();

// Collects every fact of the report for the program named programName at
// version. Runs "praxel.exe" (when the suite is installed) and a small test
// script in the temporary folder; may take a few seconds.
TDiagFacts GatherDiagFacts(const QString& programName, double version);

// GatherDiagFacts and BuildDiagReport joined by "\r\n".
QString DiagReportText(const QString& programName, double version);
