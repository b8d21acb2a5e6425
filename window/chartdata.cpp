#include "chartdata.h"

#include "celltext.h"
#include "experiment.h"

#include <QLocale>

namespace kv {

namespace {

QString Name(Variable v) {
    return QString::fromStdString(VarName(v));
}

} // namespace

std::vector<Variable> DefaultChartVariables() {
    std::vector<Variable> vars;
    for (const char* name : {"c", "cR", "cpi", "l", "m", "e", "delB", "phi", "z1", "z2"}) {
        if (const Variable v = FindVariable(name)) {
            vars.push_back(v);
        }
    }
    return vars;
}

QString ChartNumber(double value) {
    return FormatReal(value, 0, 3);
}

TBarChartData ResultsChartData(const TSolutionStore& S, const std::vector<Variable>& vars) {
    TBarChartData data;
    for (Variable v : vars) {
        data.Categories << Name(v);
    }
    for (int k = 1; k <= S.Count; ++k) {
        const TSolution& sol = S.Items(k);
        TChartSeries series;
        series.Label = QString::fromStdString(sol.Soltitle);
        for (Variable v : vars) {
            series.Values.push_back(sol.SolValue(v));
            series.Exogenous.push_back(!sol.SolEndo(v));
        }
        data.Series.push_back(std::move(series));
    }
    return data;
}

TBarChartData DecompositionChartData(const TSolution& sol, const std::vector<Variable>& vars) {
    TBarChartData data;
    if (!sol.Decomposition) {
        return data;
    }
    const TDecomposition& d = *sol.Decomposition;
    for (Variable v : vars) {
        data.Categories << Name(v);
        data.Totals.push_back(DecompositionTotal(d, v));
    }
    for (Variable j : sol.Inputs.ExoList) {
        if (j < 1 || j > NumVars || sol.Inputs.Shocks(j) == 0) {
            continue;
        }
        TChartSeries series;
        series.Label = Name(j) + QStringLiteral(" = ") + ChartNumber(sol.Inputs.Shocks(j));
        for (Variable v : vars) {
            series.Values.push_back(d(v, j));
            series.Exogenous.push_back(!sol.SolEndo(v));
        }
        data.Series.push_back(std::move(series));
    }
    return data;
}

TConvergenceChartData ConvergenceChartData(const TSolution& sol, const TConvergence& conv,
                                           Variable v) {
    TConvergenceChartData data;
    data.Title = QString::fromStdString(sol.Soltitle) + QStringLiteral(": ") + Name(v);
    for (int k = 1; k <= ConvergenceRuns; ++k) {
        if (const auto& run = conv.Euler(k)) {
            const int n = ConvergenceSteps(k);
            data.Euler.push_back({1.0 / n, (*run)(v), QStringLiteral("Euler %1").arg(n)});
        }
    }
    if (conv.Extrapolation248) {
        data.Extrapolations.push_back(
            {0.0, (*conv.Extrapolation248)(v), QStringLiteral("Extrapolation 2-4-8")});
    }
    if (conv.Extrapolation81632) {
        data.Extrapolations.push_back(
            {0.0, (*conv.Extrapolation81632)(v), QStringLiteral("Extrapolation 8-16-32")});
    }
    const int method = sol.Method;
    double x = 0;
    if (method >= 1 && method <= 3) {
        x = 1.0 / ConvergenceSteps(method == 1 ? 1 : method == 2 ? 3 : 5);
    }
    data.Solution = {x, sol.SolValue(v), QString::fromStdString(sol.Soltitle)};
    return data;
}

TConvergence SolutionConvergence(const TSolution& sol) {
    const TExperiment e = ExperimentOf(sol.Inputs);
    return ComputeConvergence(e.BaseData, e.ShockVec, e.Closure);
}

} // namespace kv
