// What the diagnostics report asks of the system it runs on, grouped by
// source. Everything here is implemented once per system, in
// platform/probes_<system>.cpp (the build picks the file by the system's
// name: probes_linux.cpp here). The fact gatherers of diagfacts.h build the
// report's facts from these probes and from Qt alone, so a port to another
// system adds its probes file and nothing else.
//
// No probe fails: what a system cannot tell is answered with zeros, empty
// texts or a short note such as "not available on this platform".
#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct TProcessorCounts {
    int Sockets = 0;
    int Cores = 0;
    int LogicalCpus = 0;
};

// Memory in megabytes, the heap in kilobytes.
struct TMemoryFacts {
    qint64 TotalPhysMB = 0;
    qint64 AvailPhysMB = 0;
    qint64 TotalVirtualMB = 0; // the address space the program may use
    qint64 AvailVirtualMB = 0; // of it not yet in use
    qint64 WorkingSetMB = 0;   // the program's memory in use
    qint64 HeapUsedKB = 0;
    qint64 HeapUnusedKB = 0;
};

// A two-line script that the report runs in the temporary folder: it must
// end with exit code 7, so that a run that never happened cannot pass.
struct TTestScript {
    QString Path;
    QByteArray Text;
};

namespace DiagProbes {

// --- Memory and processors -------------------------------------------------------

// "Windows", "Linux", "macOS": the name the report's lines start with.
QString SystemName();
// The version of a compatibility layer the program runs under (Wine, for a
// Windows build); empty when there is none.
QString CompatibilityLayerVersion();
TMemoryFacts Memory();
// The processor's model, vendor and architecture in one line.
QString Processor();
// Sockets, cores and logical CPUs, queried anew on every call.
TProcessorCounts CountProcessors();

// --- Folders ---------------------------------------------------------------------

// The Windows folder; empty where there is none.
QString WindowsFolder();
// The letter of the drive of the Windows folder; 'C' where there is none.
QChar SystemDriveLetter();
// A drive-letter path ("C:\", "D:\data", already trimmed and without
// trailing separators) made absolute as this system writes it; returned as
// it is where the system has no drives.
QString AbsoluteDrivePath(const QString& path);
// The user's home folder when neither "HOMEDRIVE" nor "HOMEPATH" is set.
QString HomeFolder();
// The user's application-data folder.
QString AppDataFolder();
// The folders where the system keeps shared runtime libraries, each with the
// label the report shows ("System folder", ...), in search order; the
// application, current and PATH folders are not among them.
QList<QPair<QString, QString>> LibraryFolders();

// --- Environment and session -----------------------------------------------------

// The name of the account the program runs under, as the system keeps it.
QString LoginName();
// Whether that account may act as the system's administrator.
bool UserIsAdmin();
// "COMSPEC: " and the command interpreter that runs scripts, followed by a
// "**** WARNING **** COMSPEC ..." line for each fault found.
QStringList ShellLines();
// The test script of the session section for a script in folder.
TTestScript TestScript(const QString& folder);
// The character sets of the "GetACP codepage: " and "GetOemCP codepage: "
// lines.
QString AnsiCodePage();
QString OemCodePage();
// The line on whether the file manager hides file extensions.
QString HiddenExtensionsLine();
// The user's and the system's PATH as the system stores them for new
// sessions, one line each.
QStringList StoredPathLines();

// --- File associations -----------------------------------------------------------

// The file type registered for files ending in ".extension" (given without
// the dot), its description and the command that opens it; empty when the
// system knows no such type.
QString Association(const QString& extension);

// --- Processes -------------------------------------------------------------------

// The names of the running programs, unsorted and with duplicates; false
// when none can be listed.
bool RunningProcesses(QStringList& names);

} // namespace DiagProbes
