#include "chartview.h"

#include "experimentdoc.h"
#include "printertextoutput.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>

using namespace kv;

TResultsChartView::TResultsChartView(TExperimentDoc& doc, QWidget* parent)
    : QWidget(parent), FDoc(doc) {
    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("ChartVariables"));
    for (Variable v = 1; v <= NumVars; ++v) {
        auto* item = new QListWidgetItem(QString::fromStdString(VarName(v)) + QStringLiteral("  ") +
                                             QString::fromStdString(VarDesc(v)),
                                         FList);
        item->setData(Qt::UserRole, v);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    FChart = new QChart;
    FChart->setAnimationOptions(QChart::NoAnimation);
    FView = new QChartView(FChart, this);
    FView->setObjectName(QStringLiteral("ResultsChart"));
    FView->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FList, 1);
    layout->addWidget(FView, 3);
    SetChosenVariables(DefaultChartVariables());
    connect(FList, &QListWidget::itemChanged, this, [this] { Rebuild(); });
    FDoc.OnChange(this, chSolutions, [this] { Rebuild(); });

    FView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("&Copy as image"), this, [this] { CopyImage(); });
        menu.addAction(QStringLiteral("&Save as PNG or SVG..."), this, [this] { SaveAs(); });
        menu.addAction(QStringLiteral("&Print..."), this, [this] {
            if (PrintRequested) {
                PrintRequested();
            }
        });
        menu.exec(FView->mapToGlobal(at));
    });
}

void TResultsChartView::SaveAs() {
    QString selected;
    QString fileName = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Chart"), QString(),
        QStringLiteral("PNG picture (*.png);;SVG drawing (*.svg)"), &selected);
    if (fileName.isEmpty()) {
        return;
    }
    const bool svg = fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ||
                     (!fileName.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
                      selected.contains(QStringLiteral("svg")));
    if (!fileName.contains(QLatin1Char('.'))) {
        fileName += svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    if (!(svg ? SaveSvg(fileName) : SavePng(fileName))) {
        QMessageBox::warning(this, QStringLiteral("Error in Save:"),
                             QStringLiteral("Cannot write ") + fileName);
    }
}

std::vector<Variable> TResultsChartView::ChosenVariables() const {
    std::vector<Variable> vars;
    for (int i = 0; i < FList->count(); ++i) {
        if (FList->item(i)->checkState() == Qt::Checked) {
            vars.push_back(FList->item(i)->data(Qt::UserRole).toInt());
        }
    }
    return vars;
}

void TResultsChartView::SetChosenVariables(const std::vector<Variable>& vars) {
    const QSignalBlocker block(FList);
    for (int i = 0; i < FList->count(); ++i) {
        const Variable v = FList->item(i)->data(Qt::UserRole).toInt();
        const bool on = std::find(vars.begin(), vars.end(), v) != vars.end();
        FList->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    Rebuild();
}

void TResultsChartView::Rebuild() {
    FData = ResultsChartData(FDoc.Experiment().Solutions, ChosenVariables());
    FStale = false;
    FChart->removeAllSeries();
    for (QAbstractAxis* axis : FChart->axes()) {
        FChart->removeAxis(axis);
        delete axis;
    }
    auto* series = new QBarSeries;
    double low = 0;
    double high = 0;
    for (const TChartSeries& s : FData.Series) {
        auto* set = new QBarSet(s.Label);
        for (size_t i = 0; i < s.Values.size(); ++i) {
            *set << s.Values[i];
            low = std::min(low, s.Values[i]);
            high = std::max(high, s.Values[i]);
        }
        series->append(set);
    }
    FChart->addSeries(series);
    // Exogenous values: the bar drawn pale with the set's outline.
    const QList<QBarSet*> sets = series->barSets();
    for (int k = 0; k < sets.size(); ++k) {
        QBarSet* set = sets[k];
        QColor pale = set->color();
        pale.setAlpha(70);
        set->setSelectedColor(pale);
        QPen pen(set->color().darker(130));
        set->setPen(pen);
        const TChartSeries& s = FData.Series[size_t(k)];
        for (size_t i = 0; i < s.Exogenous.size(); ++i) {
            if (s.Exogenous[i]) {
                set->selectBar(int(i));
            }
        }
    }
    connect(series, &QBarSeries::hovered, this, [this](bool on, int index, QBarSet* set) {
        if (!on) {
            QToolTip::hideText();
            return;
        }
        const int k = int(set->property("series").toInt());
        const TChartSeries& s = FData.Series[size_t(k)];
        QString text = set->label() + QStringLiteral("\n") + FData.Categories.value(index) +
                       QStringLiteral(" = ") + ChartNumber(s.Values[size_t(index)]);
        if (s.Exogenous[size_t(index)]) {
            text += QStringLiteral(" (exogenous)");
        }
        QToolTip::showText(QCursor::pos(), text, FView);
    });
    for (int k = 0; k < sets.size(); ++k) {
        sets[k]->setProperty("series", k);
    }
    auto* x = new QBarCategoryAxis;
    x->append(FData.Categories);
    x->setTitleText(QStringLiteral("Pale bars: exogenous values"));
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%.3f"));
    // Zero always on the axis, a little room beyond the longest bars.
    const double pad = (high - low) * 0.05;
    if (high - low > 0) {
        y->setRange(low < 0 ? low - pad : 0, high > 0 ? high + pad : 0);
        y->applyNiceNumbers();
    } else {
        y->setRange(-1, 1);
    }
    y->setTitleText(QStringLiteral("% change (delB: change)"));
    FChart->addAxis(x, Qt::AlignBottom);
    FChart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->setTitle(QStringLiteral("Results"));
    applyLook();
}

void TResultsChartView::applyLook() {
    // The screen font and the light or dark palette of the window.
    const QPalette pal = palette();
    const bool dark = pal.color(QPalette::Window).lightness() < 128;
    FChart->setBackgroundBrush(pal.brush(QPalette::Base));
    FChart->setTitleBrush(pal.brush(QPalette::Text));
    FChart->legend()->setLabelColor(pal.color(QPalette::Text));
    QFont f = font();
    FChart->legend()->setFont(f);
    QFont bold = f;
    bold.setBold(true);
    FChart->setTitleFont(bold);
    for (QAbstractAxis* axis : FChart->axes()) {
        axis->setLabelsFont(f);
        axis->setTitleFont(f);
        axis->setLabelsColor(pal.color(QPalette::Text));
        axis->setTitleBrush(pal.brush(QPalette::Text));
        axis->setGridLineColor(dark ? QColor(80, 80, 80) : QColor(220, 220, 220));
        if (auto* value = qobject_cast<QValueAxis*>(axis)) {
            // The program's decimal separator in the labels.
            value->setLabelFormat(QStringLiteral("%.3f"));
        }
    }
    FChart->setLocalizeNumbers(true);
    FChart->setLocale(QLocale());
}

void TResultsChartView::showEvent(QShowEvent* event) {
    if (FStale) {
        Rebuild();
    }
    QWidget::showEvent(event);
}

void TResultsChartView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        applyLook();
    }
    QWidget::changeEvent(event);
}

QSize TResultsChartView::ExportSize() const {
    return FView->size().expandedTo(QSize(960, 560));
}

void TResultsChartView::renderChart(QPainter& painter, const QRectF& target,
                                    const QSizeF& size) const {
    // Laid out at the export size, so that no label is cut short, then back
    // at the view's size.
    const QSizeF old = FChart->size();
    FChart->resize(size);
    if (QGraphicsLayout* layout = FChart->layout()) {
        layout->activate();
    }
    FChart->scene()->render(&painter, target, QRectF(FChart->pos(), size));
    FChart->resize(old);
    if (QGraphicsLayout* layout = FChart->layout()) {
        layout->activate();
    }
}

QImage TResultsChartView::Image() const {
    const QSize size = ExportSize();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderChart(painter, QRectF(QPointF(0, 0), size), size);
    return image;
}

void TResultsChartView::CopyImage() const {
    QApplication::clipboard()->setImage(Image());
}

bool TResultsChartView::SavePng(const QString& fileName) const {
    return Image().save(fileName, "PNG");
}

bool TResultsChartView::SaveSvg(const QString& fileName) const {
    const QSize size = ExportSize();
    QSvgGenerator svg;
    svg.setFileName(fileName);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(FChart->title());
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    renderChart(painter, QRectF(QPointF(0, 0), size), size);
    return painter.end();
}

void TResultsChartView::Print(QPrinter& printer, const QString& header) const {
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    painter.setFont(PrinterFont());
    const int line = painter.fontMetrics().height();
    painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignLeft, header);
    const QRect area(page.left(), page.top() + 2 * line, page.width(), page.height() - 2 * line);
    // Fitted to the page, the chart's proportions kept.
    const QSize size = ExportSize();
    const QSize fitted = size.scaled(area.size(), Qt::KeepAspectRatio);
    renderChart(painter, QRectF(area.topLeft(), fitted), size);
}
