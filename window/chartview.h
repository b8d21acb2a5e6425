// The Results page's chart view: grouped bars of the chosen variables for
// every stored solution, the variables picked from a list beside the chart.
#pragma once

#include "chartdata.h"

#include <QWidget>

#include <functional>

class QBarSet;
class QChart;
class QComboBox;
class QValueAxis;
class QChartView;
class QListWidget;
class QPainter;
class QPrinter;
class TExperimentDoc;

class TResultsChartView : public QWidget {
    Q_OBJECT
public:
    explicit TResultsChartView(TExperimentDoc& doc, QWidget* parent = nullptr);

    // The variables checked in the list, in list order.
    std::vector<kv::Variable> ChosenVariables() const;
    void SetChosenVariables(const std::vector<kv::Variable>& vars);

    enum TChartKind { ckResults, ckDecomposition, ckConvergence };
    void SetKind(TChartKind kind);
    TChartKind Kind() const;
    // The solution (1..Count) the decomposition and convergence charts show.
    void SetSolution(int k);
    int Solution() const;
    // The convergence chart's variable: the list's current one.
    kv::Variable ConvergenceVariable() const;

    // The data the bars show now (results, decomposition).
    const kv::TBarChartData& Data() const { return FData; }
    const kv::TConvergenceChartData& ConvergenceData() const { return FConvergence; }
    QChart* Chart() const { return FChart; }
    QChartView* ChartView() const { return FView; }
    QListWidget* VariableList() const { return FList; }

    // Rebuilds the bars from the store (when visible; else on showing).
    void Rebuild();

    // The chart at its export size: at least 960 by 560 pixels.
    QSize ExportSize() const;
    QImage Image() const;
    void CopyImage() const;
    bool SavePng(const QString& fileName) const;
    bool SaveSvg(const QString& fileName) const;
    // One page: the header line, then the chart fitted to the rest.
    void Print(QPrinter& printer, const QString& header) const;

    // The context menu's Print; the window sends it through its printer.
    std::function<void()> PrintRequested;
    // Asks for a file name and saves as PNG or SVG by its extension.
    void SaveAs();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyLook();
    // The variables' names under the bars: upright where each fits the width
    // of its category, else turned on end so that none is cut or overlaps.
    void fitCategoryLabels();
    // The variable list as narrow as its names allow.
    void fitListWidth();
    void fillSolutions();
    void clearChart();
    void buildResults();
    void buildDecomposition();
    void buildConvergence();
    QValueAxis* valueAxis(double low, double high) const;
    void showBarTip(bool on, int index, QBarSet* set);
    void renderChart(QPainter& painter, const QRectF& target, const QSizeF& size) const;

    TExperimentDoc& FDoc;
    QListWidget* FList;
    QChart* FChart;
    QChartView* FView;
    QComboBox* FKind;
    QComboBox* FSolution;
    bool FFillingSolutions = false;
    kv::TBarChartData FData;
    kv::TConvergenceChartData FConvergence;
    // The convergence runs of the last solution asked for, kept for the
    // next variable.
    std::optional<kv::TConvergence> FConvergenceRuns;
    kv::TSolutionInputs FConvergenceOf;
    bool FStale = true;
};
