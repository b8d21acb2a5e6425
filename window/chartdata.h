// The numbers behind the charts, built from the experiment's stored solutions
// without any widget: the results bars, the shock decomposition and the
// convergence of the Euler solutions.
#pragma once

#include "convergence.h"
#include "variables.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kv {

// One coloured set of bars: a value per category.
struct TChartSeries {
    QString Label;
    std::vector<double> Values;
    std::vector<bool> Exogenous; // per value: the variable was exogenous
};

struct TBarChartData {
    QStringList Categories; // the variables' names
    std::vector<TChartSeries> Series;
    std::vector<double> Totals; // per category; empty for the results chart
};

// c, cR, cpi, l, m, e, delB, phi and the two activity levels.
std::vector<Variable> DefaultChartVariables();

// A series per stored solution (its title), a category per variable.
TBarChartData ResultsChartData(const TSolutionStore& S, const std::vector<Variable>& vars);

// A series per shocked exogenous variable of the solution, its contributions
// to each variable; Totals holds the results. Empty without a decomposition.
TBarChartData DecompositionChartData(const TSolution& sol, const std::vector<Variable>& vars);

struct TConvergencePoint {
    double InverseSteps; // 1/n
    double Value;
    QString Label;
};

struct TConvergenceChartData {
    QString Title;
    std::vector<TConvergencePoint> Euler;          // 1, 2, 4, ..., 64 steps
    std::vector<TConvergencePoint> Extrapolations; // at 1/n = 0
    TConvergencePoint Solution;                    // the stored solution's value
};

// The convergence runs of variable v for a solution; conv as from
// ComputeConvergence of the solution's experiment.
TConvergenceChartData ConvergenceChartData(const TSolution& sol, const TConvergence& conv,
                                           Variable v);
// Reruns the experiment that produced sol.
TConvergence SolutionConvergence(const TSolution& sol);

// A chart's value in the program's number format.
QString ChartNumber(double value);

} // namespace kv
