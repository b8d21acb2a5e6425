#include "divisors.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Rows 1 to 9 in words (the grid splits "Domestic goods 2" and the make matrix
// over two label cells).
const char* const RowNames[] = {
    "Domestic 1", "Domestic 2", "Imported 1",         "Imported 2",        "Labour",
    "Capital",    "Totals",     "Make matrix good 1", "Make matrix good 2"};

struct Divisor {
    double value;
    std::vector<std::pair<int, int>> cells;
    std::string subject;
    std::string reason;
};

std::string Predicate(const Data_Real& D, const std::vector<std::pair<int, int>>& cells) {
    if (cells.size() == 1) {
        return "would be 0";
    }
    const bool allZero = std::all_of(cells.begin(), cells.end(), [&D](const auto& cell) {
        return D(cell.first, cell.second) == 0.0;
    });
    if (!allZero) {
        return "would add up to 0";
    }
    return cells.size() == 2 ? "would both be 0" : "would all be 0";
}

// The input shares of good g (1 or 2) in industry j: domestic over domestic
// plus imported, as the tableau forms them.
Divisor InputShares(const Data_Real& D, int g, int j) {
    const int dom = g;
    const int imp = g + 2;
    const std::string ind = std::to_string(j);
    const std::string good = std::to_string(g);
    return {D(imp, j) + D(dom, j),
            {{dom, j}, {imp, j}},
            std::string(RowNames[dom - 1]) + " and " + RowNames[imp - 1] + " of " + ColLabel(j),
            "Industry " + ind + " would use no good " + good +
                " at all: its input shares are undefined"};
}

} // namespace

std::string TUndefinedCoefficient::Message() const {
    return CellText + ". " + Reason + ".";
}

std::string DataCellName(int r, int c) {
    if (r == 10 || r == 11) {
        const std::string good = std::to_string(r - 9);
        if (c == 1) {
            return "Export subsidy of good " + good;
        }
        if (c == 4) {
            return "Export elasticity of good " + good;
        }
        return "Export block of good " + good + ", " + ColLabel(c);
    }
    return std::string(RowNames[r - 1]) + ", " + ColLabel(c);
}

std::vector<TUndefinedCoefficient> UndefinedCoefficients(const Data_Real& D) {
    const double u1 = D(3, 6) - D(3, 5);
    const double u2 = D(4, 6) - D(4, 5);
    const double E1 = D(1, 4) + D(10, 1);
    const double E2 = D(2, 4) + D(11, 1);
    // A sum of derived cells can cancel to rounding noise, a divisor as
    // meaningless as 0. The database update divides by the purchases of each
    // imported good as well, summed from the cells rather than from the row
    // total.
    const double limit = RoundingNoiseLimit(D);
    const bool noImports1 = std::fabs(u1) <= limit || D(10, 3) == 0.0;
    const bool noImports2 = std::fabs(u2) <= limit || D(11, 3) == 0.0;

    const Divisor divisors[] = {
        InputShares(D, 1, 1),
        InputShares(D, 2, 1),
        InputShares(D, 1, 2),
        InputShares(D, 2, 2),
        {D(7, 1),
         {{7, 1}},
         "Totals of Ind. 1",
         "Industry 1 would have no costs at all: its cost shares are undefined"},
        {D(7, 2),
         {{7, 2}},
         "Totals of Ind. 2",
         "Industry 2 would have no costs at all: its cost shares are undefined"},
        {D(1, 6),
         {{1, 6}},
         "Row totals of Domestic 1",
         "Domestic good 1 would have no sales at all: its sales shares are undefined"},
        {D(2, 6),
         {{2, 6}},
         "Row totals of Domestic 2",
         "Domestic good 2 would have no sales at all: its sales shares are undefined"},
        {D(3, 6) + D(4, 6),
         {{3, 6}, {4, 6}},
         "Row totals of Imported 1 and Imported 2",
         "There would be no imports at all: the import shares are undefined"},
        {noImports1 ? 0.0 : 1.0,
         {{3, 1}, {3, 2}, {3, 3}},
         "Imported 1 of Ind. 1, Ind. 2 and Households",
         "Nobody would buy imported good 1: its purchase shares are undefined"},
        {noImports2 ? 0.0 : 1.0,
         {{4, 1}, {4, 2}, {4, 3}},
         "Imported 2 of Ind. 1, Ind. 2 and Households",
         "Nobody would buy imported good 2: its purchase shares are undefined"},
        {E1 + E2,
         {{1, 4}, {10, 1}, {2, 4}, {11, 1}},
         "Exports of Domestic 1 and Domestic 2 with their export subsidies",
         "There would be no exports at all: the export shares are undefined"},
    };

    std::vector<TUndefinedCoefficient> problems;
    for (const Divisor& d : divisors) {
        if (std::fabs(d.value) <= limit) {
            problems.push_back({d.cells, d.subject + " " + Predicate(D, d.cells), d.reason});
        }
    }
    return problems;
}

std::vector<TUndefinedCoefficient> UndefinedCoefficientsAfterEdit(const Data_Real& D, int r, int c,
                                                                  double value) {
    Data_Real edited = D;
    edited(r, c) = value;
    DeriveData(edited);
    return UndefinedCoefficients(edited);
}

std::string UndefinedCoefficientsText(const std::vector<TUndefinedCoefficient>& problems,
                                      const std::string& lineBreak) {
    std::string text;
    for (const TUndefinedCoefficient& p : problems) {
        if (!text.empty()) {
            text += lineBreak;
        }
        text += p.Message();
    }
    return text;
}

} // namespace kv
