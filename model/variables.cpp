#include "variables.h"

#include "decompose.h"

#include <utility>

namespace kv {

const Vec1<std::string, NumVars> VarName{{
    "x(11)3", "x(12)3", "x(21)3", "x(22)3", "c",      "p(11)",  "p(12)",  "p(21)",  "p(22)",
    "p*(11)", "p*(21)", "p*(12)", "p*(22)", "x(11)4", "x(21)4", "f(11)4", "f(21)4", "z1",
    "z2",     "y(11)1", "y(21)1", "y(11)2", "y(21)2", "x(11)1", "x(12)1", "x(21)1", "x(22)1",
    "x(31)1", "x(32)1", "x(11)2", "x(12)2", "x(21)2", "x(22)2", "x(31)2", "x(32)2", "p(31)",
    "p(32)1", "p(32)2", "phi",    "v1",     "v2",     "t1",     "t2",     "l",      "k1",
    "k2",     "m",      "e",      "delB",   "cpi",    "f(31)",  "cR",
}};

const Vec1<std::string, NumVars> VarDesc{{
    "H'hold demand, dom. good 1",
    "H'hold demand, imp. good 1",
    "H'hold demand, dom. good 2",
    "H'hold demand, imp. good 2",
    "Household expenditure level",
    "Price of domestic good 1, $A",
    "Price of imported good 1, $A",
    "Price of domestic good 2, $A",
    "Price of imported good 2, $A",
    "Price of domestic good 1, $US",
    "Price of domestic good 2, $US",
    "Price of imported good 1, $US",
    "Price of imported good 2, $US",
    "Exports of good 1",
    "Exports of good 2",
    "Shift in foreign demand, good 1",
    "Shift in foreign demand, good 2",
    "Industry 1 activity level",
    "Industry 2 activity level",
    "Output of good 1 by ind. 1",
    "Output of good 2 by ind. 1",
    "Output of good 1 by ind. 2",
    "Output of good 2 by ind. 2",
    "Demand, dom. good 1 by ind. 1",
    "Demand, imp. good 1 by ind. 1",
    "Demand, dom. good 2 by ind. 1",
    "Demand, imp. good 2 by ind. 1",
    "Demand, labour by ind. 1",
    "Demand, capital by ind. 1",
    "Demand, dom. good 1 by ind. 2",
    "Demand, imp. good 1 by ind. 2",
    "Demand, dom. good 2 by ind. 2",
    "Demand, imp. good 2 by ind. 2",
    "Demand, labour by ind. 2",
    "Demand, capital by ind. 2",
    "Wage to labour",
    "Capital rental rate in ind. 1",
    "Capital rental rate in ind. 2",
    "Exchange rate",
    "1+rate of export subsidy, good 1",
    "1+rate of export subsidy, good 2",
    "1+rate of import tax, good 1",
    "1+rate of import tax, good 2",
    "Aggregate employment",
    "Supply of capital, ind. 1",
    "Supply of capital, ind. 2",
    "Aggregate imports, $US",
    "Aggregate exports, $US",
    "DEL Balance of trade, $US",
    "Consumer price index",
    "Wage shift",
    "Real Consumption",
}};

Variable FindVariable(std::string_view name) {
    for (Variable v = 1; v <= NumVars; ++v) {
        if (VarName(v) == name) {
            return v;
        }
    }
    return 0;
}

void DefaultClosure(TClosure& cl) {
    static constexpr Variable defaultExo[NumExo] = {12, 13, 42, 43, 45, 46, 51,
                                                    40, 15, 52, 16, 17, 39};
    cl.Endo.fill(true);
    for (int k = 1; k <= NumExo; ++k) {
        cl.ExoList(k) = defaultExo[k - 1];
        cl.Endo(defaultExo[k - 1]) = false;
    }
    RecountClosure(cl);
}

void RecountClosure(TClosure& cl) {
    int count = 0;
    for (Variable v = 1; v <= NumVars; ++v) {
        if (cl.Endo(v)) {
            ++count;
            assert(count <= NumEndo);
            cl.EndoPos(v) = count;
            cl.EndoVar(count) = v;
        } else {
            cl.EndoPos(v) = 0;
        }
    }
}

int ExchangeVariables(TClosure& cl, int k, int j) {
    const Variable vOut = cl.EndoVar(k);
    const Variable vIn = cl.ExoList(j);
    cl.Endo(vOut) = false;
    cl.Endo(vIn) = true;
    cl.ExoList(j) = vOut;
    RecountClosure(cl);
    return cl.EndoPos(vIn);
}

bool TSolution::operator==(const TSolution& other) const {
    const bool sameDecomposition = Decomposition && other.Decomposition
                                       ? *Decomposition == *other.Decomposition
                                       : Decomposition == other.Decomposition;
    return Soltitle == other.Soltitle && SolValue == other.SolValue && SolEndo == other.SolEndo &&
           Method == other.Method && Inputs == other.Inputs && sameDecomposition;
}

void AddSolution(TSolutionStore& S, const std::string& title, const Variable_Real& vector,
                 const Variable_Bool& endo, int method, TSolutionInputs inputs,
                 std::shared_ptr<const TDecomposition> decomposition) {
    assert(S.Count < MaxSolutions);
    if (S.Count >= MaxSolutions) {
        return;
    }
    ++S.Count;
    S.Items(S.Count) =
        TSolution{title, vector, endo, method, std::move(inputs), std::move(decomposition)};
    ++S.SimCount;
}

void MoveSolutionLeft(TSolutionStore& S, int i) {
    if (i > 1 && i <= S.Count) {
        std::swap(S.Items(i - 1), S.Items(i));
    }
}

void MoveSolutionRight(TSolutionStore& S, int i) {
    if (i >= 1 && i < S.Count) {
        std::swap(S.Items(i), S.Items(i + 1));
    }
}

void DeleteSolution(TSolutionStore& S, int i) {
    if (i < 1 || i > S.Count) {
        return;
    }
    for (int k = i; k < S.Count; ++k) {
        S.Items(k) = std::move(S.Items(k + 1));
    }
    S.Items(S.Count) = TSolution{};
    --S.Count;
}

} // namespace kv
