#include "database.h"

#include <algorithm>
#include <cmath>

namespace kv {

const Vec1<std::string, DataRows> RowLabel{{"Domestic 1", "goods 2", "Imported 1", "goods 2",
                                            "Labour", "Capital", "Totals", "Make", "matrix",
                                            "Export", "subsidies"}};
const Vec1<std::string, DataCols> ColLabel{
    {"Ind. 1", "Ind. 2", "Households", "Exports", "(Duty)", "Row totals"}};

namespace {

// The default flows, before anything is derived.
void DefaultFlows(Data_Real& D) {
    D = Data_Real{};
    D(1, 1) = 10;
    D(1, 2) = 8;
    D(1, 3) = 17;
    D(2, 1) = 15;
    D(2, 2) = 1;
    D(2, 3) = 34;
    D(3, 1) = 1;
    D(3, 2) = 8;
    D(3, 3) = 1;
    D(3, 5) = -1;
    D(4, 1) = 5;
    D(4, 2) = 2;
    D(4, 3) = 10;
    D(4, 5) = -5;
    D(5, 1) = 20;
    D(5, 2) = 20;
    D(8, 1) = 45;
    D(8, 2) = 9;
    D(9, 1) = 16;
    D(9, 2) = 35;
    D(10, 4) = 2;
    D(11, 4) = 20;
}

// The entered cells are those with a default value, plus the two export
// subsidies, which default to 0.
Data_Bool DefaultEditMask() {
    Data_Real D;
    DefaultFlows(D);
    Data_Bool mask{};
    for (int r = 1; r <= DataRows; ++r) {
        for (int c = 1; c <= DataCols; ++c) {
            mask(r, c) = D(r, c) != 0.0;
        }
    }
    mask(10, 1) = true;
    mask(11, 1) = true;
    return mask;
}

Data_Bool DefaultShowMask() {
    Data_Bool mask = DefaultEditMask();
    for (int c = 1; c <= 6; ++c) {
        mask(7, c) = true;
    }
    for (int r = 1; r <= 9; ++r) {
        mask(r, 6) = true;
    }
    mask(1, 4) = true;
    mask(2, 4) = true;
    mask(6, 1) = true;
    mask(6, 2) = true;
    return mask;
}

} // namespace

// Set from the start, so that they hold before any database is made.
Data_Bool EditMask = DefaultEditMask();
Data_Bool ShowMask = DefaultShowMask();

void DefaultData(Data_Real& D) {
    DefaultFlows(D);
    EditMask = DefaultEditMask();
    ShowMask = DefaultShowMask();
    DeriveData(D);
}

namespace {

// A sum this small against the largest flow or total is rounding noise.
constexpr double NoiseFraction = 1e-12;

// Stores derived cells that are rounding noise as exactly 0 (never -0), so
// that a flow that sits on zero is neither negative nor a tiny divisor. Every
// other cell keeps its value bit for bit.
void ZeroRoundingNoise(Data_Real& D) {
    const double limit = RoundingNoiseLimit(D);
    auto clean = [&D, limit](int r, int c) {
        if (std::fabs(D(r, c)) <= limit) {
            D(r, c) = 0.0;
        }
    };
    clean(6, 1);
    clean(6, 2);
    clean(1, 4);
    clean(2, 4);
    for (int c = 1; c <= 5; ++c) {
        clean(7, c);
    }
    for (int r = 1; r <= 9; ++r) {
        clean(r, 6);
    }
    clean(10, 2);
    clean(11, 2);
    clean(10, 3);
    clean(11, 3);
}

} // namespace

double RoundingNoiseLimit(const Data_Real& D) {
    double scale = 0;
    for (int r = 1; r <= 9; ++r) {
        for (int c = 1; c <= DataCols; ++c) {
            scale = std::max(scale, std::fabs(D(r, c)));
        }
    }
    return NoiseFraction * scale;
}

bool DeriveData(Data_Real& D) {
    // Capital is the residual that makes each industry's costs equal its output.
    D(6, 1) = D(8, 1) + D(9, 1) - D(1, 1) - D(2, 1) - D(3, 1) - D(4, 1) - D(5, 1);
    D(6, 2) = D(8, 2) + D(9, 2) - D(1, 2) - D(2, 2) - D(3, 2) - D(4, 2) - D(5, 2);
    // Exports are the residual that makes each good's sales equal its output.
    D(1, 4) = D(8, 1) + D(8, 2) - D(1, 1) - D(1, 2) - D(1, 3);
    D(2, 4) = D(9, 1) + D(9, 2) - D(2, 1) - D(2, 2) - D(2, 3);
    for (int c = 1; c <= 5; ++c) {
        double sum = D(1, c);
        for (int r = 2; r <= 6; ++r) {
            sum += D(r, c);
        }
        D(7, c) = sum;
    }
    for (int r = 1; r <= 9; ++r) {
        double sum = D(r, 1);
        for (int c = 2; c <= 5; ++c) {
            sum += D(r, c);
        }
        D(r, 6) = sum;
    }
    D(10, 2) = D(1, 4) - D(10, 1);
    D(11, 2) = D(2, 4) - D(11, 1);
    D(10, 3) = D(3, 1) + D(3, 2) + D(3, 3);
    D(11, 3) = D(4, 1) + D(4, 2) + D(4, 3);
    ZeroRoundingNoise(D);
    return HasNegativeFlow(D);
}

bool HasNegativeFlow(const Data_Real& D) {
    return !NegativeFlowCells(D).empty();
}

std::vector<std::pair<int, int>> NegativeFlowCells(const Data_Real& D) {
    std::vector<std::pair<int, int>> cells;
    for (int c = 1; c <= 4; ++c) {
        for (int r = 1; r <= 9; ++r) {
            if (D(r, c) < 0.0) {
                cells.emplace_back(r, c);
            }
        }
    }
    return cells;
}

} // namespace kv
