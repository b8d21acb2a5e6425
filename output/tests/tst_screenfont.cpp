// The screen font against a real font system: the menu-bar probe, the cached
// defaults and fonts fitted to a cell height.
#include "screenfont.h"

#include <QApplication>
#include <QFontMetrics>
#include <QtTest>

class TestScreenFont : public QObject {
    Q_OBJECT
private slots:
    void defaultsArePositiveAndCached() {
        QVERIFY(FontSizeCalc() > 0);
        const int size = DefaultFontSize();
        const int height = DefaultFontHeight();
        QVERIFY(size > 0);
        QVERIFY(height > 0);
        QCOMPARE(DefaultFontSize(), size);
        QCOMPARE(DefaultFontHeight(), height);
        QVERIFY(MenuFontHeight() < 0);
        QVERIFY(!DefaultFontName().isEmpty());
        QVERIFY(!DefaultMonoFontName().isEmpty());
    }

    void setDefaultFontUsesNameAndCellHeight() {
        QFont font;
        SetDefaultFont(font);
        QCOMPARE(font.family(), DefaultFontName());
        const QFontMetrics fm(font);
        QVERIFY(fm.ascent() + fm.descent() <= DefaultFontHeight());
    }

    void applyScreenFontFitsTheCell_data() {
        QTest::addColumn<int>("height");
        for (int h : {8, 13, 16, 20, 26, 40}) {
            QTest::addRow("%d", h) << h;
        }
    }
    void applyScreenFontFitsTheCell() {
        QFETCH(int, height);
        QFont font;
        const QString name = DefaultFontName();
        ApplyScreenFont(font, static_cast<quint16>(height), name);
        QCOMPARE(font.family(), name);
        const QFontMetrics fm(font);
        const int cell = fm.ascent() + fm.descent();
        QVERIFY2(cell <= height, qPrintable(QString::number(cell)));
        // The next pixel size up would no longer fit.
        QFont bigger(font);
        bigger.setPixelSize(font.pixelSize() + 1);
        const QFontMetrics fmBigger(bigger);
        QVERIFY(fmBigger.ascent() + fmBigger.descent() > height);
    }
};

QTEST_MAIN(TestScreenFont)
#include "tst_screenfont.moc"
