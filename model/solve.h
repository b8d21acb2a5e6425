// The solution methods: Johansen, Euler with n steps and the two Richardson
// extrapolations, and the database update of one step.
#pragma once

#include "database.h"
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

SolveResult SolveModel(SolutionMethod method, const Data_Real& base, Data_Real& newData,
                       Variable_Real& vec, const TClosure& closure);
SolveResult EulerSolve(int n, const Data_Real& base, Data_Real& work, Variable_Real& vec,
                       const TClosure& closure);
// Returns true when the step's system is singular; S is then unchanged.
bool SolveLinearStep(const Tableau_Real& M, const TClosure& closure, Variable_Real& S);
// Returns true when A is singular. A and b are working copies and are destroyed.
bool GaussJordanSolve(SquareMatrix& A, EndoVector& b, EndoVector& x);
// Applies one step's changes to D and rewrites the check file; true when the
// updated database has a negative flow.
bool UpdateData(Data_Real& D, const Variable_Real& S);

} // namespace kv
