#include "experiment.h"

#include "decompose.h"
#include "errors.h"

#include <memory>

namespace kv {

TExperiment::TExperiment() {
    Reset();
}

void TExperiment::Reset() {
    DefaultData(BaseData);
    NewData = BaseData;
    DefaultClosure(Closure);
    ShockVec.fill(0.0);
    Solutions = TSolutionStore{};
    BuildTableau(BaseData, Tableau);
    Title = "Sim 1";
    changed(chAll);
}

void TExperiment::Assign(const TExperimentState& state, unsigned parts) {
    if (parts & chBaseData) {
        BaseData = state.BaseData;
        if (!NegativeData()) {
            try {
                auto M = std::make_unique<Tableau_Real>();
                BuildTableau(BaseData, *M);
                Tableau = *M;
                parts |= chTableau;
            } catch (const Exception&) {
                // A database whose coefficients are undefined keeps the last
                // tableau; leaving the Data page reports it.
            }
        }
    }
    if (parts & chNewData) {
        NewData = state.NewData;
    }
    if (parts & chClosure) {
        Closure = state.Closure;
    }
    if (parts & chShocks) {
        ShockVec = state.ShockVec;
    }
    if (parts & chSolutions) {
        Solutions = state.Solutions;
    }
    if (parts & chTitle) {
        Title = state.Title;
    }
    changed(parts);
}

bool TExperiment::SetDataCell(int r, int c, double value) {
    BaseData(r, c) = value;
    const bool negative = DeriveData(BaseData);
    changed(chBaseData);
    return negative;
}

bool TExperiment::NegativeData() const {
    return HasNegativeFlow(BaseData);
}

void TExperiment::RebuildTableau() {
    auto M = std::make_unique<Tableau_Real>();
    BuildTableau(BaseData, *M);
    Tableau = *M;
    changed(chTableau);
}

int TExperiment::Exchange(int k, int j) {
    const int position = ExchangeVariables(Closure, k, j);
    changed(chClosure);
    return position;
}

void TExperiment::SetShock(Variable v, double value) {
    ShockVec(v) = value;
    changed(chShocks);
}

void TExperiment::SetTitle(const std::string& title) {
    Title = title;
    changed(chTitle);
}

TSolutionInputs TExperiment::CurrentInputs() const {
    TSolutionInputs inputs;
    inputs.DataEdits = DataEditsFromDefault(BaseData);
    inputs.ExoList = Closure.ExoList;
    for (Variable v = 1; v <= NumVars; ++v) {
        inputs.Shocks(v) = Closure.Endo(v) ? 0.0 : ShockVec(v);
    }
    return inputs;
}

SolveResult TExperiment::Solve(SolutionMethod method) {
    TSolutionInputs inputs = CurrentInputs();
    auto decomposition = std::make_shared<TDecomposition>();
    SolveResult result;
    try {
        result = SolveModel(method, BaseData, NewData, ShockVec, Closure, decomposition.get());
    } catch (...) {
        // An aborted call may have left a partly updated database behind.
        changed(chNewData | chShocks);
        throw;
    }
    unsigned parts = chNewData | chShocks;
    if (!result.singular && !result.negativeFlow && Solutions.Count < MaxSolutions) {
        // The method that ran: any number outside 1 to 5 runs the 2-4-8 extrapolation.
        const int run = method >= 1 && method <= 5 ? method : 4;
        AddSolution(Solutions, Title, ShockVec, Closure.Endo, run, std::move(inputs),
                    std::move(decomposition));
        Title = NextDefaultTitle();
        parts |= chSolutions | chTitle;
    }
    changed(parts);
    return result;
}

void TExperiment::MoveSolutionLeft(int i) {
    kv::MoveSolutionLeft(Solutions, i);
    changed(chSolutions);
}

void TExperiment::MoveSolutionRight(int i) {
    kv::MoveSolutionRight(Solutions, i);
    changed(chSolutions);
}

void TExperiment::DeleteSolution(int i) {
    kv::DeleteSolution(Solutions, i);
    changed(chSolutions);
}

std::string TExperiment::NextDefaultTitle() const {
    return "Sim " + std::to_string(Solutions.SimCount + 1);
}

void TExperiment::changed(unsigned parts) {
    if (FObserver && parts != 0) {
        FObserver(parts);
    }
}

unsigned DifferingParts(const TExperimentState& a, const TExperimentState& b) {
    unsigned parts = 0;
    parts |= a.BaseData == b.BaseData ? 0u : chBaseData;
    parts |= a.NewData == b.NewData ? 0u : chNewData;
    parts |= a.Closure == b.Closure ? 0u : chClosure;
    parts |= a.ShockVec == b.ShockVec ? 0u : chShocks;
    parts |= a.Solutions == b.Solutions ? 0u : chSolutions;
    parts |= a.Title == b.Title ? 0u : chTitle;
    return parts;
}

std::vector<TDataEdit> DataEditsFromDefault(const Data_Real& D) {
    static const Data_Real defaults = [] {
        Data_Real d;
        DefaultData(d);
        return d;
    }();
    std::vector<TDataEdit> edits;
    for (int r = 1; r <= DataRows; ++r) {
        for (int c = 1; c <= DataCols; ++c) {
            if (EditMask(r, c) && D(r, c) != defaults(r, c)) {
                edits.push_back({r, c, D(r, c)});
            }
        }
    }
    return edits;
}

} // namespace kv
