// The VARNOK modelling suite as installed on this computer: where its folder
// is, how its program "praxel.exe" is asked for a report, and the about box's
// line on the suite's version.
#pragma once

#include <QString>

// Whether path begins with a drive letter and a colon ("C:", "c:\temp").
bool PathHasDriveLetter(const QString& path);
// Whether the drive of a drive-letter path exists. Only Windows has drives;
// elsewhere the answer is always no.
bool DriveExists(const QString& path);
// Whether path names an existing folder. A drive-letter path exists only when
// its drive does, so that "C:\VK" never matches a folder of that name in the
// current folder of another platform.
bool FolderExists(const QString& path);
// Whether path names an existing file (not a folder), under the same rule.
bool FileExists(const QString& path);

// path trimmed and without trailing separators (a root keeps its own).
QString WithoutTrailingSeparator(const QString& path);

// The suite folder: the environment variable "VKDIR" when it names an
// existing folder; else "C:\VK" when that folder exists; else empty.
QString FindVarnokFolder();

// The program of the suite that reports on the installation.
inline constexpr char PraxelName[] = "praxel.exe";

// The files of one report run of "praxel.exe".
struct TPraxelRun {
    QString Program;    // suiteFolder/praxel.exe
    QString WorkDir;    // the temporary folder; the suite folder when there is none
    QString ReportFile; // WorkDir/praxel.rpt
    QString InputFile;  // WorkDir/praxrpt.sti
};
TPraxelRun PraxelRunFor(const QString& suiteFolder, const QString& tempFolder);

// Deletes an old report file and an old input file, then writes the input
// file: "RPT", the report file's path and two blanks, one per line. Returns
// an empty string on success, else the message: "Cannot delete: " or
// "Cannot write: " and the path.
QString PreparePraxelRun(const TPraxelRun& run);

// "-sti " and the input file's path, quoted by the command quoting rule.
QString PraxelParameters(const QString& inputFile);

// A value of an INI file read as the system's profile functions read it:
// section and key names compared without regard to case, the value trimmed
// and freed of enclosing quotes. def when the file, the section or the key
// is missing.
QString ReadIniString(const QString& fileName, const QString& section, const QString& key,
                      const QString& def);

// The version part of the suite line from the report's "release" and
// "Program version" values:
//   "Executable-Image Version of VARNOK\r\nVARNOK Release: 11.12"
// or "Cannot get VARNOK version" when the release text has one character or
// none.
QString VarnokVersionText(QString release, const QString& programVersion);

// The time "praxel.exe" is given to write its report for the about box.
inline constexpr int PraxelTimeLimitSec = 30;

// The about box's line on the suite (parts separated by "\r\n"):
//   "Cannot locate VARNOK folder", or
//   "VARNOK folder: <folder>" followed by "Cannot locate PRAXEL.EXE",
//   "Cannot delete: <path>", "Cannot run PRAXEL.EXE", "cannot locate: <path>"
//   or the version text. Runs "praxel.exe" and waits for it.
QString VarnokSuiteLine();
// The same for a given suite folder (empty: none) and temporary folder.
QString VarnokSuiteLine(const QString& suiteFolder, const QString& tempFolder);
