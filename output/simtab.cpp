#include "simtab.h"

#include "decimalsep.h"
#include "errors.h"
#include "txtfile.h"

#include <algorithm>
#include <limits>
#include <new>

namespace kv {

namespace {

// Tables are small (the largest page has 40 x 53 cells); a request beyond the
// address space the program was designed for is treated as exhausted memory
// before the system is asked for it.
constexpr std::int64_t MaxSimTabBytes = std::int64_t{1} << 31;

QString Num(std::int64_t n) {
    return QString::number(n);
}

std::int32_t ClampLength(qsizetype n) {
    return static_cast<std::int32_t>(
        std::min<qsizetype>(n, std::numeric_limits<std::int32_t>::max()));
}

// Whether the size fields agree with the storage, so that no writer can index
// past it. The empty table reports its own message.
bool CheckShape(const TSimTab& T, QString& Msg) {
    if (T.Contents.empty()) {
        Msg = QStringLiteral("SimTab is empty");
        return false;
    }
    bool ok = T.NRow >= 0 && T.Ncol >= 0 &&
              T.Contents.size() == static_cast<std::size_t>(T.NRow) + 1 &&
              T.ColWidth.size() == static_cast<std::size_t>(T.Ncol) + 1;
    for (std::size_t r = 0; ok && r < T.Contents.size(); ++r) {
        ok = T.Contents[r].size() == static_cast<std::size_t>(T.Ncol) + 1;
    }
    if (!ok) {
        Msg = QStringLiteral("SimTab contents do not match NRow ") + Num(T.NRow) +
              QStringLiteral(" and Ncol ") + Num(T.Ncol);
    }
    return ok;
}

void AppendPadded(QString& line, const QString& cell, std::int32_t field, bool leftJust) {
    const qsizetype pad = std::max<qsizetype>(0, field - cell.size());
    if (leftJust) {
        line.append(cell);
        line.append(QString(pad, QLatin1Char(' ')));
    } else {
        line.append(QString(pad, QLatin1Char(' ')));
        line.append(cell);
    }
}

struct TColGroup {
    std::int32_t First;
    std::int32_t Last; // below First for the label column alone
};

} // namespace

bool FreeSimTab(TSimTab& T, QString& Msg) {
    Msg.clear();
    T = TSimTab{};
    return true;
}

bool InitSimTab(TSimTab& T, std::int32_t NRow, std::int32_t Ncol, std::int32_t FixRow,
                std::int32_t FixCol, QString& Msg) {
    FreeSimTab(T, Msg);
    const auto fail = [&](const QString& reason) {
        T = TSimTab{};
        Msg = reason + QStringLiteral("[InitSimTab]");
        return false;
    };
    if (NRow < 0) {
        return fail(QStringLiteral("nrow<0"));
    }
    if (Ncol < 0) {
        return fail(QStringLiteral("ncol<0"));
    }
    const std::int64_t nElm = std::int64_t{Ncol} + 1;
    if (nElm > MaxLongInt) {
        return fail(QStringLiteral("NElm(") + Num(nElm) + QStringLiteral(")>MaxLongInt(") +
                    Num(MaxLongInt) + QStringLiteral(")"));
    }
    if (NRow > MaxPtr) {
        return fail(QStringLiteral("NElm(") + Num(NRow) + QStringLiteral(")>MaxPtr(") +
                    Num(MaxPtr) + QStringLiteral(")"));
    }
    const std::int64_t rows = std::int64_t{NRow} + 1;
    const std::int64_t bytes = rows * (nElm * static_cast<std::int64_t>(sizeof(QString)) +
                                       static_cast<std::int64_t>(sizeof(TPStrVec))) +
                               nElm * static_cast<std::int64_t>(sizeof(std::int32_t));
    if (bytes > MaxSimTabBytes) {
        throw EOutOfMemory();
    }
    try {
        T.NRow = NRow;
        T.Ncol = Ncol;
        T.FixRow = FixRow;
        T.FixCol = FixCol;
        T.LeftJust = false;
        T.ColWidth.assign(static_cast<std::size_t>(nElm), 0);
        T.Contents.assign(static_cast<std::size_t>(rows), TPStrVec(static_cast<std::size_t>(nElm)));
    } catch (const std::bad_alloc&) {
        T = TSimTab{};
        throw EOutOfMemory();
    }
    return true;
}

bool SetSimTabString(TSimTab& T, std::int32_t Row, std::int32_t Col, const QString& S,
                     QString& Msg) {
    if (T.NRow < Row) {
        Msg = QStringLiteral("SimTab row>nrow ") + Num(Row) + QStringLiteral(">") + Num(T.NRow);
    } else if (T.Ncol < Col) {
        Msg = QStringLiteral("SimTab col>ncol ") + Num(Col) + QStringLiteral(">") + Num(T.Ncol);
    } else if (Row < 0 || Col < 0) {
        Msg = QStringLiteral("SimTab cell ") + Num(Row) + QStringLiteral(",") + Num(Col) +
              QStringLiteral(" below 0");
    } else if (static_cast<std::size_t>(Row) >= T.Contents.size() ||
               static_cast<std::size_t>(Col) >= T.Contents[static_cast<std::size_t>(Row)].size()) {
        Msg = QStringLiteral("SimTab is empty");
    } else {
        T.Contents[static_cast<std::size_t>(Row)][static_cast<std::size_t>(Col)] = S;
        return true;
    }
    Msg += QStringLiteral("[SetSimTabString]");
    return false;
}

bool SetUpSimTab(TSimTab& T, QString& Msg) {
    Q_UNUSED(Msg);
    if (T.Contents.empty() || T.Ncol < 0) {
        return true;
    }
    const auto nCols = static_cast<std::size_t>(T.Ncol) + 1;
    T.ColWidth.assign(nCols, 0);
    for (std::size_t k = 0; k < nCols; ++k) {
        std::int32_t widest = 0;
        for (const TPStrVec& row : T.Contents) {
            if (k < row.size()) {
                widest = std::max(widest, ClampLength(row[k].size()));
            }
        }
        T.ColWidth[k] = widest;
    }
    return true;
}

bool SimTabLength(const TSimTab& T, std::int64_t& Len, QString& Msg) {
    Q_UNUSED(Msg);
    Len = 0;
    for (const TPStrVec& row : T.Contents) {
        for (const QString& cell : row) {
            Len += cell.size();
        }
    }
    return true;
}

bool NeedsCsvQuotes(const QString& s, QChar sep) {
    for (const QChar c : s) {
        if (c == sep || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return true;
        }
    }
    return false;
}

bool WriteSimTabAsCSV(const TSimTab& T, TTextOutput& F, QString& Msg) {
    if (!CheckShape(T, Msg)) {
        Msg += QStringLiteral("[WriteSimTabAsCSV]");
        return false;
    }
    const QChar sep = CsvSeparator();
    for (const TPStrVec& row : T.Contents) {
        for (const QString& s : row) {
            if (s.isEmpty()) {
                F.WriteChar(sep);
            } else if (NeedsCsvQuotes(s, sep)) {
                // Inside the quotes a quote is doubled, so that every cell
                // reads back as it was (RFC 4180).
                QString quoted = s;
                quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
                F.WriteChar(QLatin1Char('"'));
                F.Write(quoted);
                F.WriteChar(QLatin1Char('"'));
                F.WriteChar(sep);
            } else {
                F.Write(s);
                F.WriteChar(sep);
            }
        }
        F.WriteLn();
    }
    return true;
}

bool SaveSimTabAsCSV(const TSimTab& T, const QString& FileName, QString& Msg) {
    TTxtFile F;
    if (TxtCreate(F, FileName, Msg) && WriteSimTabAsCSV(T, F, Msg) && TxtClose(F, Msg)) {
        return true;
    }
    // The close on the failure path keeps the message of the step that failed.
    QString closeMsg;
    TxtClose(F, closeMsg);
    Msg += QStringLiteral("[SaveSimTabAsCSV]");
    return false;
}

bool CopySimTabToString(const TSimTab& T, QString& S, QString& Msg) {
    S.clear();
    const auto fail = [&] {
        S.clear();
        Msg += QStringLiteral("[CopySimTabToString]");
        return false;
    };
    if (T.Contents.empty()) {
        Msg = QStringLiteral("nothing to copy");
        return fail();
    }
    if (!CheckShape(T, Msg)) {
        return fail();
    }
    std::int64_t len = 0;
    SimTabLength(T, len, Msg);
    const std::int64_t nR = std::int64_t{T.NRow} + 1;
    const std::int64_t nT = T.Ncol;
    const std::int64_t total = nR * nT + len + 2 * nR + 1;
    S.reserve(static_cast<qsizetype>(total));
    for (const TPStrVec& row : T.Contents) {
        for (std::size_t j = 0; j < row.size(); ++j) {
            if (j > 0) {
                S.append(QChar(9));
            }
            S.append(row[j]);
        }
        S.append(QChar(13));
        S.append(QChar(10));
    }
    S.append(QChar(0));
    if (S.size() != total) {
        Msg = QStringLiteral("Program Mis-count Error in Copy Operation ") + Num(S.size()) +
              QStringLiteral("<>") + Num(total);
        return fail();
    }
    return true;
}

bool WriteSimTabAsText(const TSimTab& T, TTextOutput& F, int PageLen, int PageWidth,
                       const QString& Header, const QString& Title, QString& Msg) {
    const auto fail = [&](const QString& reason) {
        Msg = reason + QStringLiteral("[WriteSimTabAsText]");
        return false;
    };
    if (!CheckShape(T, Msg)) {
        return fail(Msg);
    }
    if (PageLen < MinPageLen) {
        return fail(QStringLiteral("Page length ") + Num(PageLen) +
                    QStringLiteral(" too small: at least ") + Num(MinPageLen) +
                    QStringLiteral(" lines are needed"));
    }
    const auto width = [&](std::int32_t k) {
        return std::int64_t{T.ColWidth[static_cast<std::size_t>(k)]};
    };

    // 1. Column groups, all decided before anything is written. Column 0 is
    // part of every group.
    std::vector<TColGroup> groups;
    if (T.Ncol == 0) {
        groups.push_back({1, 0});
    } else {
        std::int32_t colStart = 1;
        std::int32_t k = 0;
        do {
            std::int64_t lineWidth = width(0) + 4 + 1;
            k = colStart;
            while (k <= T.Ncol) {
                lineWidth += width(k) + 1;
                if (lineWidth > PageWidth) {
                    break;
                }
                ++k;
            }
            if (k > colStart) {
                --k; // a column wider than the page still forms a group of its own
            }
            if (static_cast<int>(groups.size()) + 1 > MaxHPage) {
                return fail(QStringLiteral("MaxHPage parameter too small"));
            }
            groups.push_back({colStart, k});
            colStart = k + 1;
        } while (k != T.Ncol);
    }

    const int bodyLen = PageLen - 4;
    const auto writeRow = [&](std::int32_t r, const TColGroup& g) {
        const TPStrVec& row = T.Contents[static_cast<std::size_t>(r)];
        QString line(4, QLatin1Char(' '));
        AppendPadded(line, row[0], T.ColWidth[0] + 1, T.LeftJust);
        for (std::int32_t k = g.First; k <= g.Last; ++k) {
            AppendPadded(line, row[static_cast<std::size_t>(k)],
                         T.ColWidth[static_cast<std::size_t>(k)] + 1, T.LeftJust);
        }
        F.Write(line);
        F.WriteLn();
    };

    // 2.-5. Row bands of bodyLen rows; per band one block per column group;
    // a block starts a new page unless it fits below the previous one.
    std::int64_t linesUsed = 10000;
    int pageNo = 0;
    std::int32_t rowStart = 1;
    for (;;) {
        const std::int32_t rowLast = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{rowStart} + bodyLen - 1, T.NRow));
        for (const TColGroup& g : groups) {
            const std::int64_t need = std::int64_t{rowLast} - rowStart + 1 + 2;
            if (need > bodyLen - linesUsed) {
                ++pageNo;
                if (pageNo > 1) {
                    F.WriteChar(QChar(12));
                }
                F.WriteLn();
                F.Write(QStringLiteral("    Page ") + Num(pageNo) + QStringLiteral(" of ") +
                        Header);
                F.WriteLn();
                F.Write(QStringLiteral("    ") + Title);
                F.WriteLn();
                F.WriteLn();
                F.WriteLn();
                linesUsed = 5;
            } else {
                F.WriteLn();
                ++linesUsed;
            }
            writeRow(0, g);
            ++linesUsed;
            for (std::int32_t r = rowStart; r <= rowLast; ++r) {
                writeRow(r, g);
                ++linesUsed;
            }
        }
        if (rowLast >= T.NRow) {
            break;
        }
        rowStart = rowLast + 1;
    }
    return true;
}

bool MakeSimTabFromRule(TSimTab& T, int rows, int cols, const TCellRule& cellRule, QString& Msg) {
    if (!InitSimTab(T, rows - 1, cols - 1, 1, 1, Msg)) {
        return false;
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (!SetSimTabString(T, r, c, cellRule(r, c), Msg)) {
                return false;
            }
        }
    }
    return SetUpSimTab(T, Msg);
}

} // namespace kv
