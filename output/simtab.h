// The text table: a rectangular grid of strings in which every cell already
// holds its final text, with its column widths, and the writers that turn the
// whole table into paginated fixed-width text, separated text in a file or
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
using TPStrVec = std::vector<QString>;               // the cells of one row, from 0
using TPStrArr = std::vector<TPStrVec>;              // the rows, from 0

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
    std::int32_t NRow = 0;      // index of the last row
    std::int32_t Ncol = 0;      // index of the last column
    std::int32_t FixRow = 0;    // heading rows at the top
    std::int32_t FixCol = 0;    // label columns at the left
    TLongIntVec0Based ColWidth; // longest cell of each column, in characters
    TPStrArr Contents;          // Contents[row][col]; empty for the empty table
    bool LeftJust = false;      // WriteSimTabAsText: false = right-justified cells
};

bool InitSimTab(TSimTab& T, std::int32_t NRow, std::int32_t Ncol, std::int32_t FixRow,
                std::int32_t FixCol, QString& Msg);
// Makes T the empty table, releasing its storage. A table releases its
// storage itself when it goes out of scope; this is for one that stays in
// use. Always succeeds, Msg empty.
bool FreeSimTab(TSimTab& T, QString& Msg);
bool SetSimTabString(TSimTab& T, std::int32_t Row, std::int32_t Col, const QString& S,
                     QString& Msg);
// Computes ColWidth. Always succeeds.
bool SetUpSimTab(TSimTab& T, QString& Msg);
// Total number of characters (UTF-16 code units) in the cells.
bool SimTabLength(const TSimTab& T, std::int64_t& Len, QString& Msg);
// Whether a field of separated text must be quoted: it holds the separator, a
// double quote or a line break.
bool NeedsCsvQuotes(const QString& s, QChar sep);
// Writes the table as separated text: every field followed by CsvSeparator(),
// a field that NeedsCsvQuotes wrapped in double quotes with each quote inside
// doubled, CR LF after each row.
bool WriteSimTabAsCSV(const TSimTab& T, TTextOutput& F, QString& Msg);
bool SaveSimTabAsCSV(const TSimTab& T, const QString& FileName, QString& Msg);
// The table as tab-separated rows, each ending in CR LF, then one NUL.
bool CopySimTabToString(const TSimTab& T, QString& S, QString& Msg);
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
