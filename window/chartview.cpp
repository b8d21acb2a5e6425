#include "chartview.h"

#include "celltext.h"
#include "decimalsep.h"
#include "experimentdoc.h"
#include "outputcommands.h"
#include "printertextoutput.h"
#include "workarea.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

using namespace kv;

TResultsChartView::TResultsChartView(TExperimentDoc& doc, QWidget* parent)
    : QWidget(parent), FDoc(doc) {
    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("ChartVariables"));
    for (Variable v = 1; v <= NumVars; ++v) {
        // The name alone keeps the list narrow; the description is its tooltip.
        auto* item = new QListWidgetItem(QString::fromStdString(VarName(v)), FList);
        item->setToolTip(QString::fromStdString(VarDesc(v)));
        item->setData(Qt::UserRole, v);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    FChart = new QChart;
    FChart->setAnimationOptions(QChart::NoAnimation);
    connect(FChart, &QChart::plotAreaChanged, this, [this] { fitCategoryLabels(); });
    FView = new QChartView(FChart, this);
    FView->setObjectName(QStringLiteral("ResultsChart"));
    FView->setRenderHint(QPainter::Antialiasing);
    FKind = new QComboBox(this);
    FKind->setObjectName(QStringLiteral("ChartKind"));
    FKind->addItems({QStringLiteral("Results"), QStringLiteral("Decomposition"),
                     QStringLiteral("Convergence")});
    FSolution = new QComboBox(this);
    FSolution->setObjectName(QStringLiteral("ChartSolution"));
    // The choices above, the variables in a narrow list beside the chart,
    // which takes the rest of the width.
    auto* choices = new QHBoxLayout;
    choices->addWidget(FKind);
    choices->addWidget(FSolution);
    choices->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(FList, 0);
    body->addWidget(FView, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices);
    layout->addLayout(body, 1);
    fitListWidth();
    connect(FKind, &QComboBox::currentIndexChanged, this, [this] { Rebuild(); });
    connect(FSolution, &QComboBox::currentIndexChanged, this, [this] {
        if (!FFillingSolutions) {
            Rebuild();
        }
    });
    connect(FList, &QListWidget::currentRowChanged, this, [this] {
        if (Kind() == ckConvergence) {
            Rebuild();
        }
    });
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
        // The program's message dialog, worded as a page's failed Save.
        ShowMessageDialog(QStringLiteral("Error in Save:\r\nCannot write ") + fileName, mkError,
                          mbOK | mbHelp, OutputHelpContext, this);
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

void TResultsChartView::SetKind(TChartKind kind) {
    FKind->setCurrentIndex(int(kind));
}

TResultsChartView::TChartKind TResultsChartView::Kind() const {
    return TChartKind(FKind->currentIndex());
}

void TResultsChartView::SetSolution(int k) {
    FSolution->setCurrentIndex(k - 1);
}

int TResultsChartView::Solution() const {
    return FSolution->currentIndex() + 1;
}

kv::Variable TResultsChartView::ConvergenceVariable() const {
    if (const QListWidgetItem* item = FList->currentItem()) {
        return item->data(Qt::UserRole).toInt();
    }
    const auto vars = ChosenVariables();
    return vars.empty() ? 1 : vars.front();
}

void TResultsChartView::fillSolutions() {
    const TSolutionStore& S = FDoc.Experiment().Solutions;
    FFillingSolutions = true;
    const int keep = FSolution->currentIndex();
    FSolution->clear();
    for (int k = 1; k <= S.Count; ++k) {
        FSolution->addItem(QString::fromStdString(S.Items(k).Soltitle));
    }
    FSolution->setCurrentIndex(std::clamp(keep, 0, S.Count - 1));
    FFillingSolutions = false;
}

void TResultsChartView::clearChart() {
    FChart->removeAllSeries();
    for (QAbstractAxis* axis : FChart->axes()) {
        FChart->removeAxis(axis);
        delete axis;
    }
}

void TResultsChartView::Rebuild() {
    FStale = false;
    fillSolutions();
    FSolution->setEnabled(Kind() != ckResults);
    clearChart();
    FData = {};
    FConvergence = {};
    switch (Kind()) {
    case ckDecomposition:
        buildDecomposition();
        break;
    case ckConvergence:
        buildConvergence();
        break;
    default:
        buildResults();
        break;
    }
    applyLook();
    fitCategoryLabels();
}

void TResultsChartView::fitCategoryLabels() {
    for (QAbstractAxis* axis : FChart->axes(Qt::Horizontal)) {
        auto* categories = qobject_cast<QBarCategoryAxis*>(axis);
        if (!categories || categories->count() == 0) {
            continue;
        }
        const QFontMetrics metrics(categories->labelsFont());
        int widest = 0;
        for (const QString& label : categories->categories()) {
            widest = std::max(widest, metrics.horizontalAdvance(label));
        }
        const qreal each = FChart->plotArea().width() / categories->count();
        const bool fits = each >= widest + metrics.averageCharWidth();
        const int angle = fits ? 0 : -90;
        if (categories->labelsAngle() != angle) {
            categories->setLabelsAngle(angle);
        }
        categories->setTruncateLabels(fits);
    }
}

void TResultsChartView::buildDecomposition() {
    const TSolutionStore& S = FDoc.Experiment().Solutions;
    const int k = Solution();
    if (k < 1 || k > S.Count) {
        FChart->setTitle(QStringLiteral("Decomposition: no solution"));
        return;
    }
    const TSolution& sol = S.Items(k);
    FData = DecompositionChartData(sol, ChosenVariables());
    if (!sol.Decomposition) {
        FChart->setTitle(QStringLiteral("Decomposition: not known for ") +
                         QString::fromStdString(sol.Soltitle));
        return;
    }
    auto* series = new QStackedBarSeries;
    double low = 0;
    double high = 0;
    std::vector<double> lows(FData.Categories.size(), 0.0);
    std::vector<double> highs(FData.Categories.size(), 0.0);
    for (const TChartSeries& s : FData.Series) {
        auto* set = new QBarSet(s.Label);
        for (size_t i = 0; i < s.Values.size(); ++i) {
            *set << s.Values[i];
            (s.Values[i] < 0 ? lows[i] : highs[i]) += s.Values[i];
        }
        series->append(set);
    }
    for (size_t i = 0; i < lows.size(); ++i) {
        low = std::min({low, lows[i], FData.Totals[i]});
        high = std::max({high, highs[i], FData.Totals[i]});
    }
    FChart->addSeries(series);
    auto* total = new QScatterSeries;
    total->setName(QStringLiteral("Total (the result)"));
    total->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    total->setMarkerSize(11);
    total->setColor(palette().color(QPalette::Text));
    for (size_t i = 0; i < FData.Totals.size(); ++i) {
        total->append(double(i), FData.Totals[i]);
    }
    FChart->addSeries(total);
    connect(series, &QStackedBarSeries::hovered, this,
            [this](bool on, int index, QBarSet* set) { showBarTip(on, index, set); });
    connect(total, &QScatterSeries::hovered, this, [this](const QPointF& p, bool on) {
        if (on) {
            const int i = int(std::lround(p.x()));
            QToolTip::showText(QCursor::pos(),
                               FData.Categories.value(i) + QStringLiteral(" total = ") +
                                   ChartNumber(p.y()),
                               FView);
        } else {
            QToolTip::hideText();
        }
    });
    const QList<QBarSet*> sets = series->barSets();
    for (int j = 0; j < sets.size(); ++j) {
        sets[j]->setProperty("series", j);
    }
    auto* x = new QBarCategoryAxis;
    x->append(FData.Categories);
    // The legend names the squares (the total).
    x->setTitleText(QStringLiteral("Contributions of each shock"));
    FChart->addAxis(x, Qt::AlignBottom);
    QValueAxis* y = valueAxis(low, high);
    y->setTitleText(QStringLiteral("% change (delB: change)"));
    FChart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    total->attachAxis(x);
    total->attachAxis(y);
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->setTitle(QStringLiteral("Decomposition of ") + QString::fromStdString(sol.Soltitle));
}

void TResultsChartView::buildConvergence() {
    const TSolutionStore& S = FDoc.Experiment().Solutions;
    const int k = Solution();
    if (k < 1 || k > S.Count) {
        FChart->setTitle(QStringLiteral("Convergence: no solution"));
        return;
    }
    const TSolution& sol = S.Items(k);
    const Variable v = ConvergenceVariable();
    if (FConvergenceOf != sol.Inputs || !FConvergenceRuns) {
        try {
            FConvergenceRuns = SolutionConvergence(sol);
            FConvergenceOf = sol.Inputs;
        } catch (const std::exception& e) {
            FConvergenceRuns.reset();
            FChart->setTitle(QStringLiteral("Convergence cannot be computed: ") +
                             QString::fromLocal8Bit(e.what()));
            return;
        }
    }
    FConvergence = ConvergenceChartData(sol, *FConvergenceRuns, v);
    auto* euler = new QLineSeries;
    euler->setName(QStringLiteral("Euler"));
    euler->setPointsVisible(true);
    double low = FConvergence.Solution.Value;
    double high = low;
    for (const TConvergencePoint& p : FConvergence.Euler) {
        euler->append(p.InverseSteps, p.Value);
        low = std::min(low, p.Value);
        high = std::max(high, p.Value);
    }
    auto* extra = new QScatterSeries;
    extra->setName(QStringLiteral("Extrapolated"));
    extra->setMarkerSize(10);
    for (const TConvergencePoint& p : FConvergence.Extrapolations) {
        extra->append(p.InverseSteps, p.Value);
        low = std::min(low, p.Value);
        high = std::max(high, p.Value);
    }
    auto* own = new QScatterSeries;
    own->setName(FConvergence.Solution.Label);
    own->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    own->setMarkerSize(15);
    own->setColor(QColor(0, 0, 0, 0));
    own->setBorderColor(QColor(220, 40, 40));
    own->setPen(QPen(QColor(220, 40, 40), 3));
    own->append(FConvergence.Solution.InverseSteps, FConvergence.Solution.Value);
    for (QXYSeries* s : {static_cast<QXYSeries*>(euler), static_cast<QXYSeries*>(extra),
                         static_cast<QXYSeries*>(own)}) {
        FChart->addSeries(s);
        connect(s, &QXYSeries::hovered, this, [this](const QPointF& p, bool on) {
            if (on) {
                QString steps = p.x() > 0 ? QStringLiteral("%1 steps").arg(std::lround(1 / p.x()))
                                          : QStringLiteral("extrapolated");
                QToolTip::showText(QCursor::pos(),
                                   steps + QStringLiteral(": ") + ChartNumber(p.y()), FView);
            } else {
                QToolTip::hideText();
            }
        });
    }
    auto* x = new QValueAxis;
    x->setRange(-0.05, 1.05);
    // Ticks at 0, 0.2, ..., 1 with a margin either side for the end points.
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(0.2);
    x->setLabelFormat(QStringLiteral("%.1f"));
    x->setTitleText(QStringLiteral("1/n (n = number of Euler steps)"));
    const double pad = std::max((high - low) * 0.1, std::abs(high) * 1e-6 + 1e-9);
    auto* y = new QValueAxis;
    y->setRange(low - pad, high + pad);
    y->setLabelFormat(QStringLiteral("%.4f"));
    y->setTitleText(VariableLabel(v));
    FChart->addAxis(x, Qt::AlignBottom);
    FChart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : FChart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->setTitle(QStringLiteral("Convergence: ") + FConvergence.Title);
}

QValueAxis* TResultsChartView::valueAxis(double low, double high) const {
    // Zero always on the axis, a little room beyond the longest bars.
    auto* y = new QValueAxis;
    const double pad = (high - low) * 0.05;
    if (high - low > 0) {
        y->setRange(low < 0 ? low - pad : 0, high > 0 ? high + pad : 0);
        y->applyNiceNumbers();
    } else {
        y->setRange(-1, 1);
    }
    return y;
}

void TResultsChartView::showBarTip(bool on, int index, QBarSet* set) {
    if (!on) {
        QToolTip::hideText();
        return;
    }
    const size_t k = size_t(set->property("series").toInt());
    if (k >= FData.Series.size() || index < 0 || size_t(index) >= FData.Series[k].Values.size()) {
        return;
    }
    const TChartSeries& s = FData.Series[k];
    QString text = set->label() + QStringLiteral("\n") + FData.Categories.value(index) +
                   QStringLiteral(" = ") + ChartNumber(s.Values[size_t(index)]);
    if (Kind() == ckResults && s.Exogenous[size_t(index)]) {
        text += QStringLiteral(" (exogenous)");
    }
    QToolTip::showText(QCursor::pos(), text, FView);
}

void TResultsChartView::buildResults() {
    FData = ResultsChartData(FDoc.Experiment().Solutions, ChosenVariables());
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
    connect(series, &QBarSeries::hovered, this,
            [this](bool on, int index, QBarSet* set) { showBarTip(on, index, set); });
    for (int k = 0; k < sets.size(); ++k) {
        sets[k]->setProperty("series", k);
    }
    auto* x = new QBarCategoryAxis;
    x->append(FData.Categories);
    x->setTitleText(QStringLiteral("Pale bars: exogenous values"));
    QValueAxis* y = valueAxis(low, high);
    y->setTitleText(QStringLiteral("% change (delB: change)"));
    FChart->addAxis(x, Qt::AlignBottom);
    FChart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->legend()->setShowToolTips(true);
    FChart->setTitle(QStringLiteral("Results"));
}

void TResultsChartView::applyLook() {
    // The screen font and the light or dark palette of the window.
    const QPalette pal = QApplication::palette(FView);
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
    }
    // The axes' numbers with the program's decimal separator: the locale's,
    // or the point when the settings force it.
    FChart->setLocalizeNumbers(!kv::ForceDecimalPoint());
    FChart->setLocale(QLocale());
}

void TResultsChartView::showEvent(QShowEvent* event) {
    fitListWidth();
    if (FStale) {
        Rebuild();
    }
    QWidget::showEvent(event);
}

void TResultsChartView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        applyLook();
        fitListWidth();
    }
    QWidget::changeEvent(event);
}

void TResultsChartView::fitListWidth() {
    // The longest name beside its check box, with the margins, and the
    // scroll bar, in the list's font as it is shown.
    QStyleOptionViewItem option;
    option.initFrom(FList);
    const QFontMetrics metrics = FList->fontMetrics();
    int names = 0;
    for (Variable v = 1; v <= NumVars; ++v) {
        names = std::max(names, metrics.horizontalAdvance(QString::fromStdString(VarName(v))));
    }
    const QStyle* style = FList->style();
    FList->setFixedWidth(names + style->pixelMetric(QStyle::PM_IndicatorWidth, &option, FList) +
                         4 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, FList) +
                         2 * metrics.averageCharWidth() +
                         style->pixelMetric(QStyle::PM_ScrollBarExtent, &option, FList) +
                         2 * FList->frameWidth());
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
