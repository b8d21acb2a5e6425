// The 52 variables of the KV model, the closure that splits them into 39
// endogenous and 13 exogenous ones, the shocks-and-results vector and the
// store of at most six solutions.
#pragma once

#include "vec1.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

using Variable = int; // 1..52
inline constexpr int NumVars = 52;
inline constexpr int NumEndo = 39;
inline constexpr int NumExo = 13;
inline constexpr int MaxSolutions = 6;
inline constexpr Variable DelB = 49; // the one variable in money units, not per cent

using Variable_Real = Vec1<double, NumVars>;
using Variable_Bool = Vec1<bool, NumVars>;

extern const Vec1<std::string, NumVars> VarName;
extern const Vec1<std::string, NumVars> VarDesc;

// The variable whose VarName is name, or 0 when there is none.
Variable FindVariable(std::string_view name);

struct TClosure {
    Variable_Bool Endo;              // true for an endogenous variable
    Vec1<Variable, NumExo> ExoList;  // exogenous variables in list order
    Vec1<int, NumVars> EndoPos;      // position among the endogenous variables, 0 if exogenous
    Vec1<Variable, NumEndo> EndoVar; // inverse of EndoPos

    bool operator==(const TClosure&) const = default;
};

void DefaultClosure(TClosure& cl);
void RecountClosure(TClosure& cl);
// Exchanges endogenous list item k (1..39) with exogenous list item j (1..13);
// returns the endogenous-list item of the variable that became endogenous.
int ExchangeVariables(TClosure& cl, int k, int j);

// An entered cell of the database and its value.
struct TDataEdit {
    int Row = 0;
    int Col = 0;
    double Value = 0;

    bool operator==(const TDataEdit&) const = default;
};

// What a solution was solved from: the database cells that differed from the
// default, the exogenous variables in list order and their shocks (zero for
// the endogenous variables).
struct TSolutionInputs {
    std::vector<TDataEdit> DataEdits;
    Vec1<Variable, NumExo> ExoList;
    Variable_Real Shocks;

    bool operator==(const TSolutionInputs&) const = default;
};

struct TDecomposition;

struct TSolution {
    std::string Soltitle;
    Variable_Real SolValue;
    Variable_Bool SolEndo;
    int Method = 0; // the solution method that ran (1..5), 0 when not known
    TSolutionInputs Inputs;
    // The contributions of the shocks to the results, when known; shared by
    // the copies of a solution, as it never changes.
    std::shared_ptr<const TDecomposition> Decomposition;

    // Equal values (decompositions compared by their contents).
    bool operator==(const TSolution& other) const;
};

struct TSolutionStore {
    int Count = 0;
    Vec1<TSolution, MaxSolutions> Items; // 1..Count in use, in column order
    int SimCount = 0;                    // solutions stored since start-up

    bool operator==(const TSolutionStore&) const = default;
};

void AddSolution(TSolutionStore& S, const std::string& title, const Variable_Real& vector,
                 const Variable_Bool& endo, int method = 0, TSolutionInputs inputs = {},
                 std::shared_ptr<const TDecomposition> decomposition = nullptr);
void MoveSolutionLeft(TSolutionStore& S, int i);
void MoveSolutionRight(TSolutionStore& S, int i);
void DeleteSolution(TSolutionStore& S, int i);

} // namespace kv
