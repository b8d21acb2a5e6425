// The central exception handler and the debug log, without a window: the
// error box is injected, the waits between attempts are recorded instead of
// slept, and the network drive is whatever the test says.
#include "errors.h"
#include "framefixture.h"
#include "vkdebuginfo.h"
#include "vkstacktrace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

class TSDIAppForm : public QObject {
    Q_OBJECT
};

// Not a tail call, so that the routine keeps its own frame.
[[gnu::noinline]] double RaiseZeroDivide(double x) {
    volatile double quotient = kv::CheckedDiv(x, 0.0);
    return quotient;
}

[[gnu::noinline]] void RaiseLengthError() {
    throw std::length_error("no room left");
}

template <typename E> std::exception_ptr Raised(E error) {
    try {
        throw error;
    } catch (...) {
        return std::current_exception();
    }
}

std::exception_ptr RaisedZeroDivide() {
    try {
        RaiseZeroDivide(1.0);
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

struct Box {
    QWidget* owner;
    QString caption;
    QString text;
};

const QString ZeroDivideReport = QStringLiteral(
    "Unexpected exception from object \"Unknown\":(EZeroDivide)Floating point division by zero");

class DebugInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FTemp.isValid());
        FSavedTerminate = std::get_terminate();
        env("TEMP", FTemp.path().toLocal8Bit());
        env("COMPUTERNAME", "TESTPC");
        env("VKDEBUGINFOLEVEL", std::nullopt);
        SetErrorBoxHook([this](QWidget* owner, const QString& caption, const QString& text) {
            FBoxes.push_back({owner, caption, text});
            return FBoxAnswer;
        });
        SetDebugSleep([this](int ms) {
            FSleeps.push_back(ms);
            if (FOnSleep) {
                FOnSleep();
            }
        });
        SetNetworkDriveQuery({});
    }

    void TearDown() override {
        WaitForLogCopy(5000);
        VkStackTrace::Enable(false);
        std::set_terminate(FSavedTerminate);
        SetErrorBoxHook({});
        SetDebugSleep({});
        SetLogLockedQuery({});
        SetNetworkDriveQuery({});
        SetRemoteDebugFolder(QStringLiteral("R:\\HOLM\\VKDebugInfo"));
        LogCopyCancelFlag() = 0;
        FEnv.clear();
    }

    void env(const char* name, std::optional<QByteArray> value) {
        FEnv.push_back(std::make_unique<ScopedEnv>(name, std::move(value)));
    }

    QString debugDir() const { return FTemp.path() + QStringLiteral("/VKDebugInfo"); }

    static QByteArray logBytes() {
        QFile file(DebugInfoCofig().DebugFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The log's entries, each as its lines (the blank line that ends an
    // entry is checked and dropped).
    static std::vector<QStringList> logEntries() {
        const QString text = QString::fromLocal8Bit(logBytes());
        std::vector<QStringList> entries;
        QStringList current;
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        for (int i = 0; i < lines.size(); ++i) {
            if (i + 1 == lines.size()) {
                EXPECT_EQ(lines[i], QString()) << "the file ends with a line end";
                break;
            }
            if (lines[i].isEmpty() && !current.isEmpty() &&
                current.last().startsWith("DEBUG_END ")) {
                entries.push_back(current);
                current.clear();
            } else {
                current << lines[i];
            }
        }
        EXPECT_TRUE(current.isEmpty()) << "unfinished entry: " << current.join('|').toStdString();
        return entries;
    }

    static QStringList messages() {
        QStringList result;
        for (const QStringList& entry : logEntries()) {
            result << entry.value(2);
        }
        return result;
    }

    QTemporaryDir FTemp;
    std::vector<std::unique_ptr<ScopedEnv>> FEnv;
    std::terminate_handler FSavedTerminate = nullptr;
    std::vector<Box> FBoxes;
    bool FBoxAnswer = true;
    std::vector<int> FSleeps;
    std::function<void()> FOnSleep;
};

// --- The report text ---------------------------------------------------------

struct ReportCase {
    const char* name;
    const char* senderName; // nullptr: no sender
    std::exception_ptr (*error)();
    const char* expected;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class ReportTextTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTextTest, DescribesSenderAndError) {
    const ReportCase& c = GetParam();
    TSDIAppForm form;
    if (c.senderName != nullptr) {
        form.setObjectName(QString::fromLatin1(c.senderName));
    }
    const QString text = AppExceptionReportText(c.senderName ? &form : nullptr, c.error());
    EXPECT_EQ(text.toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportTextTest,
    ::testing::Values(
        ReportCase{"FormAndZeroDivide", "SDIAppForm", [] { return Raised(kv::EZeroDivide()); },
                   "Unexpected exception from object \"SDIAppForm(TSDIAppForm)\":(EZeroDivide)"
                   "Floating point division by zero"},
        ReportCase{"NoSender", nullptr, [] { return Raised(kv::EInvalidOp()); },
                   "Unexpected exception from object \"Unknown\":(EInvalidOp)Invalid floating "
                   "point operation"},
        ReportCase{"UnnamedSender", "", [] { return Raised(kv::EInOutError("Disk full")); },
                   "Unexpected exception from object \"(TSDIAppForm)\":(EInOutError)Disk full"},
        ReportCase{"NoErrorObject", nullptr, [] { return std::exception_ptr(); },
                   "Unexpected exception from object \"Unknown\":Error message not specified"},
        ReportCase{"StandardError", "SDIAppForm",
                   [] { return Raised(std::out_of_range("index 7")); },
                   "Unexpected exception from object \"SDIAppForm(TSDIAppForm)\":"
                   "(std::out_of_range)index 7"},
        ReportCase{
            "ForeignObject", nullptr, [] { return Raised(42); },
            "Unexpected exception from object \"Unknown\":(int)Error message not specified"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The configuration -------------------------------------------------------

struct LevelCase {
    const char* name;
    std::optional<QByteArray> value;
    int level;
    bool logging;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

class DebugInfoLevelTest : public DebugInfoTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(DebugInfoLevelTest, StartAndEndAsTheProgramRunsThem) {
    const LevelCase& c = GetParam();
    env("VKDEBUGINFOLEVEL", c.value);
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().DebugInfoLevel, c.level);
    EXPECT_EQ(DebugInfoCofig().UseDebugInfo, c.logging);
    EXPECT_EQ(VkStackTrace::Enabled(), c.logging);
    HandleAppException(nullptr, RaisedZeroDivide());
    ASSERT_EQ(FBoxes.size(), 1u) << "the box shows whether or not the log is written";
    VkDebugInfoShutdown();
    EXPECT_FALSE(VkStackTrace::Enabled());

    if (c.logging) {
        EXPECT_EQ(messages(), (QStringList{"Program Start.", ZeroDivideReport, "Program End."}));
    } else {
        EXPECT_FALSE(QFileInfo::exists(debugDir())) << "no log folder when logging is off";
        EXPECT_TRUE(QDir(FTemp.path()).isEmpty());
        EXPECT_TRUE(DebugInfoCofig().RemoteDir.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DebugInfoLevelTest,
    ::testing::Values(LevelCase{"Unset", std::nullopt, 1, true}, LevelCase{"Empty", "", 1, true},
                      LevelCase{"NotANumber", "verbose", 1, true},
                      LevelCase{"TrailingText", "2x", 1, true},
                      LevelCase{"TooLarge", "99999999999", 1, true}, LevelCase{"Two", "2", 2, true},
                      LevelCase{"Zero", "0", 0, false}, LevelCase{"Negative", "-1", -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DebugInfoTest, ConfigurationAtStartUp) {
    const QDateTime before = QDateTime::currentDateTime();
    VkDebugInfoStartup();
    const TDebugInfoCofig& c = DebugInfoCofig();
    EXPECT_TRUE(c.EnableExceptionMessage);
    EXPECT_TRUE(c.UseDebugInfo);
    EXPECT_GE(c.ProgStartedAt, before);
    EXPECT_LE(c.ProgStartedAt, QDateTime::currentDateTime());
    EXPECT_EQ(c.FullExeName, QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    EXPECT_EQ(c.ExeName, QStringLiteral("frame_tests"));
    EXPECT_TRUE(c.CommandLine.contains(QStringLiteral("frame_tests")))
        << c.CommandLine.toStdString();
    EXPECT_EQ(c.ComputerName, QStringLiteral("TESTPC"));
    EXPECT_EQ(c.DebugDir, debugDir());
    EXPECT_TRUE(QFileInfo(c.DebugDir).isDir());
    EXPECT_EQ(c.DebugFile, debugDir() + QStringLiteral("/DEBUG_frame_tests_TESTPC_") +
                               c.ProgStartedAt.toString(QStringLiteral("yyyyMMdd")) +
                               QStringLiteral(".log"));
    EXPECT_EQ(c.RemoteDir, c.DebugDir) << "no network drive: the copy would go nowhere else";
}

TEST_F(DebugInfoTest, NamesFromTheSystemWhenTheEnvironmentHasNone) {
    env("COMPUTERNAME", std::nullopt);
    env("USERNAME", std::nullopt);
    env("VKDEBUGINFOLEVEL", "0");
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().ComputerName, QSysInfo::machineHostName());
    EXPECT_FALSE(DebugInfoCofig().UserName.isEmpty());

    env("COMPUTERNAME", "LAB/PC7");
    env("USERNAME", "student");
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().UserName, QStringLiteral("student"));
    EXPECT_EQ(QFileInfo(DebugInfoCofig().DebugFile).path(), debugDir())
        << "a separator in the computer name must not move the log elsewhere";
}

TEST_F(DebugInfoTest, TemporaryFolderWithoutTemp) {
    QTemporaryDir other;
    env("TEMP", std::nullopt);
    env("TMPDIR", other.path().toLocal8Bit());
    env("VKDEBUGINFOLEVEL", "0");
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().DebugDir, other.path() + QStringLiteral("/VKDebugInfo"));

    env("TMPDIR", std::nullopt);
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().DebugDir, QDir::tempPath() + QStringLiteral("/VKDebugInfo"));
}

// --- The handler -------------------------------------------------------------

TEST_F(DebugInfoTest, ErrorIsLoggedWithItsStackAndShownInTheBox) {
    VkDebugInfoStartup();
    TSDIAppForm form;
    form.setObjectName(QStringLiteral("SDIAppForm"));
    HandleAppException(&form, RaisedZeroDivide());

    const QString report = QStringLiteral("Unexpected exception from object "
                                          "\"SDIAppForm(TSDIAppForm)\":(EZeroDivide)Floating "
                                          "point division by zero");
    ASSERT_EQ(FBoxes.size(), 1u);
    EXPECT_EQ(FBoxes[0].caption, QStringLiteral("frame_tests")) << "no application title: ExeName";
    EXPECT_EQ(FBoxes[0].text,
              report + QStringLiteral("\r\n\r\nSelect: OK to continue or CANCEL to terminate "
                                      "application\r\n(if terminating application, any unsaved "
                                      "data will be lost)"));

    const auto entries = logEntries();
    ASSERT_EQ(entries.size(), 2u);
    const QStringList& entry = entries[1];
    EXPECT_EQ(entry[1], QStringLiteral("DEBUG_MSG_ERROR"));
    EXPECT_EQ(entry[2], report);
    EXPECT_EQ(entry[3], QStringLiteral("DEBUG_INFO"));
    EXPECT_EQ(entry[4 + 11], QStringLiteral("DEBUG_TRACE")) << "the full environment block";
    const QStringList trace = entry.mid(16, entry.size() - 17);
    ASSERT_GE(trace.size(), 3);
    EXPECT_TRUE(trace[0].startsWith(QStringLiteral("#0 ")));
    EXPECT_TRUE(trace[0].contains(QStringLiteral("kv::CheckedDiv(double, double)")))
        << "the trace starts where the error was raised: " << trace[0].toStdString();
    EXPECT_TRUE(trace[1].contains(QStringLiteral("RaiseZeroDivide(double)")))
        << trace[1].toStdString();
    EXPECT_TRUE(trace[1].contains(QStringLiteral("test_vkdebuginfo.cpp:")))
        << "source lines from the debug information: " << trace[1].toStdString();
    EXPECT_TRUE(entry.last().startsWith(QStringLiteral("DEBUG_END [")));
}

TEST_F(DebugInfoTest, SilentAbortLeavesNoEntryAndNoBox) {
    VkDebugInfoStartup();
    const QByteArray before = logBytes();
    HandleAppException(nullptr, Raised(kv::EAbort()));
    TAppExceptionHandler::ShowException(Raised(kv::EAbort("stopped")));
    EXPECT_TRUE(FBoxes.empty());
    EXPECT_EQ(logBytes(), before);
}

TEST_F(DebugInfoTest, LibraryHooksReachTheHandler) {
    VkDebugInfoStartup();
    TSDIAppForm form;
    form.setObjectName(QStringLiteral("SDIAppForm"));
    try {
        throw kv::EOverflow();
    } catch (...) {
        TAppExceptionHandler::HandleException(&form);
    }
    TAppExceptionHandler::ShowException(Raised(std::runtime_error("printer gone")));
    EXPECT_EQ(messages(),
              (QStringList{"Program Start.",
                           "Unexpected exception from object \"SDIAppForm(TSDIAppForm)\":"
                           "(EOverflow)Floating point overflow",
                           "Unexpected exception from object \"Unknown\":"
                           "(std::runtime_error)printer gone"}));
    EXPECT_EQ(FBoxes.size(), 2u);
}

TEST_F(DebugInfoTest, ErrorInsideTheBoxIsSwallowedAndDoesNotOpenAnother) {
    VkDebugInfoStartup();
    int boxes = 0;
    SetErrorBoxHook([&boxes](QWidget*, const QString&, const QString&) -> bool {
        ++boxes;
        // An error raised while the box shows (a timer, say) is logged only.
        HandleAppException(nullptr, Raised(kv::EInvalidOp()));
        throw std::runtime_error("the box failed");
    });
    HandleAppException(nullptr, RaisedZeroDivide());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(messages().size(), 3);
    // The handler is usable again afterwards.
    HandleAppException(nullptr, RaisedZeroDivide());
    EXPECT_EQ(boxes, 2);
}

TEST_F(DebugInfoTest, BoxCanBeSwitchedOff) {
    VkDebugInfoStartup();
    DebugInfoCofig().EnableExceptionMessage = false;
    HandleAppException(nullptr, RaisedZeroDivide());
    EXPECT_TRUE(FBoxes.empty());
    EXPECT_EQ(messages().size(), 2);
}

using DebugInfoDeathTest = DebugInfoTest;

TEST_F(DebugInfoDeathTest, CancelEndsTheProgramWithExitCode1AfterProgramEnd) {
    VkDebugInfoStartup();
    FBoxAnswer = false;
    EXPECT_EXIT(
        {
            HandleAppException(nullptr, RaisedZeroDivide());
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "");
    const auto entries = logEntries();
    ASSERT_GE(entries.size(), 3u);
    const QStringList& error = entries[entries.size() - 2];
    const QStringList& end = entries.back();
    EXPECT_EQ(error[2], ZeroDivideReport);
    EXPECT_EQ(end[1], QStringLiteral("DEBUG_MSG"));
    EXPECT_EQ(end[2], QStringLiteral("Program End."));
}

TEST_F(DebugInfoDeathTest, ErrorThatNothingCatchesIsLoggedWithWhereItWasRaised) {
    VkDebugInfoStartup();
    EXPECT_EXIT(
        {
            std::thread worker([] { RaiseLengthError(); });
            worker.join();
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "");
    const auto entries = logEntries();
    ASSERT_GE(entries.size(), 3u);
    const QStringList& error = entries[entries.size() - 2];
    EXPECT_EQ(error[2], QStringLiteral("Unexpected exception from object \"Unknown\":"
                                       "(std::length_error)no room left"));
    EXPECT_TRUE(error.join('\n').contains(QStringLiteral("RaiseLengthError()")))
        << "the trace shows where the error was raised: " << error.join('\n').toStdString();
    EXPECT_EQ(entries.back()[2], QStringLiteral("Program End."));
}

// --- The log entries ---------------------------------------------------------

TEST_F(DebugInfoTest, EntryFormatLineByLine) {
    VkDebugInfoStartup();
    VkDebugInfoShutdown();
    const auto entries = logEntries();
    ASSERT_EQ(entries.size(), 2u);
    const TDebugInfoCofig& c = DebugInfoCofig();
    const QRegularExpression stamp(
        QStringLiteral(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\]$)"));
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QString started = c.ProgStartedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    const QString exeDate =
        QFileInfo(c.FullExeName).lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));

    const QStringList& start = entries[0];
    ASSERT_EQ(start.size(), 4 + 11 + 1) << start.join('|').toStdString();
    EXPECT_TRUE(start[0].startsWith(QStringLiteral("DEBUG_START ")));
    EXPECT_TRUE(stamp.match(start[0].mid(12)).hasMatch()) << start[0].toStdString();
    EXPECT_EQ(start[1], QStringLiteral("DEBUG_MSG"));
    EXPECT_EQ(start[2], QStringLiteral("Program Start."));
    EXPECT_EQ(start[3], QStringLiteral("DEBUG_INFO"));
    EXPECT_EQ(start[4], QStringLiteral("EXEVER:2.0.0"));
    EXPECT_EQ(start[5], QStringLiteral("EXDATE:") + exeDate);
    EXPECT_EQ(start[6], QStringLiteral("STDATE:") + started);
    EXPECT_EQ(start[7], QStringLiteral("PID:") + pid);
    EXPECT_EQ(start[8], QStringLiteral("CMDLINE:") + c.CommandLine);
    EXPECT_EQ(start[9], QStringLiteral("USER:") + c.UserName);
    EXPECT_EQ(start[10], QStringLiteral("COMPUTER:TESTPC"));
    EXPECT_EQ(start[11], QStringLiteral("DEBUGDIR:") + debugDir());
    EXPECT_EQ(start[12], QStringLiteral("REMOTEDIR:") + debugDir());
    EXPECT_EQ(start[13], QStringLiteral("CPUCNT:") + QString::number(QThread::idealThreadCount()));
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral(
                        R"(^OSVERSION:.+ \(Version \d+\.\d+, Build \d+, (32|64)-bit Edition\)$)"))
                    .match(start[14])
                    .hasMatch())
        << start[14].toStdString();
    EXPECT_TRUE(start[15].startsWith(QStringLiteral("DEBUG_END ")));
    EXPECT_TRUE(stamp.match(start[15].mid(10)).hasMatch()) << start[15].toStdString();

    const QStringList& end = entries[1];
    ASSERT_EQ(end.size(), 4 + 4 + 1) << "the short block: " << end.join('|').toStdString();
    EXPECT_EQ(end[1], QStringLiteral("DEBUG_MSG"));
    EXPECT_EQ(end[2], QStringLiteral("Program End."));
    EXPECT_EQ(end.mid(3, 5), (QStringList{"DEBUG_INFO", "EXEVER:2.0.0", "EXDATE:" + exeDate,
                                          "STDATE:" + started, "PID:" + pid}));
}

TEST_F(DebugInfoTest, EntryWithoutEnvironmentAndWithSeveralLines) {
    VkDebugInfoStartup();
    const qint64 before = logBytes().size();
    WriteDebugEntry(QStringLiteral("first\nsecond\r\nthird"), QString(),
                    QStringLiteral("#0 a\n#1 b\n"), delMsgError);
    const QByteArray added = logBytes().mid(before);
    EXPECT_FALSE(added.contains("\n\n")) << "every line ends in CR LF";
    const QStringList lines = QString::fromLocal8Bit(added).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 11) << added.toStdString();
    EXPECT_EQ(lines.mid(1, 6),
              (QStringList{"DEBUG_MSG_ERROR", "first", "second", "third", "DEBUG_TRACE", "#0 a"}));
    EXPECT_EQ(lines[7], QStringLiteral("#1 b"));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("DEBUG_END [")));
    EXPECT_EQ(lines[9], QString()) << "an empty line ends the entry";
    EXPECT_EQ(lines[10], QString());
}

TEST_F(DebugInfoTest, SeveralRunsOfOneDayAppendToOneFile) {
    VkDebugInfoStartup();
    VkDebugInfoShutdown();
    VkDebugInfoStartup();
    VkDebugInfoShutdown();
    EXPECT_EQ(messages(),
              (QStringList{"Program Start.", "Program End.", "Program Start.", "Program End."}));
}

TEST_F(DebugInfoTest, FileHeldByAnotherProgramIsTriedSixTimesThenDropped) {
    VkDebugInfoStartup();
    const QString file = DebugInfoCofig().DebugFile;
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file)); // a folder in the way: the file cannot be opened
    SetLogLockedQuery([&file](const QString& f) { return f == file; });
    FSleeps.clear();
    WriteDebugEntry(QStringLiteral("lost"), QString(), QString(), delMsg);

    ASSERT_EQ(FSleeps.size(), 5u) << "six attempts, a wait before each but the first";
    int total = 0;
    for (int ms : FSleeps) {
        EXPECT_TRUE(ms >= 100 && ms <= 500 && ms % 100 == 0) << ms;
        total += ms;
    }
    EXPECT_LE(total, 2500);
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_TRUE(QDir(file).isEmpty());
}

TEST_F(DebugInfoTest, FileThatFreesUpBetweenAttemptsGetsTheEntry) {
    VkDebugInfoStartup();
    const QString file = DebugInfoCofig().DebugFile;
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    SetLogLockedQuery([](const QString&) { return true; });
    FSleeps.clear();
    FOnSleep = [&] {
        if (FSleeps.size() == 2) {
            QDir().rmdir(file);
        }
    };
    WriteDebugEntry(QStringLiteral("kept"), QString(), QString(), delMsg);
    EXPECT_EQ(FSleeps.size(), 2u);
    EXPECT_EQ(messages(), QStringList{"kept"});
}

// A log that cannot be written at all: said once on standard error, with the
// file and the reason, and never waited for, at start-up, at the end or
// between.
struct UnwritableCase {
    const char* name;
    // Makes the log unwritable, given the temporary folder and the log file
    // (as the first run named it); false when the case cannot be set up.
    bool (*prepare)(const QString& temp, const QString& file);
    const char* said;   // the start of the line on standard error
    const char* reason; // part of it
    bool logging;       // UseDebugInfo after start-up
};

void PrintTo(const UnwritableCase& c, std::ostream* os) {
    *os << c.name;
}

class UnwritableLogTest : public DebugInfoTest,
                          public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableLogTest, SaidOnceAndNeverWaitedFor) {
    VkDebugInfoStartup();
    VkDebugInfoShutdown();
    const QString file = DebugInfoCofig().DebugFile;
    if (!GetParam().prepare(FTemp.path(), file)) {
        GTEST_SKIP() << "the folder cannot be made unwritable here (root ignores permissions)";
    }
    FSleeps.clear();
    testing::internal::CaptureStderr();
    VkDebugInfoStartup();
    const bool logging = DebugInfoCofig().UseDebugInfo;
    WriteDebugEntry(QStringLiteral("lost"), QString(), QString(), delMsgError);
    VkDebugInfoShutdown();
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_TRUE(FSleeps.empty()) << FSleeps.size() << " waits";
    EXPECT_EQ(logging, GetParam().logging);
    EXPECT_EQ(said.count('\n'), 1) << said.toStdString();
    EXPECT_TRUE(said.startsWith(QStringLiteral("frame_tests: ") + GetParam().said))
        << said.toStdString();
    const QString path = logging ? file : DebugInfoCofig().DebugDir;
    EXPECT_TRUE(
        said.contains(QDir::toNativeSeparators(path) + QStringLiteral(": ") + GetParam().reason))
        << said.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritableLogTest,
    ::testing::Values(
        UnwritableCase{"folder_in_the_way_of_the_file",
                       [](const QString&, const QString& file) {
                           return QFile::remove(file) && QDir().mkdir(file);
                       },
                       "cannot write the debug log", "Is a directory", true},
        UnwritableCase{"read_only_folder",
                       [](const QString&, const QString& file) {
                           const QString dir = QFileInfo(file).path();
                           if (!QFile::remove(file) ||
                               !QFile::setPermissions(dir, QFileDevice::ReadOwner |
                                                               QFileDevice::ExeOwner)) {
                               return false;
                           }
                           // Whoever may write anyway (root) cannot show the case.
                           QFile probe(dir + QStringLiteral("/probe"));
                           if (probe.open(QIODevice::WriteOnly)) {
                               probe.remove();
                               return false;
                           }
                           return true;
                       },
                       "cannot write the debug log", "Permission denied", true},
        UnwritableCase{"folder_cannot_be_created",
                       [](const QString& temp, const QString&) {
                           // TEMP names a file: no folder can be made in it.
                           QDir(temp + QStringLiteral("/VKDebugInfo")).removeRecursively();
                           QFile blocker(temp + QStringLiteral("/VKDebugInfo"));
                           return blocker.open(QIODevice::WriteOnly);
                       },
                       "cannot create the debug log folder", "Not a directory", false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The copy to the shared folder -------------------------------------------

class RemoteCopyTest : public DebugInfoTest {
protected:
    void SetUp() override {
        DebugInfoTest::SetUp();
        FRemote = FTemp.path() + QStringLiteral("/share/VKDebugInfo");
        ASSERT_TRUE(QDir().mkpath(FRemote));
        SetRemoteDebugFolder(FRemote);
        SetNetworkDriveQuery([this](const QString& path) {
            ++FQueries;
            return path == FRemote && FDriveConnected.load();
        });
    }

    QString remoteCopy() const {
        return FRemote + '/' + QFileInfo(DebugInfoCofig().DebugFile).fileName();
    }

    QString FRemote;
    std::atomic<bool> FDriveConnected{true};
    std::atomic<int> FQueries{0};
};

TEST_F(RemoteCopyTest, StartAndEndCopyTheLogToTheConnectedDrive) {
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().RemoteDir, FRemote);
    ASSERT_TRUE(WaitForLogCopy(5000));
    QFile copy(remoteCopy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), logBytes());
    copy.close();
    EXPECT_EQ(LogCopyCancelFlag().load(), 0) << "the flag is back at stop";

    VkDebugInfoShutdown();
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), logBytes()) << "the older copy is replaced";
    EXPECT_EQ(QDir(debugDir()).entryList(QDir::Files),
              QStringList{QFileInfo(DebugInfoCofig().DebugFile).fileName()})
        << "no temporary copy is left behind";
}

TEST_F(RemoteCopyTest, NoCopyWithoutTheDrive) {
    FDriveConnected = false;
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().RemoteDir, DebugInfoCofig().DebugDir);
    VkDebugInfoShutdown();
    EXPECT_FALSE(QFileInfo::exists(remoteCopy()));
}

TEST_F(RemoteCopyTest, NoCopyWhenTheSharedFolderIsMissingAtStart) {
    ASSERT_TRUE(QDir(FRemote).removeRecursively());
    VkDebugInfoStartup();
    EXPECT_EQ(DebugInfoCofig().RemoteDir, DebugInfoCofig().DebugDir);
    VkDebugInfoShutdown();
    EXPECT_FALSE(QFileInfo::exists(remoteCopy()));
}

TEST_F(RemoteCopyTest, SharedFolderIsCreatedAgainWhenItVanishes) {
    VkDebugInfoStartup();
    ASSERT_TRUE(WaitForLogCopy(5000));
    ASSERT_TRUE(QDir(FRemote).removeRecursively());
    CopyLogToRemote();
    ASSERT_TRUE(WaitForLogCopy(5000));
    EXPECT_TRUE(QFileInfo::exists(remoteCopy()));
}

TEST_F(RemoteCopyTest, DriveLostBeforeTheTaskRunsMeansNoCopy) {
    VkDebugInfoStartup();
    ASSERT_TRUE(WaitForLogCopy(5000));
    ASSERT_TRUE(QFile::remove(remoteCopy()));
    // The request sees the drive; the task asks again and no longer does.
    SetNetworkDriveQuery([this](const QString&) { return ++FQueries == 1; });
    FQueries = 0;
    CopyLogToRemote();
    ASSERT_TRUE(WaitForLogCopy(5000));
    EXPECT_EQ(FQueries.load(), 2);
    EXPECT_FALSE(QFileInfo::exists(remoteCopy()));
}

TEST_F(RemoteCopyTest, RunningCopyIsCancelledBeforeTheNextOne) {
    VkDebugInfoStartup();
    ASSERT_TRUE(WaitForLogCopy(5000));
    FSleeps.clear();
    // A copy that has not come back to stop (one that failed, say).
    LogCopyCancelFlag() = 1;
    FDriveConnected = false;
    CopyLogToRemote();
    EXPECT_EQ(LogCopyCancelFlag().load(), 0);
    EXPECT_EQ(FSleeps, std::vector<int>{500});
    FSleeps.clear();
    CopyLogToRemote();
    EXPECT_TRUE(FSleeps.empty()) << "no wait when no copy runs";
}

TEST(LogCopy, TemporaryName) {
    EXPECT_EQ(
        LogCopyTempName(QStringLiteral("/tmp/VKDebugInfo/DEBUG_WinVELMAR_PC_20240131.log"), 4711,
                        123456789),
        QStringLiteral("/tmp/VKDebugInfo/DEBUG_WinVELMAR_PC_20240131.log.COPY_4711_123456789"));
}

TEST(LogCopy, CopyGivesUpWhenTheFlagIsStop) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("log"));
    const QString target = dir.filePath(QStringLiteral("copy"));
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray data(300 * 1024, 'x'); // several chunks
    file.write(data);
    file.close();

    std::atomic<int> flag{0};
    EXPECT_FALSE(CopyFileWithCancel(source, target, flag));
    EXPECT_FALSE(QFileInfo::exists(target));

    flag = 1;
    ASSERT_TRUE(CopyFileWithCancel(source, target, flag));
    QFile copy(target);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), data);
    copy.close();

    EXPECT_FALSE(CopyFileWithCancel(dir.filePath(QStringLiteral("missing")), target, flag));
    EXPECT_TRUE(QFileInfo::exists(target)) << "a missing source leaves the older copy alone";
}

} // namespace

#include "test_vkdebuginfo.moc"
