// Separated text: the CSV writer, saving to a file, the separator rule, and the
// tab-separated copy string.
#include "simtab.h"

#include "decimalsep.h"
#include "errors.h"
#include "simtab_fixtures.h"
#include "txtfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace kv;
using kvtest::MakeNumberedTable;
using kvtest::MakeTable;
using kvtest::Rows;
using kvtest::ScopedForceDecimalPoint;
using kvtest::ScopedLocale;
using kvtest::Str;

namespace {

enum class Sep { Comma, Semicolon };

struct SeparatorCase {
    const char* name;
    QLocale::Language language;
    bool force;
    char16_t decimal;
    char16_t separator;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvSeparatorRule : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(CsvSeparatorRule, FollowsTheProgramsDecimalSeparator) {
    const SeparatorCase& c = GetParam();
    ScopedLocale locale{QLocale(c.language)};
    ScopedForceDecimalPoint force{c.force};
    EXPECT_EQ(ProgramDecimalSeparator(), QChar(c.decimal));
    EXPECT_EQ(CsvSeparator(), QChar(c.separator));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CsvSeparatorRule,
    ::testing::Values(SeparatorCase{"PointLocale", QLocale::C, false, u'.', u','},
                      SeparatorCase{"CommaLocale", QLocale::German, false, u',', u';'},
                      SeparatorCase{"CommaLocaleForcedPoint", QLocale::German, true, u'.', u','},
                      SeparatorCase{"PointLocaleForced", QLocale::English, true, u'.', u','}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvSeparatorRule, ForceDecimalPointIsOffUntilSet) {
    // No test may leave it set; the program starts with it off.
    EXPECT_FALSE(ForceDecimalPoint());
}

struct CsvCase {
    const char* name;
    Rows rows;
    Sep sep;
    const char* expected;
};

void PrintTo(const CsvCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvWriter : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvWriter, WritesEveryFieldFollowedByTheSeparator) {
    const CsvCase& c = GetParam();
    ScopedLocale locale{QLocale(c.sep == Sep::Semicolon ? QLocale::German : QLocale::C)};
    ScopedForceDecimalPoint force{false};
    TSimTab T = MakeTable(c.rows);
    const TSimTab before = T;
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsCSV(T, out, msg)) << Str(msg);
    EXPECT_EQ(Str(out.Text()), c.expected);
    EXPECT_EQ(T.Contents, before.Contents) << "writers leave the table as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvWriter,
    ::testing::Values(
        CsvCase{"OneByOne", {{"x"}}, Sep::Comma, "x,\r\n"},
        CsvCase{"AllEmpty", {{"", "", ""}, {"", "", ""}}, Sep::Comma, ",,,\r\n,,,\r\n"},
        CsvCase{"AllEmptySemicolon", {{"", ""}}, Sep::Semicolon, ";;\r\n"},
        CsvCase{"CommaQuotedWithComma", {{"a", "1,5"}}, Sep::Comma, "a,\"1,5\",\r\n"},
        CsvCase{"CommaBareWithSemicolon", {{"a", "1,5"}}, Sep::Semicolon, "a;1,5;\r\n"},
        CsvCase{"SemicolonQuotedWithSemicolon", {{"a;b"}}, Sep::Semicolon, "\"a;b\";\r\n"},
        // A quote or a line break quotes the field, and a quote inside is
        // doubled, so that the cell reads back as it was.
        CsvCase{"QuoteQuotedAndDoubled", {{"say \"hi\""}}, Sep::Comma, "\"say \"\"hi\"\"\",\r\n"},
        CsvCase{"QuoteAndSeparatorQuotedAndDoubled",
                {{"He said \"hi\", ok", "x"}},
                Sep::Comma,
                "\"He said \"\"hi\"\", ok\",x,\r\n"},
        CsvCase{"QuoteQuotedWithSemicolon", {{"a\"b,c"}}, Sep::Semicolon, "\"a\"\"b,c\";\r\n"},
        CsvCase{"LineBreakQuoted", {{"a\r\nb", "c\nd"}}, Sep::Comma, "\"a\r\nb\",\"c\nd\",\r\n"},
        CsvCase{"HeadingsAndData",
                {{" ", "h1", "h2"}, {"r1", "1", "2"}, {"r2", "3", "4"}},
                Sep::Comma,
                " ,h1,h2,\r\nr1,1,2,\r\nr2,3,4,\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvWriter, EmptyTableIsRefused) {
    TSimTab empty;
    TStringTextOutput out;
    QString msg;
    EXPECT_FALSE(WriteSimTabAsCSV(empty, out, msg));
    EXPECT_EQ(Str(msg), "SimTab is empty[WriteSimTabAsCSV]");
    EXPECT_TRUE(out.Text().isEmpty());
}

// Saving: the file holds exactly what the writer writes, in UTF-8.
class SaveCsv : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

TEST_F(SaveCsv, WritesTheWholeTableAndReplacesAnOldFile) {
    ScopedLocale locale{QLocale(QLocale::C)};
    const QString path = Path(QStringLiteral("results.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'z'));
    }
    TSimTab T = MakeTable({{"Variable ", QStringLiteral("Prüfung")}, {"x1  output", "#-1.500"}});
    QString msg;
    ASSERT_TRUE(SaveSimTabAsCSV(T, path, msg)) << Str(msg);
    EXPECT_EQ(Read(path), QByteArray("Variable ,Pr\xC3\xBC"
                                     "fung,\r\nx1  output,#-1.500,\r\n"));
}

TEST_F(SaveCsv, LargeTablePassesTheOutputBuffer) {
    ScopedLocale locale{QLocale(QLocale::C)};
    const TSimTab T = MakeNumberedTable(2000, 40); // several times the 120002-byte buffer
    TStringTextOutput expected;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsCSV(T, expected, msg));
    ASSERT_GT(expected.Text().size(), 3 * TTxtFile::BufferSize);
    const QString path = Path(QStringLiteral("big.csv"));
    ASSERT_TRUE(SaveSimTabAsCSV(T, path, msg)) << Str(msg);
    EXPECT_EQ(Read(path), expected.Text().toUtf8());
}

TEST_F(SaveCsv, FailuresCarryTheTagsOfEveryStep) {
    const TSimTab T = MakeNumberedTable(1, 1);
    QString msg;
    const QString missing = Path(QStringLiteral("no/such/folder/x.csv"));
    EXPECT_FALSE(SaveSimTabAsCSV(T, missing, msg));
    EXPECT_EQ(msg, QStringLiteral("Cannot create file ") + missing +
                       QStringLiteral("[TxtCreate][SaveSimTabAsCSV]"));

    EXPECT_FALSE(SaveSimTabAsCSV(T, dir.path(), msg)); // a folder
    EXPECT_EQ(msg, QStringLiteral("Cannot create file ") + dir.path() +
                       QStringLiteral("[TxtCreate][SaveSimTabAsCSV]"));

    TSimTab empty;
    const QString path = Path(QStringLiteral("empty.csv"));
    EXPECT_FALSE(SaveSimTabAsCSV(empty, path, msg));
    EXPECT_EQ(Str(msg), "SimTab is empty[WriteSimTabAsCSV][SaveSimTabAsCSV]");
}

TEST_F(SaveCsv, FullDiskReportsTheCloseOrRaisesAtTheWrite) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    QString msg;
    // A small table stays in the buffer until the close, which then fails.
    EXPECT_FALSE(SaveSimTabAsCSV(MakeNumberedTable(1, 1), "/dev/full", msg));
    EXPECT_EQ(Str(msg), "Cannot close file[TxtClose][SaveSimTabAsCSV]");
    // A table larger than the buffer fails at a write, which raises.
    EXPECT_THROW(SaveSimTabAsCSV(MakeNumberedTable(3000, 40), "/dev/full", msg), EInOutError);
}

// The copy string: rows joined by TAB, each ending in CR LF, then one NUL.
struct CopyCase {
    const char* name;
    Rows rows;
    QString expected;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

class CopyString : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyString, HasTheComputedLengthAndEndsInNul) {
    const CopyCase& c = GetParam();
    TSimTab T = MakeTable(c.rows);
    QString S, msg;
    ASSERT_TRUE(CopySimTabToString(T, S, msg)) << Str(msg);
    EXPECT_EQ(S, c.expected);
    ASSERT_FALSE(S.isEmpty());
    EXPECT_EQ(S.back(), QChar(0));
    EXPECT_EQ(S.count(QChar(0)), 1);
}

QString WithNul(const char* s) {
    return QString::fromLatin1(s) + QChar(0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyString,
    ::testing::Values(CopyCase{"OneByOne", {{"x"}}, WithNul("x\r\n")},
                      CopyCase{"EmptyCells", {{"", ""}, {"", ""}}, WithNul("\t\r\n\t\r\n")},
                      CopyCase{"Whole",
                               {{" ", "A"}, {"r1", "1.000"}, {"r2", "#2.500"}},
                               WithNul(" \tA\r\nr1\t1.000\r\nr2\t#2.500\r\n")},
                      CopyCase{"TabInsideACell", {{"a\tb", "c"}}, WithNul("a\tb\tc\r\n")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyString, LengthOfTheDataPageShape) {
    // 12 rows of 7 cells: 6 tabs and CR LF per row, one NUL.
    const TSimTab T = MakeNumberedTable(11, 6);
    std::int64_t len = 0;
    QString S, msg;
    SimTabLength(T, len, msg);
    ASSERT_TRUE(CopySimTabToString(T, S, msg));
    EXPECT_EQ(S.size(), 12 * 6 + len + 2 * 12 + 1);
    EXPECT_EQ(S.count(QChar(9)), 12 * 6);
    EXPECT_EQ(S.count(QStringLiteral("\r\n")), 12);
}

TEST(CopyString, EmptyTableHasNothingToCopy) {
    TSimTab empty;
    QString S = QStringLiteral("old"), msg;
    EXPECT_FALSE(CopySimTabToString(empty, S, msg));
    EXPECT_EQ(Str(msg), "nothing to copy[CopySimTabToString]");
    EXPECT_TRUE(S.isEmpty());
}

} // namespace
