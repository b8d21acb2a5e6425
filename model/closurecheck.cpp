#include "closurecheck.h"

#include "solve.h"

#include <Eigen/Dense>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

namespace kv {

namespace {

using Matrix39 = Eigen::Matrix<double, NumEndo, NumEndo>;

// The smallest pivot the elimination accepts is an absolute size; the
// rank-revealing decomposition is told the same.
constexpr double PivotTolerance = 0.000001;

Matrix39 ToEigen(const SquareMatrix& A) {
    Matrix39 m;
    for (int i = 1; i <= NumEndo; ++i) {
        for (int j = 1; j <= NumEndo; ++j) {
            m(i - 1, j - 1) = A(i)(j);
        }
    }
    return m;
}

// The full-pivoting LU with an absolute pivot threshold.
void Decompose(Eigen::FullPivLU<Matrix39>& lu, const Matrix39& m) {
    lu.compute(m);
    const double maxPivot = lu.maxPivot();
    if (maxPivot > 0) {
        lu.setThreshold(PivotTolerance / maxPivot);
    }
}

// 1 / (reciprocal condition estimate), or 0 for a rank-deficient matrix.
double ConditionOf(const Eigen::FullPivLU<Matrix39>& lu) {
    if (lu.maxPivot() == 0 || !lu.isInvertible()) {
        return 0;
    }
    const double rc = lu.rcond();
    const double cond = rc > 0 ? 1 / rc : 0;
    return std::isfinite(cond) ? cond : 0;
}

bool IsUnreliable(double cond) {
    return cond == 0 || cond > UnreliableCondition;
}

// A direction over the endogenous positions as weights of the variables,
// scaled so that the largest weight is +1.
Variable_Real ScaledDirection(const Eigen::Matrix<double, NumEndo, 1>& z, const TClosure& cl) {
    Eigen::Index top = 0;
    z.cwiseAbs().maxCoeff(&top);
    Variable_Real w{};
    if (z(top) == 0) {
        return w;
    }
    for (int i = 0; i < NumEndo; ++i) {
        const double scaled = z(i) / z(top);
        w(cl.EndoVar(i + 1)) = std::fabs(scaled) < NegligibleWeight ? 0.0 : scaled;
    }
    return w;
}

std::vector<Variable_Real> NullDirections(const Matrix39& m, const Eigen::FullPivLU<Matrix39>& lu,
                                          const TClosure& cl) {
    std::vector<Variable_Real> dirs;
    if (lu.maxPivot() == 0 || lu.rank() < NumEndo) {
        const Eigen::MatrixXd kernel = lu.kernel();
        for (Eigen::Index c = 0; c < kernel.cols(); ++c) {
            dirs.push_back(ScaledDirection(kernel.col(c), cl));
        }
        return dirs;
    }
    // Nearly singular: the directions of the smallest singular values.
    const Eigen::JacobiSVD<Matrix39> svd(m, Eigen::ComputeFullV);
    const auto& sigma = svd.singularValues();
    for (int i = 0; i < NumEndo; ++i) {
        if (i == NumEndo - 1 || sigma(i) * UnreliableCondition <= sigma(0)) {
            dirs.push_back(ScaledDirection(svd.matrixV().col(i), cl));
        }
    }
    return dirs;
}

std::string FormatNumber(double x) {
    char text[32];
    const auto res = std::to_chars(text, text + sizeof text, x, std::chars_format::general, 4);
    return std::string(text, res.ptr);
}

// "a", "a and b", "a, b and c" (or "or" for the last).
std::string NameList(const std::vector<std::string>& names, const char* last = " and ") {
    std::string s;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            s += i + 1 == names.size() ? last : ", ";
        }
        s += names[i];
    }
    return s;
}

// Domestic prices and values: all of them rising together is the price level.
bool IsNominal(Variable v) {
    static const char* const names[] = {"c",     "p(11)",  "p(12)",  "p(21)", "p(22)",
                                        "p(31)", "p(32)1", "p(32)2", "phi",   "cpi"};
    return std::any_of(std::begin(names), std::end(names),
                       [v](const char* n) { return VarName(v) == n; });
}

std::string DirectionSentence(const Variable_Real& w, bool nearly) {
    std::vector<Variable> vars;
    bool equal = true;
    bool nominal = true;
    for (Variable v = 1; v <= NumVars; ++v) {
        if (w(v) != 0) {
            vars.push_back(v);
            equal = equal && std::fabs(w(v) - 1) <= 1e-6;
            nominal = nominal && IsNominal(v);
        }
    }
    std::vector<std::string> names;
    for (Variable v : vars) {
        names.push_back(VarName(v));
    }
    const std::string list = NameList(names);
    const std::string lead = nearly ? "Almost nothing in this closure fixes "
                                    : "Nothing in this "
                                      "closure fixes ";
    const std::string keep = nearly ? "while breaking the equations only very slightly"
                                    : "without breaking any equation";
    if (vars.size() == 1) {
        return lead + list + ": it can take any value " + keep + ".";
    }
    if (equal && nominal) {
        return lead + "the price level: " + list + " can all rise by the same percentage " + keep +
               ".";
    }
    if (equal) {
        return lead + "the common level of " + list +
               ": they can all rise by the same percentage " + keep + ".";
    }
    std::vector<std::string> parts;
    for (Variable v : vars) {
        parts.push_back(VarName(v) + " " + FormatNumber(w(v)));
    }
    return lead + list + ": they can change together, in the proportions " + NameList(parts) +
           ", " + keep + ".";
}

std::vector<Variable> EquationVariables(const Tableau_Real& M, Equation r) {
    std::vector<Variable> vars;
    for (Variable v = 1; v <= NumVars; ++v) {
        if (M(r, v) != 0) {
            vars.push_back(v);
        }
    }
    return vars;
}

std::vector<std::string> Names(const std::vector<Variable>& vars) {
    std::vector<std::string> names;
    for (Variable v : vars) {
        names.push_back(VarName(v));
    }
    return names;
}

std::string EmptyEquationSentence(const Tableau_Real& M, Equation r) {
    const std::vector<Variable> vars = EquationVariables(M, r);
    const std::string head = "Equation " + std::to_string(r) + " contains no endogenous variable";
    if (vars.empty()) {
        return head + ".";
    }
    if (vars.size() == 1) {
        return head + ": it fixes the exogenous " + VarName(vars[0]) + " at 0.";
    }
    return head + ": it ties the exogenous " + NameList(Names(vars)) + " together.";
}

std::string Explain(const Tableau_Real& M, const TClosureCheck& check) {
    std::string text;
    auto add = [&text](const std::string& sentence) {
        if (!text.empty()) {
            text += ' ';
        }
        text += sentence;
    };
    if (check.Unreliable) {
        add("This closure can be solved, but its results are unreliable: " +
            UnreliableReason(check) + ".");
    }
    for (Equation r : check.EmptyEquations) {
        add(EmptyEquationSentence(M, r));
    }
    for (const Variable_Real& w : check.NullDirections) {
        add(DirectionSentence(w, check.Unreliable));
    }
    const std::string goal = check.Unreliable ? "reliable" : "solvable";
    if (check.FixingExchanges.empty()) {
        if (check.NullDirections.size() > 1) {
            add("No single exchange makes this closure " + goal + ": it needs at least " +
                std::to_string(check.NullDirections.size()) +
                " exchanges, one for each of the combinations above.");
        } else {
            add("No single exchange makes this closure " + goal + ".");
        }
        return text;
    }
    const TExchange& fix = check.FixingExchanges.front();
    const std::string example =
        "exchanging " + VarName(fix.Endogenous) + " with " + VarName(fix.Exogenous);
    if (check.NullDirections.size() != 1) {
        add("For example, " + example + " makes the closure " + goal + ".");
    } else if (check.EmptyEquations.size() == 1) {
        add("Make one of them exogenous and " +
            NameList(Names(EquationVariables(M, check.EmptyEquations.front())), " or ") +
            " endogenous, for example by " + example + ".");
    } else {
        add("Make one of them exogenous, for example by " + example + ".");
    }
    return text;
}

} // namespace

std::string UnreliableReason(const TClosureCheck& check) {
    return "its equations are nearly dependent (condition estimate " +
           (check.ConditionEstimate > 0 ? FormatNumber(check.ConditionEstimate)
                                        : std::string("beyond any bound")) +
           ")";
}

TClosureCheck CheckClosure(const Tableau_Real& M, const TClosure& closure,
                           const std::optional<TExchange>& lastExchange) {
    TClosureCheck check;
    auto A = std::make_unique<SquareMatrix>();
    AssembleEndogenous(M, closure, *A);
    const Matrix39 m = ToEigen(*A);
    check.Singular = GaussJordanSingular(*A);

    auto lu = std::make_unique<Eigen::FullPivLU<Matrix39>>();
    Decompose(*lu, m);
    check.ConditionEstimate = ConditionOf(*lu);
    check.Unreliable = !check.Singular && IsUnreliable(check.ConditionEstimate);
    if (!check.Singular && !check.Unreliable) {
        return check;
    }

    check.NullDirections = NullDirections(m, *lu, closure);
    for (Equation r = 1; r <= NumEqs; ++r) {
        if ((m.row(r - 1).array() == 0).all()) {
            check.EmptyEquations.push_back(r);
        }
    }

    // Every single exchange, judged by the elimination of the solve itself.
    for (int k = 1; k <= NumEndo; ++k) {
        for (int j = 1; j <= NumExo; ++j) {
            TClosure trial = closure;
            ExchangeVariables(trial, k, j);
            AssembleEndogenous(M, trial, *A);
            bool fixes = false;
            if (check.Singular) {
                fixes = !GaussJordanSingular(*A);
            } else {
                const Matrix39 t = ToEigen(*A);
                fixes = !GaussJordanSingular(*A);
                if (fixes) {
                    Decompose(*lu, t);
                    fixes = !IsUnreliable(ConditionOf(*lu));
                }
            }
            if (fixes) {
                check.FixingExchanges.push_back({closure.EndoVar(k), closure.ExoList(j)});
            }
        }
    }
    if (lastExchange) {
        const TExchange undo{lastExchange->Exogenous, lastExchange->Endogenous};
        const auto it = std::find(check.FixingExchanges.begin(), check.FixingExchanges.end(), undo);
        if (it != check.FixingExchanges.end()) {
            std::rotate(check.FixingExchanges.begin(), it, it + 1);
        }
    }
    check.Explanation = Explain(M, check);
    return check;
}

TClosureCheck CheckClosure(const Data_Real& D, const TClosure& closure,
                           const std::optional<TExchange>& lastExchange) {
    auto M = std::make_unique<Tableau_Real>();
    BuildTableau(D, *M);
    return CheckClosure(*M, closure, lastExchange);
}

} // namespace kv
