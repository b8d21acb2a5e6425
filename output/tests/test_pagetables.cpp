// The page tables that print, save and copy use, on the model state: their
// shapes, the saved and copied text of each page, and the printout header.
#include "pagetables.h"

#include "model.h"
#include "modelstate.h"
#include "savedtext.h"
#include "simtab_fixtures.h"
#include "txtfile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kv;
using kvtest::ScopedForceDecimalPoint;
using kvtest::ScopedLocale;
using kvtest::Str;

namespace {

class PageTables : public kvtest::FreshModel {
protected:
    // The page saved as Save does, read back as lines of fields.
    std::vector<QStringList> Saved(const TPageTable& page) {
        TSimTab T;
        QString msg;
        EXPECT_TRUE(MakePageSimTab(T, page, msg)) << Str(msg);
        const QString path = dir.filePath(QStringLiteral("page.csv"));
        EXPECT_TRUE(SaveSimTabAsCSV(T, path, msg)) << Str(msg);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        EXPECT_TRUE(lines.last().isEmpty());
        lines.removeLast();
        std::vector<QStringList> rows;
        for (const QString& line : lines) {
            EXPECT_TRUE(line.endsWith(CsvSeparator())) << Str(line);
            rows.push_back(kvtest::Fields(line, CsvSeparator()));
        }
        return rows;
    }

    void Solve(const char* title) {
        SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure);
        AddSolution(E.Solutions, title, E.ShockVec, E.Closure.Endo);
    }

    ScopedLocale locale{QLocale(QLocale::C)};
};

TEST_F(PageTables, ShapesAndTitlesFollowTheModel) {
    EXPECT_EQ(BaseDataPageTable(E).Rows, 12);
    EXPECT_EQ(BaseDataPageTable(E).Cols, 7);
    EXPECT_EQ(Str(BaseDataPageTable(E).PrintTitle), "Base Data");
    EXPECT_EQ(TableauPageTable(E).Rows, 40);
    EXPECT_EQ(TableauPageTable(E).Cols, 53);
    EXPECT_EQ(Str(TableauPageTable(E).PrintTitle), "Coefficient Matrix");
    EXPECT_EQ(ResultsPageTable(E).Cols, 1);
    Solve("A");
    Solve("B");
    EXPECT_EQ(ResultsPageTable(E).Rows, 53);
    EXPECT_EQ(ResultsPageTable(E).Cols, 3);
    EXPECT_EQ(Str(ResultsPageTable(E).PrintTitle), "Simulation Results");
    EXPECT_EQ(Str(UpdatedDataPageTable(E).PrintTitle), "Updated Data");
}

TEST_F(PageTables, SavedDataPageHoldsTheBaseDatabase) {
    const auto rows = Saved(BaseDataPageTable(E));
    ASSERT_EQ(rows.size(), 12u);
    for (const QStringList& row : rows) {
        EXPECT_EQ(row.size(), 7);
    }
    EXPECT_EQ(rows[0].join(QLatin1Char('|')),
              QStringLiteral(" |Ind. 1|Ind. 2|Households|Exports|(Duty)|Row totals"));
    EXPECT_EQ(rows[7].join(QLatin1Char('|')),
              QStringLiteral("Totals|61.00|44.00|62.00|20.00|-6.00|181.00"));
    EXPECT_EQ(rows[10].join(QLatin1Char('|')), QStringLiteral("Export|0.00| |Export|2.00| | "));
}

TEST_F(PageTables, SavedTableauPageHas40LinesOf53Fields) {
    const auto rows = Saved(TableauPageTable(E));
    ASSERT_EQ(rows.size(), 40u);
    for (const QStringList& row : rows) {
        EXPECT_EQ(row.size(), 53);
    }
    EXPECT_EQ(Str(rows[0][43]), "t2");
    EXPECT_EQ(Str(rows[1][6]), "0.330");
}

TEST_F(PageTables, SavedResultsPageWithThreeSolutions) {
    E.ShockVec(FindVariable("t2")) = -10;
    Solve("A");
    Solve("B");
    Solve("C");
    const auto rows = Saved(ResultsPageTable(E));
    ASSERT_EQ(rows.size(), 53u);
    EXPECT_EQ(rows[0].join(QLatin1Char('|')), QStringLiteral("Variable |A|B|C"));
    int marked = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 4);
        marked += rows[r][1].startsWith(QLatin1Char('#')) ? 1 : 0;
    }
    EXPECT_EQ(marked, NumExo);
    // Labels hold commas and are quoted whole.
    EXPECT_EQ(Str(rows[1][0]), "x(11)3  H'hold demand, dom. good 1");
    EXPECT_EQ(Str(rows[43][1]), "#-10.000");
}

TEST_F(PageTables, SavedUpdatedDataUsesTheSemicolonUnderACommaLocale) {
    ScopedLocale german{QLocale(QLocale::German)};
    ScopedForceDecimalPoint force{false};
    E.ShockVec(FindVariable("t2")) = -10;
    Solve("A");
    const auto rows = Saved(UpdatedDataPageTable(E));
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_NE(rows[1][1], QStringLiteral("10.00")) << "the updated database, not the base one";
    EXPECT_TRUE(rows[1][1].contains(QLatin1Char('.'))) << "numbers keep the point";
}

TEST_F(PageTables, CopiedDataPageIs12LinesOf7Cells) {
    TSimTab T;
    QString S, msg;
    ASSERT_TRUE(MakePageSimTab(T, BaseDataPageTable(E), msg));
    ASSERT_TRUE(CopySimTabToString(T, S, msg));
    ASSERT_TRUE(S.endsWith(QChar(0)));
    S.chop(1);
    QStringList lines = S.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.last().isEmpty());
    lines.removeLast();
    ASSERT_EQ(lines.size(), 12);
    for (const QString& line : lines) {
        EXPECT_EQ(line.count(QChar(9)), 6);
    }
}

TEST_F(PageTables, NarrowTableauPrintoutRepeatsLabelsInEveryGroup) {
    TSimTab T;
    QString msg;
    ASSERT_TRUE(MakePageSimTab(T, TableauPageTable(E), msg));
    TStringTextOutput out;
    ASSERT_TRUE(WriteSimTabAsText(T, out, 60, 80, QStringLiteral("H"), QStringLiteral("T"), msg))
        << Str(msg);
    const QStringList lines = out.Text().split(QStringLiteral("\r\n"));
    // The 39 equations fit one band, so every column group is one block, and
    // equation 39 closes each of them.
    int blocks = 0;
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QStringLiteral("39 "))) {
            ++blocks;
        }
    }
    EXPECT_GT(blocks, 1) << "53 columns cannot fit 80 characters";
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 80) << Str(line);
    }
}

TEST(PrintoutHeader, ShortDateAndLongTimeLeavingOutMidnight) {
    const QLocale c = QLocale::c();
    const QDate day(2024, 3, 9);
    EXPECT_EQ(PrintoutHeader(QDateTime(day, QTime(14, 5, 7)), c),
              QStringLiteral("WinVELMAR Printout: ") + c.toString(day, QLocale::ShortFormat) +
                  QStringLiteral(" 14:05:07"));
    // The long time format, without the time zone that Qt's long format adds.
    EXPECT_EQ(PrintoutHeader(QDateTime(day, QTime(14, 5, 7)), QLocale(QStringLiteral("en_US"))),
              QStringLiteral("WinVELMAR Printout: 3/9/24 2:05:07 PM"));
    EXPECT_EQ(PrintoutHeader(QDateTime(day, QTime(14, 5, 7)), QLocale(QStringLiteral("de_DE"))),
              QStringLiteral("WinVELMAR Printout: 09.03.24 14:05:07"));
    EXPECT_EQ(PrintoutHeader(QDateTime(day, QTime(0, 0)), c),
              QStringLiteral("WinVELMAR Printout: ") + c.toString(day, QLocale::ShortFormat));
    EXPECT_NE(PrintoutHeader(QDateTime(day, QTime(0, 0, 0, 1)), c),
              PrintoutHeader(QDateTime(day, QTime(0, 0)), c));
}

} // namespace
