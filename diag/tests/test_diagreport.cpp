// The diagnostics report: its layout from injected facts, and the fact
// readers that work on folders (special folders, executables, the PATH).
#include "diagfacts.h"
#include "diagfixture.h"
#include "diagreport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string s(const QString& text) {
    return text.toStdString();
}

TDiagFacts sampleFacts() {
    TDiagFacts f;
    f.Now = QDateTime(QDate(2024, 3, 5), QTime(15, 7));
    f.ProgramName = QStringLiteral("WinVELMAR");
    f.Version = 2.0;
    f.ExePath = QStringLiteral("/Opt/WinVELMAR/WinVELMAR");
    f.AppFolder = QStringLiteral("/Opt/WinVELMAR");
    f.PraxelReportFile = QStringLiteral("/tmp/praxel.rpt");
    f.SuiteFolder = QStringLiteral("/opt/vk");
    f.SpecialFolders << TSpecialFolder{
        3, QStringLiteral("TEMP Folder"), QStringLiteral("/tmp"), true, true, true};
    return f;
}

class DiagReport : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

} // namespace

TEST_F(DiagReport, FirstLineAndSectionTitlesInOrder) {
    const QStringList report = BuildDiagReport(sampleFacts());
    ASSERT_FALSE(report.isEmpty());
    EXPECT_EQ(s(report[0]), "Tuesday, March 5, 2024, 3:07 PM");

    const QStringList expected = {
        "SECTION 1: Program and compiler",
        "SECTION 2: Operating system, hardware, session",
        "SECTION 3: Appearance",
        "SECTION 4: File Associations",
        "SECTION 5: VARNOK Installation",
        "SECTION 6: Path",
        "SECTION 7: Special Folders:",
        "SECTION 8: Registry Settings",
        "SECTION 9: Complete Contents of Environment",
        "SECTION 10: INI file",
        "SECTION 11: Running Processes",
        "SECTION 12: Files in application folder  /Opt/WinVELMAR",
        "SECTION 13: Location of LIBIOMP5MD.DLL",
        "SECTION 14: Contents of RPT file from PRAXEL: /tmp/praxel.rpt",
    };
    QStringList titles;
    for (qsizetype i = 0; i < report.size(); ++i) {
        if (report[i].startsWith(QLatin1String("SECTION "))) {
            titles << report[i];
            EXPECT_TRUE(report[i - 1].isEmpty()) << s(report[i]);
        }
    }
    EXPECT_EQ(titles, expected);
}

TEST_F(DiagReport, DateLineUsesTwelveHourClock) {
    EXPECT_EQ(s(DiagDateLine(QDateTime(QDate(2017, 8, 8), QTime(0, 5)))),
              "Tuesday, August 8, 2017, 12:05 AM");
    EXPECT_EQ(s(DiagDateLine(QDateTime(QDate(2023, 12, 31), QTime(12, 0)))),
              "Sunday, December 31, 2023, 12:00 PM");
    EXPECT_EQ(s(DiagDateLine(QDateTime(QDate(2024, 1, 1), QTime(23, 59)))),
              "Monday, January 1, 2024, 11:59 PM");
}

TEST_F(DiagReport, ProgramSection) {
    TDiagFacts f = sampleFacts();
    f.HelpFile = QStringLiteral("/Opt/WinVELMAR/WinVELMAR.qch");
    f.HelpFileExists = true;
    f.BuildLines = QStringList{QStringLiteral("build one"), QStringLiteral("build two")};
    f.TempDir = QStringLiteral("/a folder with a name longer than forty chars");
    const QStringList lines = SectionLines(BuildDiagReport(f), 1);
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(s(lines[0]), "Program: WinVELMAR");
    EXPECT_EQ(s(lines[1]), "Version 2.00,  8/Aug/2017");
    EXPECT_EQ(s(lines[2]), "File: /Opt/WinVELMAR/WinVELMAR (64-bit, large address aware)");
    EXPECT_EQ(s(lines[3]), "Help File: /Opt/WinVELMAR/WinVELMAR.qch [exists]");
    EXPECT_EQ(s(lines[6]), "Program Keep Dir:      \t");
    EXPECT_EQ(s(lines[7]), "Program Ini Name:      \t");
    EXPECT_EQ(s(lines[8]), "Program Temp Dir:      \t" + s(f.TempDir));
    EXPECT_EQ(s(lines[9]), "**** WARNING **** Temp Dir is longer than 40 characters");
    EXPECT_EQ(s(lines[10]), "**** WARNING **** Temp Dir contains a blank");

    // WinVELMAR has no temp dir of its own: no warnings.
    f.TempDir.clear();
    EXPECT_FALSE(BuildDiagReport(f).join('\n').contains("WARNING **** Temp Dir"));
}

struct CountCase {
    int sockets;
    int cores;
    int cpus;
    const char* expected;
};
void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.sockets << "_" << c.cores << "_" << c.cpus;
}

class ProcessorLine : public ::testing::TestWithParam<CountCase> {};

TEST_P(ProcessorLine, PluralOnlyAboveOne) {
    const CountCase& c = GetParam();
    EXPECT_EQ(s(ProcessorCountLine(QStringLiteral("Linux"), c.sockets, c.cores, c.cpus)),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessorLine,
    ::testing::Values(CountCase{1, 1, 1, "Linux detected 1 socket with 1 core and 1 logical CPU"},
                      CountCase{1, 2, 4, "Linux detected 1 socket with 2 cores and 4 logical CPUs"},
                      CountCase{2, 16, 32,
                                "Linux detected 2 sockets with 16 cores and 32 logical CPUs"},
                      CountCase{2, 1, 1, "Linux detected 2 sockets with 1 core and 1 logical CPU"},
                      CountCase{0, 0, 0, "Linux detected 0 socket with 0 core and 0 logical CPU"}));

struct FolderCase {
    const char* name;
    TSpecialFolder folder;
    const char* expected;
};
void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderLines : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderLines, Layout) {
    EXPECT_EQ(s(SpecialFolderLine(GetParam().folder)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FolderLines,
    ::testing::Values(FolderCase{"writeable",
                                 {3, "TEMP Folder", "/tmp", true, true, true},
                                 "TEMP Folder     \t/tmp             \t  Exists, Writeable"},
                      FolderCase{"nonexistent",
                                 {12, "C:\\", "C:\\", true, false, false},
                                 "C:\\             \tC:\\              \t  NonExistent"},
                      FolderCase{"non_writeable",
                                 {10, "Current Directory", "/proc", true, true, false},
                                 "Current Directory\t/proc            \t  Exists, Non-Writeable"},
                      FolderCase{"long_path",
                                 {14, "User Folder", "/home/student/Documents", true, true, true},
                                 "User Folder     \t/home/student/Documents\t  Exists, Writeable"},
                      FolderCase{"undefined",
                                 {5, "VKTEMP Folder", "", false, false, false},
                                 "VKTEMP Folder   \tUNDEFINED"}));

TEST(SpecialFolders, PathsAreNormalised) {
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(s(NormaliseSpecialPath(" /usr/lib/ ")), "/usr/lib");
    EXPECT_EQ(s(NormaliseSpecialPath("/")), "/");
    EXPECT_EQ(s(NormaliseSpecialPath("/usr/./lib/../share")), "/usr/share");
    EXPECT_EQ(s(NormaliseSpecialPath("relative/")), s(cwd + "/relative"));
    EXPECT_EQ(s(NormaliseSpecialPath("C:")), "C:\\");
    EXPECT_EQ(s(NormaliseSpecialPath("C:\\temp\\")), "C:\\temp");
    EXPECT_EQ(s(NormaliseSpecialPath("C:\\")), "C:\\");
    EXPECT_EQ(s(NormaliseSpecialPath("   ")), "");
}

TEST(SpecialFolders, EnvironmentFoldersAndProbe) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ScopedEnv vktemp("VKTEMP", std::nullopt);
    TSpecialFolder unset = SpecialFolder(5);
    ProbeFolder(unset);
    EXPECT_EQ(s(SpecialFolderLine(unset)), "VKTEMP Folder   \tUNDEFINED");

    vktemp.Set((temp.path() + "/").toLocal8Bit());
    TSpecialFolder set = SpecialFolder(5);
    ProbeFolder(set);
    EXPECT_EQ(s(set.Path), s(temp.path()));
    EXPECT_TRUE(set.Exists && set.Writeable);
    EXPECT_TRUE(QDir(temp.path()).isEmpty()) << "the scratch file is erased";

    vktemp.Set(temp.filePath("gone").toLocal8Bit());
    TSpecialFolder missing = SpecialFolder(5);
    ProbeFolder(missing);
    EXPECT_TRUE(missing.Defined);
    EXPECT_TRUE(s(SpecialFolderLine(missing)).ends_with("\t  NonExistent"));

    // A folder nobody may create files in, root included.
    TSpecialFolder proc{10, "Current Directory", "/proc", true, false, false};
    ProbeFolder(proc);
    EXPECT_TRUE(proc.Exists);
    EXPECT_FALSE(proc.Writeable);
}

TEST(SpecialFolders, FixedAndWindowsOnlyFolders) {
    TSpecialFolder windows = SpecialFolder(1);
    EXPECT_EQ(s(windows.Label), "Windows Folder");
    EXPECT_FALSE(windows.Defined);

    for (const auto& [sdt, text] : {std::pair{7, "C:\\temp"}, {9, "C:\\VK"}, {12, "C:\\"}}) {
        TSpecialFolder f = SpecialFolder(sdt);
        ProbeFolder(f);
        EXPECT_EQ(s(f.Label), text);
        EXPECT_EQ(s(f.Path), text);
        EXPECT_FALSE(f.Exists) << "no drive letters on this platform";
    }
}

TEST(SpecialFolders, UnexpectedIndexIsReported) {
    TMessageRecorder messages;
    EXPECT_FALSE(SpecialFolder(16).Defined);
    EXPECT_FALSE(SpecialFolder(-1).Defined);
    EXPECT_FALSE(SpecialFolder(0).Defined);
    EXPECT_EQ(messages.Texts(),
              QStringList(2, QStringLiteral("program error: unexpected case of sdt")));
    for (const TShownMessage& m : messages.Shown) {
        EXPECT_EQ(m.Kind, mkError);
        EXPECT_EQ(m.Buttons, 4);
        EXPECT_EQ(m.HelpContext, 0);
    }
}

struct EnvCase {
    const char* name;
    const char* entry;
    const char* shown;
};
void PrintTo(const EnvCase& c, std::ostream* os) {
    *os << c.name;
}

class EnvironmentLines : public ::testing::TestWithParam<EnvCase> {};

// The report goes out by e-mail: values that may be secrets never appear in
// it; everything else appears as the environment holds it.
TEST_P(EnvironmentLines, SecretValuesHidden) {
    const EnvCase& c = GetParam();
    TDiagFacts f = sampleFacts();
    f.Environment = {QString::fromUtf8(c.entry)};
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 9), QStringList{QString::fromUtf8(c.shown)});
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnvironmentLines,
    ::testing::Values(
        EnvCase{"token", "GITHUB_TOKEN=ghp_abc123", "GITHUB_TOKEN=(hidden)"},
        EnvCase{"secret_lower_case", "aws_secret_access_key=xyz", "aws_secret_access_key=(hidden)"},
        EnvCase{"password", "DB_PASSWORD=hunter2", "DB_PASSWORD=(hidden)"},
        EnvCase{"passwd", "SMTP_PASSWD=hunter2", "SMTP_PASSWD=(hidden)"},
        EnvCase{"key_inside_a_word", "KEYRING_FILE=/home/s/k", "KEYRING_FILE=(hidden)"},
        EnvCase{"credential", "GOOGLE_APPLICATION_CREDENTIALS=/etc/c.json",
                "GOOGLE_APPLICATION_CREDENTIALS=(hidden)"},
        EnvCase{"value_with_equals", "API_KEY=a=b", "API_KEY=(hidden)"},
        EnvCase{"empty_value", "SECRET=", "SECRET=(hidden)"},
        EnvCase{"word_only_in_the_value", "NOTE=my password is long", "NOTE=my password is long"},
        EnvCase{"plain", "PATH=/usr/bin:/bin", "PATH=/usr/bin:/bin"},
        EnvCase{"windows_drive_entry", "=C:=C:\\temp", "=C:=C:\\temp"},
        EnvCase{"no_value", "TOKEN", "TOKEN"}));

TEST_F(DiagReport, ProcessesSortedWithoutDuplicates) {
    TDiagFacts f = sampleFacts();
    f.ProcessesOk = true;
    f.Processes = {"bash", "Xorg", "bash", "agetty", "init"};
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 11),
              QStringList({"agetty", "bash", "init", "Xorg"}));
    f.ProcessesOk = false;
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 11), QStringList{"RunningProcessesList failed"});
}

TEST_F(DiagReport, PraxelReportWithoutItsLastTwoLines) {
    TDiagFacts f = sampleFacts();
    f.PraxelOk = true;
    f.PraxelReport = {"[result]", "release=1.12", "Program version=e", "", "[end]"};
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 14),
              QStringList({"[result]", "release=1.12", "Program version=e"}));
    f.PraxelReport = {"one"};
    EXPECT_TRUE(SectionLines(BuildDiagReport(f), 14).isEmpty());
    f.PraxelOk = false;
    f.PraxelError = QStringLiteral("Cannot locate VARNOK folder");
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 14),
              QStringList({"Error making PRAXEL RPT file:", "Cannot locate VARNOK folder"}));
}

TEST_F(DiagReport, SuiteFilesAndFlavours) {
    TDiagFacts f = sampleFacts();
    f.AppFiles = {"winvelmar"};
    f.SuiteFiles = {"praxel.exe"};
    QStringList files = SectionLines(BuildDiagReport(f), 12);
    EXPECT_EQ(files,
              QStringList({"winvelmar", "", "Files in VARNOK folder  /opt/vk", "praxel.exe"}));
    f.SuiteFolder = f.AppFolder;
    files = SectionLines(BuildDiagReport(f), 12);
    ASSERT_EQ(files.size(), 4);
    EXPECT_TRUE(files[3].contains("see the list above"));
    f.SuiteFolder.clear();
    EXPECT_EQ(SectionLines(BuildDiagReport(f), 12).back(), "Cannot locate any VARNOK folder");

    f = sampleFacts();
    f.Flavours = {{"praxel.exe", "ELF 64-bit", true},
                  {"vkrun.exe", "not found", false},
                  {"vkedit.exe", "ELF 64-bit", true}};
    EXPECT_FALSE(BuildDiagReport(f).join('\n').contains("WARNING"));
    f.Flavours[2].Flavour = "ELF 32-bit";
    const QStringList suite = SectionLines(BuildDiagReport(f), 5);
    EXPECT_TRUE(suite.contains("**** WARNING **** VARNOK programs of different builds: "
                               "praxel.exe is ELF 64-bit, vkedit.exe is ELF 32-bit"))
        << s(suite.join('\n'));
}

TEST(Executables, FlavourFromHeader) {
    QTemporaryDir dir;
    QByteArray elf64("\x7f"
                     "ELF\x02\x01\x01",
                     7);
    QByteArray elf32("\x7f"
                     "ELF\x01\x01\x01",
                     7);
    QByteArray pe(0x90, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[0x3C] = 0x40;
    pe.replace(0x40, 6, QByteArray("PE\0\0\x64\x86", 6));
    ASSERT_TRUE(WriteFile(dir.filePath("a"), elf64 + QByteArray(60, '\0')));
    ASSERT_TRUE(WriteFile(dir.filePath("b"), elf32 + QByteArray(60, '\0')));
    ASSERT_TRUE(WriteFile(dir.filePath("c"), "#!/bin/sh\nexit 0\n"));
    ASSERT_TRUE(WriteFile(dir.filePath("d"), pe));
    ASSERT_TRUE(WriteFile(dir.filePath("e"), "plain text"));
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("a"))), "ELF 64-bit");
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("b"))), "ELF 32-bit");
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("c"))), "script");
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("d"))), "Windows 64-bit");
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("e"))), "unknown format");
    EXPECT_EQ(s(ExecutableFlavour(dir.filePath("f"))), "not found");
}

TEST(PathSearch, FoldersHoldingIgnoreCase) {
    QTemporaryDir a;
    QTemporaryDir b;
    ASSERT_TRUE(WriteFile(a.filePath("ifort.exe"), "x"));
    ASSERT_TRUE(WriteFile(b.filePath("IFORT.EXE"), "x"));
    ASSERT_TRUE(QDir(b.path()).mkdir("LF90.EXE")); // a folder is no file
    EXPECT_EQ(FoldersHolding({a.path(), a.filePath("none"), b.path()}, "IFORT.EXE"),
              QStringList({a.path(), b.path()}));
    EXPECT_TRUE(FoldersHolding({a.path(), b.path()}, "LF90.EXE").isEmpty());
}
