// The paginated fixed-width printout: column groups, row bands, page breaks,
// page headers and the refusals that keep it from looping or overflowing.
#include "simtab.h"

#include "simtab_fixtures.h"
#include "txtfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv;
using kvtest::MakeTable;
using kvtest::Str;

namespace {

// Cell (r, c) reads "r.c", filled with '_' up to the width of its column, so
// that a printed line can be read back by splitting at blanks.
TSimTab MakeWideTable(int nRow, const std::vector<int>& widths) {
    kvtest::Rows rows;
    for (int r = 0; r <= nRow; ++r) {
        QStringList row;
        for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
            row << QStringLiteral("%1.%2").arg(r).arg(c).leftJustified(widths[c], QLatin1Char('_'));
        }
        rows.push_back(row);
    }
    return MakeTable(rows);
}

struct Block {
    int rowFst, rowLst, colFst, colLst;
    bool operator==(const Block&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Block& b) {
    return os << "{rows " << b.rowFst << ".." << b.rowLst << ", cols " << b.colFst << ".."
              << b.colLst << "}";
}

using Page = std::vector<Block>;

std::pair<int, int> CellAt(const QString& token) {
    const QStringList parts = QString(token).remove(QLatin1Char('_')).split(QLatin1Char('.'));
    return {parts.value(0).toInt(), parts.value(1).toInt()};
}

// Reads a printout back into pages of blocks, checking the page header, that
// every block starts with row 0 and column 0, and that its rows follow on.
std::vector<Page> ReadLayout(const QString& text, const QString& header, const QString& title) {
    std::vector<Page> pages;
    const QStringList pageTexts = text.split(QChar(12));
    for (int p = 0; p < pageTexts.size(); ++p) {
        QStringList lines = pageTexts[p].split(QStringLiteral("\r\n"));
        EXPECT_TRUE(lines.last().isEmpty()) << "every line ends in CR LF";
        lines.removeLast();
        EXPECT_GE(lines.size(), 6);
        if (lines.size() < 6) {
            return pages;
        }
        EXPECT_EQ(lines[0], QString());
        EXPECT_EQ(lines[1], QStringLiteral("    Page %1 of ").arg(p + 1) + header);
        EXPECT_EQ(lines[2], QStringLiteral("    ") + title);
        EXPECT_EQ(lines[3], QString());
        EXPECT_EQ(lines[4], QString());
        Page page;
        std::vector<QStringList> block;
        const auto closeBlock = [&] {
            EXPECT_FALSE(block.empty()) << "two empty lines in a row";
            if (block.empty()) {
                return;
            }
            Block b{0, -1, 1, 0};
            const QStringList& head = block.front();
            EXPECT_EQ(CellAt(head.front()), std::make_pair(0, 0)) << "block starts with row 0";
            if (head.size() > 1) {
                b.colFst = CellAt(head[1]).second;
                b.colLst = CellAt(head.last()).second;
            }
            for (std::size_t i = 1; i < block.size(); ++i) {
                const int r = CellAt(block[i].front()).first;
                if (i == 1) {
                    b.rowFst = r;
                } else {
                    EXPECT_EQ(r, b.rowLst + 1) << "rows follow on";
                }
                b.rowLst = r;
                EXPECT_EQ(block[i].size(), head.size());
            }
            if (block.size() == 1) {
                b.rowFst = 1;
                b.rowLst = 0;
            }
            page.push_back(b);
            block.clear();
        };
        for (int i = 5; i < lines.size(); ++i) {
            if (lines[i].isEmpty()) {
                closeBlock();
            } else {
                block.push_back(lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts));
            }
        }
        closeBlock();
        pages.push_back(page);
    }
    return pages;
}

struct LayoutCase {
    const char* name;
    int nRow;
    std::vector<int> widths; // of columns 0..Ncol
    int pageLen;
    int pageWidth;
    std::vector<Page> expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class TextLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TextLayout, CutsIntoBandsGroupsAndPages) {
    const LayoutCase& c = GetParam();
    const TSimTab T = MakeWideTable(c.nRow, c.widths);
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsText(T, out, c.pageLen, c.pageWidth, QStringLiteral("Hdr"),
                                  QStringLiteral("Title"), msg))
        << Str(msg);
    EXPECT_EQ(ReadLayout(out.Text(), QStringLiteral("Hdr"), QStringLiteral("Title")), c.expected);
}

std::vector<Page> SingleColumnPages(int groups, int perPage) {
    std::vector<Page> pages;
    for (int k = 1; k <= groups; ++k) {
        if ((k - 1) % perPage == 0) {
            pages.emplace_back();
        }
        pages.back().push_back({1, 1, k, k});
    }
    return pages;
}

// Cells 5 wide: a line is 4 + 6 + 6 per column; page width 22 holds 2 columns.
const std::vector<int> FiveCols{5, 5, 5, 5, 5};

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayout,
    ::testing::Values(
        LayoutCase{"Bands24",
                   45,
                   {5, 5, 5, 5},
                   24,
                   80,
                   {{{1, 20, 1, 3}}, {{21, 40, 1, 3}}, {{41, 45, 1, 3}}}},
        LayoutCase{"TwoBlocksShareAPage", 6, FiveCols, 24, 22, {{{1, 6, 1, 2}, {1, 6, 3, 4}}}},
        LayoutCase{
            "NextBlockOneLineTooLong", 7, FiveCols, 24, 22, {{{1, 7, 1, 2}}, {{1, 7, 3, 4}}}},
        LayoutCase{"BandsTimesGroups",
                   25,
                   FiveCols,
                   24,
                   22,
                   {{{1, 20, 1, 2}}, {{1, 20, 3, 4}}, {{21, 25, 1, 2}, {21, 25, 3, 4}}}},
        LayoutCase{"ColumnWiderThanPageAlone",
                   2,
                   {5, 5, 60, 5},
                   24,
                   40,
                   {{{1, 2, 1, 1}, {1, 2, 2, 2}, {1, 2, 3, 3}}}},
        LayoutCase{"PageNarrowerThanLabel", 1, {5, 5, 5}, 24, 3, {{{1, 1, 1, 1}, {1, 1, 2, 2}}}},
        LayoutCase{"LabelColumnOnly", 3, {5}, 24, 80, {{{1, 3, 1, 0}}}},
        LayoutCase{"HeadingsOnly", 0, {5, 5}, 24, 80, {{{1, 0, 1, 1}}}},
        LayoutCase{
            "ShortestPage", 3, {5, 5}, 5, 80, {{{1, 1, 1, 1}}, {{2, 2, 1, 1}}, {{3, 3, 1, 1}}}},
        // One column per group, five blocks of two lines per page.
        LayoutCase{"ThirtyGroupsAllowed", 1, std::vector<int>(31, 5), 24, 16,
                   SingleColumnPages(30, 5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextWriter, WritesTheExactPageTopAndRightJustifiedFields) {
    const TSimTab T = MakeTable(
        {{"Variable ", "Sim 1", "B"}, {"x1  out", "1.000", "-22.500"}, {"x2", "#3.000", " "}});
    ASSERT_EQ(T.ColWidth, (TLongIntVec0Based{9, 6, 7}));
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsText(T, out, 66, 80, QStringLiteral("WinVELMAR Printout: now"),
                                  QStringLiteral("Simulation Results"), msg));
    EXPECT_EQ(Str(out.Text()), "\r\n"
                               "    Page 1 of WinVELMAR Printout: now\r\n"
                               "    Simulation Results\r\n"
                               "\r\n"
                               "\r\n"
                               "     Variable   Sim 1       B\r\n"
                               "       x1  out  1.000 -22.500\r\n"
                               "            x2 #3.000        \r\n");
}

TEST(TextWriter, LeftJustifiedFieldsAreFilledOnTheRight) {
    TSimTab T = MakeTable({{"ab", "c"}, {"d", "efg"}});
    T.LeftJust = true;
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsText(T, out, 24, 80, QString(), QString(), msg));
    EXPECT_TRUE(out.Text().endsWith(QStringLiteral("    ab c   \r\n    d  efg \r\n")))
        << Str(out.Text());
}

TEST(TextWriter, EveryLineOfAGroupHasTheGroupsWidth) {
    const TSimTab T = MakeTable({{" ", "a", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "c"},
                                 {"row one", "1", "2", "3333"},
                                 {"r2", "", "", ""}});
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsText(T, out, 24, 30, QString(), QString(), msg));
    // Groups: {1}, {2} (wider than the page), {3}; label field 8, plus 4 blanks.
    const int label = 4 + 8;
    std::vector<int> lengths;
    for (const QString& line : out.Text().split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QStringLiteral("     ")) && line.size() >= label) {
            lengths.push_back(static_cast<int>(line.size()));
        }
    }
    EXPECT_EQ(lengths, (std::vector<int>{label + 2, label + 2, label + 2, label + 46, label + 46,
                                         label + 46, label + 5, label + 5, label + 5}));
}

TEST(TextWriter, FormFeedOpensEveryPageAfterTheFirst) {
    const TSimTab T = MakeWideTable(45, {5, 5});
    TStringTextOutput out;
    QString msg;
    ASSERT_TRUE(WriteSimTabAsText(T, out, 24, 80, QStringLiteral("H"), QStringLiteral("T"), msg));
    const QString& text = out.Text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("\r\n    Page 1 of H\r\n")));
    EXPECT_EQ(text.count(QChar(12)), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n\x0C\r\n    Page 2 of H\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n\r\n"))) << "nothing follows the last row";
}

struct RefusalCase {
    const char* name;
    int nCol;
    int pageLen;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class TextRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TextRefusal, WritesNothing) {
    const RefusalCase& c = GetParam();
    const TSimTab T = MakeWideTable(2, std::vector<int>(c.nCol + 1, 5));
    TStringTextOutput out;
    QString msg;
    EXPECT_FALSE(WriteSimTabAsText(T, out, c.pageLen, 16, QString(), QString(), msg));
    EXPECT_EQ(Str(msg), c.message);
    EXPECT_TRUE(out.Text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextRefusal,
    ::testing::Values(
        RefusalCase{"ThirtyOneGroups", 31, 24, "MaxHPage parameter too small[WriteSimTabAsText]"},
        RefusalCase{"PageLenFour", 3, 4,
                    "Page length 4 too small: at least 5 lines are needed[WriteSimTabAsText]"},
        RefusalCase{"PageLenNegative", 3, -7,
                    "Page length -7 too small: at least 5 lines are needed[WriteSimTabAsText]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextWriter, EmptyTableIsRefused) {
    TSimTab empty;
    TStringTextOutput out;
    QString msg;
    EXPECT_FALSE(WriteSimTabAsText(empty, out, 66, 80, QString(), QString(), msg));
    EXPECT_EQ(Str(msg), "SimTab is empty[WriteSimTabAsText]");
    EXPECT_TRUE(out.Text().isEmpty());
}

} // namespace
