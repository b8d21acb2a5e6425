// Copy to the clipboard: the retries with their growing pauses, and the text
// that reaches the clipboard.
#include "clipboard.h"

#include "simtab_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv;
using kvtest::MakeTable;

namespace {

// A clipboard that refuses the first `failures` requests of each kind.
class FakeClipboard : public ClipboardPort {
public:
    int clearFailures = 0;
    int setFailures = 0;
    int clearCalls = 0;
    int setCalls = 0;
    QString text = QStringLiteral("old contents");

    bool clear() override {
        ++clearCalls;
        if (clearFailures > 0) {
            --clearFailures;
            return false;
        }
        text.clear();
        return true;
    }
    bool setText(const QString& t) override {
        ++setCalls;
        if (setFailures > 0) {
            --setFailures;
            return false;
        }
        text = t;
        return true;
    }
};

struct RetryCase {
    const char* name;
    int failures;
    bool succeeds;
    int attempts;
    std::vector<int> sleeps;
};

void PrintTo(const RetryCase& c, std::ostream* os) {
    *os << c.name;
}

class ClipboardRetry : public ::testing::TestWithParam<RetryCase> {};

TEST_P(ClipboardRetry, SleepsTwentyTimesTheAttemptAfterEachFailure) {
    const RetryCase& c = GetParam();
    FakeClipboard cb;
    cb.setFailures = c.failures;
    cb.clearFailures = c.failures;
    std::vector<int> sleeps;
    const TSleepFn record = [&](int ms) { sleeps.push_back(ms); };

    EXPECT_EQ(SafeSetClipboardText(cb, QStringLiteral("new"), record), c.succeeds);
    EXPECT_EQ(cb.setCalls, c.attempts);
    EXPECT_EQ(sleeps, c.sleeps);
    EXPECT_EQ(cb.text, c.succeeds ? QStringLiteral("new") : QStringLiteral("old contents"));

    sleeps.clear();
    SafeClearClipboard(cb, record);
    EXPECT_EQ(cb.clearCalls, c.attempts);
    EXPECT_EQ(sleeps, c.sleeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipboardRetry,
    ::testing::Values(
        RetryCase{"FirstTry", 0, true, 1, {}}, RetryCase{"ThirdTry", 2, true, 3, {20, 40}},
        RetryCase{"LastTry", 9, true, 10, {20, 40, 60, 80, 100, 120, 140, 160, 180}},
        RetryCase{"NeverFree", 1000, false, 10, {20, 40, 60, 80, 100, 120, 140, 160, 180, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopySimTabToClipboard, PutsTheRowsWithoutTheNul) {
    const TSimTab T = MakeTable({{" ", "A"}, {"r1", "1.000"}});
    FakeClipboard cb;
    QString msg;
    ASSERT_TRUE(CopySimTabToClipboard(T, msg, cb, [](int) {}));
    EXPECT_EQ(cb.text, QStringLiteral(" \tA\r\nr1\t1.000\r\n"));
    EXPECT_EQ(cb.clearCalls, 1);
}

TEST(CopySimTabToClipboard, BusyClipboardStillSucceedsAndKeepsOldText) {
    const TSimTab T = MakeTable({{"x"}});
    FakeClipboard cb;
    cb.clearFailures = cb.setFailures = 1000;
    int slept = 0;
    QString msg;
    EXPECT_TRUE(CopySimTabToClipboard(T, msg, cb, [&](int ms) { slept += ms; }));
    EXPECT_EQ(cb.text, QStringLiteral("old contents"));
    EXPECT_EQ(slept, 2 * 1100);
}

TEST(CopySimTabToClipboard, EmptyTableFailsWithoutTouchingTheClipboard) {
    TSimTab empty;
    FakeClipboard cb;
    QString msg;
    EXPECT_FALSE(CopySimTabToClipboard(empty, msg, cb, [](int) {}));
    EXPECT_EQ(msg.toStdString(), "nothing to copy[CopySimTabToString]");
    EXPECT_EQ(cb.clearCalls + cb.setCalls, 0);
}

} // namespace
