// The experiment: the database, closure, shocks and stored solutions that a
// student sets up and computes, with the updated database and the tableau
// derived from them. One object owns it all; the window and kvsolve each have
// their own. Its operations tell the observer what changed, so that views
// read the experiment again instead of keeping copies in step.
#pragma once

#include "database.h"
#include "solve.h"
#include "tableau.h"
#include "variables.h"

#include <functional>
#include <string>

namespace kv {

// What an operation changed, as a set of bits.
enum TChange : unsigned {
    chBaseData = 1u << 0,
    chTableau = 1u << 1,
    chClosure = 1u << 2,
    chShocks = 1u << 3, // ShockVec, which also holds the latest results
    chSolutions = 1u << 4,
    chNewData = 1u << 5,
    chTitle = 1u << 6,
    chAll = (1u << 7) - 1,
};

// What the experiment holds apart from the tableau, which it derives from the
// database: copied whole to remember a state (undo, files) and assigned back
// to restore it.
struct TExperimentState {
    Data_Real BaseData;     // the initial database, edited on the Data page
    Data_Real NewData;      // the database updated by the latest solution
    TClosure Closure;       // the current closure
    Variable_Real ShockVec; // shocks in, results out
    TSolutionStore Solutions;
    std::string Title; // the title the next solution is stored under

    bool operator==(const TExperimentState&) const = default;
};

// The parts (TChange bits) in which two states differ.
unsigned DifferingParts(const TExperimentState& a, const TExperimentState& b);

class TExperiment : public TExperimentState {
public:
    Tableau_Real Tableau; // built from BaseData

    // The defaults: the default database derived, NewData a copy of it, the
    // default closure, zero shocks, no solutions, the tableau built and the
    // title "Sim 1".
    TExperiment();

    // Called with the changed parts after every operation below.
    using TObserver = std::function<void(unsigned changes)>;
    void SetObserver(TObserver observer) { FObserver = std::move(observer); }

    // Back to the defaults.
    void Reset();
    // Replaces the parts in `parts` by those of state. A new database without
    // a negative flow gets its tableau at once.
    void Assign(const TExperimentState& state, unsigned parts = chAll);
    const TExperimentState& State() const { return *this; }

    // Stores an entered cell of BaseData and derives the rest; true when the
    // database now has a negative flow.
    bool SetDataCell(int r, int c, double value);
    // Whether a tested flow of BaseData is negative.
    bool NegativeData() const;
    // Rebuilds the tableau from BaseData. A zero divisor raises the model's
    // error and leaves the tableau as it was.
    void RebuildTableau();
    // Exchanges endogenous list item k with exogenous list item j, as
    // ExchangeVariables does, and returns its result.
    int Exchange(int k, int j);
    void SetShock(Variable v, double value);
    void SetTitle(const std::string& title);

    // Solves the experiment with the method, in place on NewData and ShockVec
    // as SolveModel does; on success the solution is stored under Title with
    // the inputs that produced it and its shock decomposition, and Title
    // becomes the next default title.
    // The caller refuses to solve with MaxSolutions stored.
    SolveResult Solve(SolutionMethod method);

    void MoveSolutionLeft(int i);
    void MoveSolutionRight(int i);
    void DeleteSolution(int i);

    // The inputs that a solution solved now would record.
    TSolutionInputs CurrentInputs() const;

    // "Sim " and the number of the next solution.
    std::string NextDefaultTitle() const;

private:
    void changed(unsigned parts);

    TObserver FObserver;
};

// The entered cells of D that differ from the default database.
std::vector<TDataEdit> DataEditsFromDefault(const Data_Real& D);

} // namespace kv
