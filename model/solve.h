// The solution methods: Johansen, Euler with n steps and the two Richardson
// extrapolations, and the database update of one step.
#pragma once

#include "database.h"
#include "decompose.h"
#include "tableau.h"
#include "variables.h"

#include <string>

namespace kv {

using SolutionMethod = int; // 1..5; any other value runs the 2-4-8 extrapolation

// The method that SolveModel runs for the number asked for.
SolutionMethod MethodRun(SolutionMethod asked);
// The method's name as the Solve page shows it ("Johansen (1-step)", ...), for
// the method run.
std::string MethodCaption(SolutionMethod method);

struct SolveResult {
    bool singular = false;
    bool negativeFlow = false;
    bool success = false;
};

// The consistency-check file rewritten by every database update; "TEM" in the
// current folder unless a test points it elsewhere; empty: no file is written.
extern std::string TemFileName;

using SquareMatrix = Vec1<Vec1<double, NumEndo>, NumEndo>; // A(i)(j)
using EndoVector = Vec1<double, NumEndo>;
// Several right-hand sides of one system, row by row: B(i)[c] is row i of
// right-hand side c. A step uses column 0 for the whole step and column j for
// the part due to exogenous-list item j.
inline constexpr int StepRhsCount = NumExo + 1;
using RhsBlock = Vec1<std::array<double, StepRhsCount>, NumEndo>;
// The changes of one step split by exogenous-list item: Parts(j) is the part
// of the step due to the shock of ExoList(j).
using TStepParts = Vec1<Variable_Real, NumExo>;

// With a decomposition, the contribution of every exogenous variable to every
// result is computed along with the solve and written exactly when vec is;
// the results are the same, bit for bit, as without.
SolveResult SolveModel(SolutionMethod method, const Data_Real& base, Data_Real& newData,
                       Variable_Real& vec, const TClosure& closure,
                       TDecomposition* decomposition = nullptr);
// Any n >= 1; a smaller n raises Exception.
SolveResult EulerSolve(int n, const Data_Real& base, Data_Real& work, Variable_Real& vec,
                       const TClosure& closure, TDecomposition* decomposition = nullptr);
// The three-point extrapolation of Euler results with n, 2n and 4n steps,
// (8 V3 - 6 V2 + V1) / 3.
Variable_Real ExtrapolateResults(const Variable_Real& V1, const Variable_Real& V2,
                                 const Variable_Real& V3);
// The 39 by 39 matrix of a step: column EndoPos(v) of A is column v of M for
// every endogenous v.
void AssembleEndogenous(const Tableau_Real& M, const TClosure& closure, SquareMatrix& A);
// Returns true when the step's system is singular; S (and parts) are then
// unchanged. With parts, the step is also split by exogenous variable in the
// same elimination; the parts of each variable add up to its step change.
bool SolveLinearStep(const Tableau_Real& M, const TClosure& closure, Variable_Real& S,
                     TStepParts* parts = nullptr);
// Returns true when A is singular. A and b are working copies and are destroyed.
bool GaussJordanSolve(SquareMatrix& A, EndoVector& b, EndoVector& x);
// The same elimination for all right-hand sides of B at once; column c of X
// is the solution for column c of B, identical to a solve of that column alone.
bool GaussJordanSolve(SquareMatrix& A, RhsBlock& B, RhsBlock& X);
// The pivot test of the elimination alone: true exactly when GaussJordanSolve
// reports A singular. A is destroyed.
bool GaussJordanSingular(SquareMatrix& A);
// Applies one step's changes to D and rewrites the check file; true when the
// updated database has a negative flow.
bool UpdateData(Data_Real& D, const Variable_Real& S);

} // namespace kv
