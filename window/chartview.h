// The Results page's chart view: grouped bars of the chosen variables for
// every stored solution, the variables picked from a list beside the chart.
#pragma once

#include "chartdata.h"

#include <QWidget>

#include <functional>

class QChart;
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

    // The data the bars show now.
    const kv::TBarChartData& Data() const { return FData; }
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
    void renderChart(QPainter& painter, const QRectF& target, const QSizeF& size) const;

    TExperimentDoc& FDoc;
    QListWidget* FList;
    QChart* FChart;
    QChartView* FView;
    kv::TBarChartData FData;
    bool FStale = true;
};
