#include "solve.h"

#include "errors.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace kv {

std::string TemFileName = "TEM";

SolutionMethod MethodRun(SolutionMethod asked) {
    return asked >= 1 && asked <= 5 ? asked : 4;
}

std::string MethodCaption(SolutionMethod method) {
    static const char* const captions[5] = {"Johansen (1-step)", "Euler 4-step", "Euler 16-step",
                                            "Euler 2-4-8 extrapolation",
                                            "Euler 8-16-32 extrapolation"};
    return captions[MethodRun(method) - 1];
}

namespace {

// Variables whose changes the database update reads.
enum : Variable {
    x11_3 = 1,
    x12_3 = 2,
    x21_3 = 3,
    x22_3 = 4,
    p11 = 6,
    p12 = 7,
    p21 = 8,
    p22 = 9,
    x11_4 = 14,
    x21_4 = 15,
    y11_1 = 20,
    y21_1 = 21,
    y11_2 = 22,
    y21_2 = 23,
    x11_1 = 24,
    x12_1 = 25,
    x21_1 = 26,
    x22_1 = 27,
    x31_1 = 28,
    x32_1 = 29,
    x11_2 = 30,
    x12_2 = 31,
    x21_2 = 32,
    x22_2 = 33,
    x31_2 = 34,
    x32_2 = 35,
    p31 = 36,
    p32_1 = 37,
    p32_2 = 38,
    v1 = 40,
    v2 = 41,
    t1 = 42,
    t2 = 43
};

// A flow that is a price times a quantity grows by the sum of the two changes.
void Grow(Data_Real& D, int r, int c, double a, double b) {
    D(r, c) = CheckedResult(0.01 * D(r, c) * (100 + a + b));
}

std::string FormatCheck(const char* label, double remembered, double recomputed) {
    char line[128];
    std::snprintf(line, sizeof line, "%s%12.4f%12.4f\r\n", label, remembered, recomputed);
    return line;
}

// The check file's full name and the system's reason, for the message of a
// failed create or write.
std::string CheckFileFailure(const char* what, int error) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(TemFileName, ec);
    if (ec) {
        path = TemFileName;
    }
    return std::string(what) + " " + path.string() + ": " +
           (error != 0 ? std::strerror(error) : "unknown error");
}

void WriteCheckFile(const std::string& text) {
    errno = 0;
    std::FILE* tem = std::fopen(TemFileName.c_str(), "wb");
    if (tem == nullptr) {
        throw EInOutError(CheckFileFailure("Cannot create file", errno));
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), tem) == text.size();
    int error = errno;
    const bool closed = std::fclose(tem) == 0;
    if (written && !closed) {
        error = errno;
    }
    if (!closed || !written) {
        throw EInOutError(CheckFileFailure("Cannot write file", error));
    }
}

} // namespace

namespace {

// The elimination with the pivot chosen along the row. rowOp(k, i, f) applies
// "row k minus f times row i" to the right-hand sides; pivotRow receives the
// row that pivoted each column. Returns true when a pivot is too small.
template <class RowOp>
bool Eliminate(SquareMatrix& A, Vec1<int, NumEndo>& pivotRow, RowOp&& rowOp) {
    for (int i = 1; i <= NumEndo; ++i) {
        double best = -1;
        int p = 1;
        for (int j = 1; j <= NumEndo; ++j) {
            if (std::fabs(A(i)(j)) > best) {
                best = std::fabs(A(i)(j));
                p = j;
            }
        }
        if (best <= 0.000001) {
            return true;
        }
        pivotRow(p) = i;
        // The row operation changes only the columns where the pivot row is
        // non-zero (elsewhere it subtracts zero), so it visits just those; the
        // pivot rows of the model are sparse.
        Vec1<int, NumEndo> cols;
        int count = 0;
        for (int j = 1; j <= NumEndo; ++j) {
            if (A(i)(j) != 0.0) {
                cols(++count) = j;
            }
        }
        for (int k = 1; k <= NumEndo; ++k) {
            if (k == i || A(k)(p) == 0.0) {
                continue;
            }
            const double f = A(k)(p) / A(i)(p);
            for (int c = 1; c <= count; ++c) {
                const int j = cols(c);
                A(k)(j) = A(k)(j) - f * A(i)(j);
            }
            A(k)(p) = 0; // what the operation means in the pivot column
            rowOp(k, i, f);
        }
    }
    return false;
}

} // namespace

bool GaussJordanSolve(SquareMatrix& A, EndoVector& b, EndoVector& x) {
    Vec1<int, NumEndo> pivotRow;
    if (Eliminate(A, pivotRow, [&b](int k, int i, double f) { b(k) = b(k) - f * b(i); })) {
        return true;
    }
    for (int j = 1; j <= NumEndo; ++j) {
        const int r = pivotRow(j);
        x(j) = CheckedDiv(b(r), A(r)(j));
    }
    return false;
}

bool GaussJordanSolve(SquareMatrix& A, RhsBlock& B, RhsBlock& X) {
    Vec1<int, NumEndo> pivotRow;
    const bool singular = Eliminate(A, pivotRow, [&B](int k, int i, double f) {
        auto& row = B(k);
        const auto& pivot = B(i);
        for (int c = 0; c < StepRhsCount; ++c) {
            row[c] = row[c] - f * pivot[c];
        }
    });
    if (singular) {
        return true;
    }
    for (int j = 1; j <= NumEndo; ++j) {
        const int r = pivotRow(j);
        for (int c = 0; c < StepRhsCount; ++c) {
            X(j)[c] = CheckedDiv(B(r)[c], A(r)(j));
        }
    }
    return false;
}

bool GaussJordanSingular(SquareMatrix& A) {
    Vec1<int, NumEndo> pivotRow;
    return Eliminate(A, pivotRow, [](int, int, double) {});
}

void AssembleEndogenous(const Tableau_Real& M, const TClosure& closure, SquareMatrix& A) {
    for (Variable v = 1; v <= NumVars; ++v) {
        if (closure.Endo(v)) {
            const int col = closure.EndoPos(v);
            for (int r = 1; r <= NumEqs; ++r) {
                A(r)(col) = M(r, v);
            }
        }
    }
}

namespace {

// The step split by shock: the whole step in column 0 of the right-hand
// sides, the part of each exogenous-list item in its own column.
bool SolveSplitStep(const Tableau_Real& M, const TClosure& closure, Variable_Real& S,
                    TStepParts& parts) {
    auto A = std::make_unique<SquareMatrix>();
    AssembleEndogenous(M, closure, *A);
    RhsBlock B{};
    for (Variable v = 1; v <= NumVars; ++v) {
        if (!closure.Endo(v)) {
            for (int r = 1; r <= NumEqs; ++r) {
                B(r)[0] = B(r)[0] - M(r, v) * S(v);
            }
        }
    }
    for (int j = 1; j <= NumExo; ++j) {
        const Variable v = closure.ExoList(j);
        for (int r = 1; r <= NumEqs; ++r) {
            B(r)[static_cast<std::size_t>(j)] = 0 - M(r, v) * S(v);
        }
    }
    RhsBlock X;
    if (GaussJordanSolve(*A, B, X)) {
        return true;
    }
    for (int j = 1; j <= NumExo; ++j) {
        Variable_Real& part = parts(j);
        for (Variable v = 1; v <= NumVars; ++v) {
            part(v) = closure.Endo(v) ? X(closure.EndoPos(v))[static_cast<std::size_t>(j)] : 0.0;
        }
        part(closure.ExoList(j)) = S(closure.ExoList(j));
    }
    for (Variable v = 1; v <= NumVars; ++v) {
        if (closure.Endo(v)) {
            S(v) = X(closure.EndoPos(v))[0];
        }
    }
    return false;
}

} // namespace

bool SolveLinearStep(const Tableau_Real& M, const TClosure& closure, Variable_Real& S,
                     TStepParts* parts) {
    if (parts != nullptr) {
        return SolveSplitStep(M, closure, S, *parts);
    }
    auto A = std::make_unique<SquareMatrix>();
    EndoVector b;
    EndoVector x;
    AssembleEndogenous(M, closure, *A);
    for (Variable v = 1; v <= NumVars; ++v) {
        if (!closure.Endo(v)) {
            for (int r = 1; r <= NumEqs; ++r) {
                b(r) = b(r) - M(r, v) * S(v);
            }
        }
    }
    if (GaussJordanSolve(*A, b, x)) {
        return true;
    }
    for (Variable v = 1; v <= NumVars; ++v) {
        if (closure.Endo(v)) {
            S(v) = x(closure.EndoPos(v));
        }
    }
    return false;
}

bool UpdateData(Data_Real& D, const Variable_Real& S) {
    Grow(D, 1, 1, S(p11), S(x11_1));
    Grow(D, 1, 2, S(p11), S(x11_2));
    Grow(D, 1, 3, S(p11), S(x11_3));
    Grow(D, 1, 4, S(p11), S(x11_4));
    Grow(D, 2, 1, S(p21), S(x21_1));
    Grow(D, 2, 2, S(p21), S(x21_2));
    Grow(D, 2, 3, S(p21), S(x21_3));
    Grow(D, 2, 4, S(p21), S(x21_4));
    Grow(D, 3, 1, S(p12), S(x12_1));
    Grow(D, 3, 2, S(p12), S(x12_2));
    Grow(D, 3, 3, S(p12), S(x12_3));
    Grow(D, 4, 1, S(p22), S(x22_1));
    Grow(D, 4, 2, S(p22), S(x22_2));
    Grow(D, 4, 3, S(p22), S(x22_3));
    Grow(D, 5, 1, S(x31_1), S(p31));
    Grow(D, 5, 2, S(x31_2), S(p31));
    Grow(D, 6, 1, S(x32_1), S(p32_1));
    Grow(D, 6, 2, S(x32_2), S(p32_2));
    Grow(D, 8, 1, S(y11_1), S(p11));
    Grow(D, 8, 2, S(y11_2), S(p11));
    Grow(D, 9, 1, S(y21_1), S(p21));
    Grow(D, 9, 2, S(y21_2), S(p21));
    const double exp1 = D(1, 4);
    const double exp2 = D(2, 4);
    const double cap1 = D(6, 1);
    const double cap2 = D(6, 2);

    // Exports less subsidy, and the subsidies that reconcile them with exports.
    D(10, 2) = CheckedResult(0.01 * D(10, 2) * (100 + S(x11_4) + S(p11) - S(v1)));
    D(11, 2) = CheckedResult(0.01 * D(11, 2) * (100 + S(x21_4) + S(p21) - S(v2)));
    D(10, 1) = D(1, 4) - D(10, 2);
    D(11, 1) = D(2, 4) - D(11, 2);

    // Purchases of imports and their growth.
    const double oldImp1 = D(10, 3);
    const double oldImp2 = D(11, 3);
    D(10, 3) = D(3, 1) + D(3, 2) + D(3, 3);
    D(11, 3) = D(4, 1) + D(4, 2) + D(4, 3);
    const double g1 = CheckedResult((CheckedDiv(D(10, 3), oldImp1) - 1) * 100);
    const double g2 = CheckedResult((CheckedDiv(D(11, 3), oldImp2) - 1) * 100);

    // Imports before duty, and the duty as the difference.
    D(3, 6) = CheckedResult(0.01 * D(3, 6) * (100 + g1 - S(t1)));
    D(4, 6) = CheckedResult(0.01 * D(4, 6) * (100 + g2 - S(t2)));
    D(3, 5) = D(3, 6) - D(10, 3);
    D(4, 5) = D(4, 6) - D(11, 3);

    const bool negativeFlow = DeriveData(D);
    for (double v : D.Cells) {
        CheckedResult(v);
    }

    // The four residuals restate the zero-profit and market-clearing equations
    // in money terms; a difference means the step was not a solution of them.
    struct Check {
        const char* label;
        double remembered;
        double recomputed;
    };
    const Check checks[] = {{"cap1 update error", cap1, D(6, 1)},
                            {"cap2 update error", cap2, D(6, 2)},
                            {"exp1 update error", exp1, D(1, 4)},
                            {"exp2 update error", exp2, D(2, 4)}};
    std::string report;
    for (const Check& ck : checks) {
        if (std::fabs(ck.remembered - ck.recomputed) > 0.000001) {
            report += FormatCheck(ck.label, ck.remembered, ck.recomputed);
        }
    }
    if (!TemFileName.empty()) {
        WriteCheckFile(report);
    }
    return negativeFlow;
}

SolveResult EulerSolve(int n, const Data_Real& base, Data_Real& work, Variable_Real& vec,
                       const TClosure& closure, TDecomposition* decomposition) {
    if (n < 1) {
        throw Exception("Euler solution with " + std::to_string(n) + " steps");
    }
    Variable_Real C;
    C.fill(1.0);
    C(DelB) = 0;

    Variable_Real S;
    for (Variable v = 1; v <= NumVars; ++v) {
        if (closure.Endo(v)) {
            continue;
        }
        if (v == DelB) {
            S(v) = vec(v) / n;
        } else {
            S(v) = CheckedResult(100 * (CheckedExp(CheckedLn(1 + vec(v) / 100) / n) - 1));
        }
    }

    std::unique_ptr<TStepParts> parts;
    std::unique_ptr<TDecomposition> sum;
    if (decomposition != nullptr) {
        parts = std::make_unique<TStepParts>();
        sum = std::make_unique<TDecomposition>();
    }

    work = base;
    SolveResult res;
    auto M = std::make_unique<Tableau_Real>();
    for (int step = 1; step <= n; ++step) {
        BuildTableau(work, *M);
        if (SolveLinearStep(*M, closure, S, parts.get())) {
            res.singular = true;
            break;
        }
        if (UpdateData(work, S)) {
            res.negativeFlow = true;
            break;
        }
        if (sum) {
            // Each part of the step's change, weighted by the index before it.
            for (Variable v = 1; v <= NumVars; ++v) {
                if (!closure.Endo(v)) {
                    continue;
                }
                const double weight = v == DelB ? 1.0 : C(v);
                for (int j = 1; j <= NumExo; ++j) {
                    (*sum)(v, closure.ExoList(j)) += weight * (*parts)(j)(v);
                }
            }
        }
        for (Variable v = 1; v <= NumVars; ++v) {
            if (v == DelB) {
                C(v) = C(v) + S(v);
            } else {
                C(v) = CheckedResult((S(v) / 100 + 1) * C(v));
            }
        }
    }
    res.success = !res.singular && !res.negativeFlow;
    if (res.success) {
        for (Variable v = 1; v <= NumVars; ++v) {
            vec(v) = v == DelB ? C(v) : CheckedResult((C(v) - 1) * 100);
        }
        if (sum) {
            for (Variable v = 1; v <= NumVars; ++v) {
                if (closure.Endo(v)) {
                    for (double c : sum->Contribution(v)) {
                        CheckedResult(c);
                    }
                } else {
                    (*sum)(v, v) = vec(v); // an exogenous result is all its own
                }
            }
            *decomposition = *sum;
        }
    }
    return res;
}

Variable_Real ExtrapolateResults(const Variable_Real& V1, const Variable_Real& V2,
                                 const Variable_Real& V3) {
    // These weights cancel the error terms proportional to 1/n and 1/n^2.
    Variable_Real extrapolated;
    for (Variable v = 1; v <= NumVars; ++v) {
        extrapolated(v) = CheckedResult((8 * V3(v) - 6 * V2(v) + V1(v)) / 3);
    }
    return extrapolated;
}

namespace {

SolveResult Extrapolate(int m, const Data_Real& base, Data_Real& newData, Variable_Real& vec,
                        const TClosure& closure, TDecomposition* decomposition) {
    auto T = std::make_unique<Data_Real>();
    Variable_Real V1 = vec;
    Variable_Real V2 = vec;
    Variable_Real V3 = vec;
    std::unique_ptr<TDecomposition> D1, D2, D3;
    if (decomposition != nullptr) {
        D1 = std::make_unique<TDecomposition>();
        D2 = std::make_unique<TDecomposition>();
        D3 = std::make_unique<TDecomposition>();
    }
    SolveResult res = EulerSolve(m, base, *T, V1, closure, D1.get());
    if (res.success) {
        res = EulerSolve(2 * m, base, *T, V2, closure, D2.get());
    }
    if (res.success) {
        res = EulerSolve(4 * m, base, *T, V3, closure, D3.get());
    }
    if (!res.success) {
        return res;
    }
    const Variable_Real extrapolated = ExtrapolateResults(V1, V2, V3);
    if (decomposition != nullptr) {
        for (Variable v = 1; v <= NumVars; ++v) {
            D1->Contribution(v) =
                ExtrapolateResults(D1->Contribution(v), D2->Contribution(v), D3->Contribution(v));
        }
    }
    // The updated database is the base updated once with the extrapolated
    // changes. The results are committed only after the update, so that an
    // error raised by it leaves vec, newData and the decomposition as they were.
    Data_Real updated = base;
    res.negativeFlow = UpdateData(updated, extrapolated);
    vec = extrapolated;
    newData = updated;
    if (decomposition != nullptr) {
        *decomposition = *D1;
    }
    return res;
}

} // namespace

SolveResult SolveModel(SolutionMethod method, const Data_Real& base, Data_Real& newData,
                       Variable_Real& vec, const TClosure& closure, TDecomposition* decomposition) {
    switch (method) {
    case 1:
        return EulerSolve(1, base, newData, vec, closure, decomposition);
    case 2:
        return EulerSolve(4, base, newData, vec, closure, decomposition);
    case 3:
        return EulerSolve(16, base, newData, vec, closure, decomposition);
    case 5:
        return Extrapolate(8, base, newData, vec, closure, decomposition);
    default:
        return Extrapolate(2, base, newData, vec, closure, decomposition);
    }
}

} // namespace kv
