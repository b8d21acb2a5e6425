// Every text of every grid page readable on its background in a light and in
// a dark desktop palette: a contrast ratio of at least 4.5 to 1, computed
// here from the colours the grids draw (cells, headings, the active cell, red
// negatives, the editor and its error state).
#include "pagesfixture.h"

#include <QPainter>
#include <QStyle>
#include <cmath>

namespace {

// The relative luminance and contrast ratio as the accessibility guidelines
// define them.
double luminance(const QColor& colour) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(53, 53, 53);
    const QColor text(238, 238, 238);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, QColor(15, 15, 15));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    return p;
}

struct TCheck {
    QString Where;
    QColor Text;
    QColor Background;
};

} // namespace

class TestContrast : public QObject {
    Q_OBJECT

    QPalette FSaved;

private slots:
    void initTestCase() { FSaved = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(FSaved); }

    void everyCellStyleOfEveryPage_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }
    void everyCellStyleOfEveryPage() {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        TPagesFixture f;
        QList<TCheck> checks;
        const auto editor = [&checks](TGrid* grid, const QString& where) {
            TNumericEditor* e = grid->Editor();
            QVERIFY(e);
            checks.append({where + " editor", e->palette().color(QPalette::Text),
                           e->palette().color(QPalette::Base)});
            f_typeRefused(e);
            checks.append({where + " editor refusing", e->palette().color(QPalette::Text),
                           e->palette().color(QPalette::Base)});
            QTest::keyClick(e, Qt::Key_Escape);
            QTest::keyClick(e, Qt::Key_Return);
        };
        const auto cells = [&checks](TGrid* grid, const QString& where) {
            for (int r = 0; r < grid->RowCount(); ++r) {
                for (int c = 0; c < grid->ColCount(); ++c) {
                    const TCellColours colours = grid->CellColours(r, c);
                    checks.append({QString("%1 (%2,%3)").arg(where).arg(r).arg(c), colours.Text,
                                   colours.Background});
                }
            }
        };
        // Negative flows in red (a derived and an editable cell), an open
        // editor and its error state.
        QVERIFY(f.GoTo(piData));
        QVERIFY(f.EnterValue(5, 1, "40"));
        QVERIFY(f.EnterValue(2, 2, "-1"));
        cells(f.DataGrid(), "Data with negative flows");
        QTest::mouseClick(f.DataGrid()->viewport(), Qt::LeftButton, {},
                          f.DataGrid()->CellRect(2, 1).center());
        editor(f.DataGrid(), "Data");
        QVERIFY(f.EnterValue(5, 1, "20"));
        QVERIFY(f.EnterValue(2, 2, "1"));
        QVERIFY(f.GoTo(piShocks));
        TGrid* shocks = f.Shocks()->ExoTable();
        QTest::mouseClick(shocks->viewport(), Qt::LeftButton, {}, shocks->CellRect(3, 1).center());
        editor(shocks, "Shocks");
        f.SolveWith(1, "Sim 1");

        for (int page :
             {int(piData), int(piTableau), int(piShocks), int(piResults), int(piUpdatedData)}) {
            QVERIFY(f.GoTo(page));
            TGrid* grid = f.Form->Page(page)->findChild<TGrid*>();
            QVERIFY(grid);
            cells(grid, f.Form->Page(page)->objectName());
        }
        QVERIFY(checks.size() > 2000);
        for (const TCheck& check : checks) {
            const double ratio = contrast(check.Text, check.Background);
            QVERIFY2(ratio >= 4.5,
                     qPrintable(QString("%1: %2 on %3, %4:1")
                                    .arg(check.Where, check.Text.name(), check.Background.name())
                                    .arg(ratio, 0, 'f', 2)));
        }
    }

    // In the dark palette the fixed colours keep their hues: the Shocks
    // labels on a dark cyan, the editable values green; and the grid draws
    // what it reports.
    void darkCounterpartsOfTheSameHue() {
        QApplication::setPalette(darkPalette());
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        TGrid* shocks = f.Shocks()->ExoTable();
        const TCellColours label = shocks->CellColours(1, 0);
        QCOMPARE(label.Background.hslHue(), 180);
        QVERIFY(label.Background.lightness() < 128);
        const QImage picture = shocks->grab().toImage();
        const QRect cell = shocks->CellRect(1, 0);
        // The fixed column is the vertical heading, left of the viewport.
        const QPoint inside(cell.right() - 3, shocks->viewport()->y() + cell.bottom() - 3);
        QCOMPARE(picture.pixelColor(inside), label.Background);
        QVERIFY(f.GoTo(piData));
        const TCellColours value = f.DataGrid()->CellColours(1, 1);
        QCOMPARE(value.Text.hslHue(), 120);
        QVERIFY(value.Text.lightness() > value.Background.lightness());
    }

private:
    static void f_typeRefused(TNumericEditor* e) {
        e->selectAll();
        QTest::keyClicks(e, "600");
        QTest::keyClick(e, Qt::Key_Return);
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
