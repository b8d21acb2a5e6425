// The text table: a rectangular grid of strings in which every cell already
// holds its final text, with column widths and a data block, and the writers
// that turn it into paginated fixed-width text, separated text in a file or
// tab-separated text for the clipboard.
//
// Every operation returns true on success. On failure it returns false and
// leaves the reason in Msg, ending with its own name in square brackets; when
// an inner operation failed, its text comes first and each outer operation
// appends its tag ("Cannot create file x[TxtCreate][SaveSimTabAsCSV]").
// Exhausted memory raises kv::EOutOfMemory; a failing write on the text output
// raises kv::EInOutError.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

class TTextOutput;

using TLongIntVec0Based = std::vector<std::int32_t>; // indexed from 0
using TLongIntVec = std::vector<std::int32_t>;       // indexed from 1 (entry 0 unused)
using TPStrVec = std::vector<QString>;               // the cells of one row, from 0
using TPStrArr = std::vector<TPStrVec>;              // the rows, from 0
using TLongIntArr = std::vector<TLongIntVec>;        // indexed from 1 (entry 0 unused)

// The largest index a table vector admits.
inline constexpr std::int32_t MaxLongInt = 268435454;
inline constexpr std::int32_t MaxPtr = 268435454;
// The most column groups a printout may need.
inline constexpr int MaxHPage = 30;
// The shortest page WriteSimTabAsText can fill: the page header and at least
// one data row.
inline constexpr int MinPageLen = 5;

// A table whose fields are all zero or empty is the empty table; a
// value-initialised TSimTab is one. The record owns its storage; a copy is a
// deep copy.
struct TSimTab {
    std::int32_t NRow = 0;         // index of the last row
    std::int32_t Ncol = 0;         // index of the last column
    std::int32_t FixRow = 0;       // heading rows at the top
    std::int32_t FixCol = 0;       // label columns at the left
    TLongIntVec0Based ColWidth;    // longest cell of each column, in characters
    TLongIntVec0Based AdjColWidth; // widest cell of each column, in weighted units
    TPStrArr Contents;             // Contents[row][col]; empty for the empty table
    std::int32_t BareRowFst = 0;   // the data block without headings
    std::int32_t BareRowLst = 0;
    std::int32_t BareColFst = 0;
    std::int32_t BareColLst = 0;
    TLongIntArr AttrFlag;  // per-cell flags, rows and columns from 1; unused here
    bool LeftJust = false; // WriteSimTabAsText: false = right-justified cells
};

struct TSimTabOpts {
    bool FromFirst = true; // start at row 0 and column 0, else at the bare block
    bool ToLast = true;    // end at NRow and Ncol, else at the bare block
    bool Transpose = false;
};

// The options of Save and Copy: the whole table, untransposed.
inline constexpr TSimTabOpts WholeTable{true, true, false};

struct TSimTabRange {
    std::int32_t RowFst = 0;
    std::int32_t RowLst = -1;
    std::int32_t ColFst = 0;
    std::int32_t ColLst = -1;
};

bool InitSimTab(TSimTab& T, std::int32_t NRow, std::int32_t Ncol, std::int32_t FixRow,
                std::int32_t FixCol, QString& Msg);
// Releases everything; T becomes the empty table. Always succeeds, Msg empty.
bool FreeSimTab(TSimTab& T, QString& Msg);
bool SetSimTabString(TSimTab& T, std::int32_t Row, std::int32_t Col, const QString& S,
                     QString& Msg);
// Computes ColWidth and AdjColWidth. Always succeeds.
bool SetUpSimTab(TSimTab& T, QString& Msg);
bool MakeTransposedSimTab(const TSimTab& OldT, TSimTab& NewT, QString& Msg);
// The rows and columns the options select, kept inside the table; a range
// whose last index is below its first is empty.
TSimTabRange GetSimTabRange(const TSimTab& T, TSimTabOpts Opts);
// Total number of characters (UTF-16 code units) in the cells of the range.
bool SimTabLength(const TSimTab& T, TSimTabOpts Opts, std::int64_t& Len, QString& Msg);
// Whether a field of separated text must be quoted: it holds the separator, a
// double quote or a line break.
bool NeedsCsvQuotes(const QString& s, QChar sep);
// Writes the range as separated text: every field followed by CsvSeparator(),
// a field that NeedsCsvQuotes wrapped in double quotes with each quote inside
// doubled, CR LF after each row.
bool WriteSimTabAsCSV(const TSimTab& T, TSimTabOpts Opts, TTextOutput& F, QString& Msg);
bool SaveSimTabAsCSV(const TSimTab& T, TSimTabOpts Opts, const QString& FileName, QString& Msg);
// The range as tab-separated rows, each ending in CR LF, then one NUL.
bool CopySimTabToString(const TSimTab& T, TSimTabOpts Opts, QString& S, QString& Msg);
// Paginated fixed-width text: column groups that fit PageWidth (each repeating
// column 0), row bands of PageLen - 4 rows (each repeating row 0), a page
// header of "Page n of " + Header and Title. PageLen must be at least
// MinPageLen. A table with no column besides the label column prints that
// column alone.
bool WriteSimTabAsText(const TSimTab& T, TTextOutput& F, int PageLen, int PageWidth,
                       const QString& Header, const QString& Title, QString& Msg);

// The text of cell (row, column) of a page's grid.
using TCellRule = std::function<QString(int row, int col)>;

// Builds T as the output commands do: rows x cols cells (one heading row, one
// label column), each holding the rule's text, measured by SetUpSimTab. T is
// emptied first. Errors raised by the rule pass through.
bool MakeSimTabFromRule(TSimTab& T, int rows, int cols, const TCellRule& cellRule, QString& Msg);

} // namespace kv
