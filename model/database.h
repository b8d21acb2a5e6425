// The KV input-output database: 11 rows by 6 columns of money flows and
// parameters, its labels, and the masks of entered and shown cells.
#pragma once

#include "vec1.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace kv {

inline constexpr int DataRows = 11;
inline constexpr int DataCols = 6;

// D(r,c), r = 1..11, c = 1..6, stored row by row.
struct Data_Real {
    std::array<double, DataRows * DataCols> Cells{};

    double& operator()(int r, int c) {
        assert(r >= 1 && r <= DataRows && c >= 1 && c <= DataCols);
        return Cells[static_cast<std::size_t>((r - 1) * DataCols + (c - 1))];
    }
    double operator()(int r, int c) const {
        assert(r >= 1 && r <= DataRows && c >= 1 && c <= DataCols);
        return Cells[static_cast<std::size_t>((r - 1) * DataCols + (c - 1))];
    }
    bool operator==(const Data_Real&) const = default;
};

// Indexed like the data grid: rows 0..11, columns 0..6; row 0 and column 0 are
// the headings and always false.
struct Data_Bool {
    std::array<std::array<bool, DataCols + 1>, DataRows + 1> Cells{};

    bool& operator()(int r, int c) {
        assert(r >= 0 && r <= DataRows && c >= 0 && c <= DataCols);
        return Cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }
    bool operator()(int r, int c) const {
        assert(r >= 0 && r <= DataRows && c >= 0 && c <= DataCols);
        return Cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    }
};

extern Data_Bool EditMask; // entered cells (editable on the Data page)
extern Data_Bool ShowMask; // cells shown with their value

extern const Vec1<std::string, DataRows> RowLabel;
extern const Vec1<std::string, DataCols> ColLabel;

// Clears D, stores the default flows, computes EditMask and ShowMask from them
// and derives the rest.
void DefaultData(Data_Real& D);

// Recomputes every derived cell of D in place; true when a tested flow
// (columns 1 to 4, rows 1 to 9) is negative. A derived cell whose magnitude is
// at most 1e-12 times the largest flow or total of rows 1 to 9 is rounding
// noise and is stored as exactly 0.
bool DeriveData(Data_Real& D);
// Whether a tested flow of D is negative.
bool HasNegativeFlow(const Data_Real& D);
// The tested flows of D that are negative, as (row, column), column by column.
std::vector<std::pair<int, int>> NegativeFlowCells(const Data_Real& D);

// The magnitude up to which a sum of D's flows is rounding noise: 1e-12 times
// the largest absolute flow or total of rows 1 to 9.
double RoundingNoiseLimit(const Data_Real& D);

} // namespace kv
