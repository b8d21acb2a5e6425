// Print, save and copy from the main window's menu, with the toolkit's own
// dialogs: each table page comes out on the clipboard, in the file and in
// the printout exactly as its grid shows it.
#include "../../frame/tests/modalwatch.h"
#include "../../output/tests/pdftext.h"
#include "../../output/tests/savedtext.h"
#include "decimalsep.h"
#include "gridpage.h"
#include "pagesfixture.h"
#include "printertextoutput.h"

#include <QClipboard>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace kv;
using kvtest::Fields;
using kvtest::Words;

namespace {

// What the grid shows, cell by cell.
QList<QStringList> GridCells(const TGrid& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.ColCount(); ++c) {
            row << grid.GridModel()->CellText(r, c);
        }
        rows << row;
    }
    return rows;
}

} // namespace

class TestOutputMenus : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    // Solves three experiments from the window as the user does, then shows
    // page; the dialogs of the solving are forgotten.
    static void ShowPage(TPagesFixture& f, int page) {
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(1, QStringLiteral("-10")));
        f.SolveWith(1, QStringLiteral("Sim A"));
        QVERIFY(f.EnterShock(2, QStringLiteral("5")));
        f.SolveWith(2, QStringLiteral("Sim B"));
        f.SolveWith(4, QStringLiteral("Sim C"));
        QCOMPARE(f.E().Solutions.Count, 3);
        QVERIFY(f.GoTo(page));
        QVERIFY(f.Form->Save1->isEnabled());
        f.Dialogs.clear();
    }

    static TGrid* Grid(TPagesFixture& f) {
        auto* page = qobject_cast<TGridPage*>(f.Form->CurrentPage());
        return page ? page->Grid() : nullptr;
    }

    // The dialogs of the fixture's recorder, less the warning about a missing
    // printer that a machine without printers shows before the print dialog.
    static QList<TShownDialog> ErrorDialogs(const TPagesFixture& f) {
        QList<TShownDialog> errors;
        for (const TShownDialog& d : f.Dialogs) {
            if (d.Kind != mkWarning) {
                errors << d;
            }
        }
        return errors;
    }

private slots:
    void initTestCase() { QVERIFY(FDir.isValid()); }

    void pages_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::newRow("Data") << int(piData) << 12 << 7;
        QTest::newRow("Tableau") << int(piTableau) << 40 << 53;
        QTest::newRow("Results") << int(piResults) << 53 << 4;
        QTest::newRow("Updated Data") << int(piUpdatedData) << 12 << 7;
    }

    void copyAgreesWithTheGrid_data() { pages_data(); }
    void copyAgreesWithTheGrid() {
        QFETCH(int, page);
        TPagesFixture f;
        ShowPage(f, page);
        QGuiApplication::clipboard()->clear();
        f.Form->Copy1->trigger();
        QVERIFY(f.Dialogs.isEmpty());
        QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        QList<QStringList> copied;
        for (const QString& line : lines) {
            copied << line.split(QLatin1Char('\t'));
        }
        QFETCH(int, rows);
        QFETCH(int, cols);
        QCOMPARE(copied.size(), rows);
        QCOMPARE(copied[0].size(), cols);
        QCOMPARE(copied, GridCells(*Grid(f)));
    }

    void saveAgreesWithTheGrid_data() { pages_data(); }
    void saveAgreesWithTheGrid() {
        QFETCH(int, page);
        TPagesFixture f;
        ShowPage(f, page);
        const QString file = FDir.filePath(QStringLiteral("page%1.csv").arg(page));
        WhenModalShown([file](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            QVERIFY(fd);
            fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
            static_cast<QDialog*>(fd)->accept();
        });
        f.Form->Save1->trigger();
        QVERIFY(f.Dialogs.isEmpty());
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(saved.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString());
        QList<QStringList> fields;
        for (const QString& line : lines) {
            fields << Fields(line, CsvSeparator());
        }
        QCOMPARE(fields, GridCells(*Grid(f)));
    }

    void printAgreesWithTheGrid_data() { pages_data(); }
    void printAgreesWithTheGrid() {
        QFETCH(int, page);
        TPagesFixture f;
        ShowPage(f, page);
        const QString pdf = FDir.filePath(QStringLiteral("page%1.pdf").arg(page));
        QPrinter& printer = f.Form->OutputCommands().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        WhenModalShown([](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
        const QDateTime before = QDateTime::currentDateTime();
        f.Form->PrintCurrentScreen1->trigger();
        QVERIFY(ErrorDialogs(f).isEmpty());
        QVERIFY(f.Errors.isEmpty());
        // The busy state has ended.
        QVERIFY(f.Form->isEnabled());
        QCOMPARE(f.Form->StatusText(), QStringLiteral(" "));

        // The expected printout of the grid's cells on the printer's measures.
        const QList<QStringList> cells = GridCells(*Grid(f));
        TSimTab T;
        QString msg;
        QVERIFY(MakeSimTabFromRule(
            T, cells.size(), cells[0].size(), [&](int r, int c) { return cells[r][c]; }, msg));
        const TPrinterMetrics m = MeasurePrinter(printer, PrinterFont());
        TStringTextOutput expected;
        const QString title = f.Form->CurrentPageTable()->PrintTitle;
        QVERIFY(WriteSimTabAsText(T, expected, m.PageLen(), m.PageWidth(), PrintoutHeader(before),
                                  title, msg));

        const kvtest::PdfText text = kvtest::ReadPdfText(pdf);
        QVERIFY2(text.Ok, qPrintable(text.Error));
        const QStringList expectedPages = expected.Text().split(QChar(12));
        QCOMPARE(text.Pages.size(), expectedPages.size());
        for (int p = 0; p < expectedPages.size(); ++p) {
            QStringList got = Words(text.Pages[p]);
            QStringList want = Words(expectedPages[p]);
            // The page line carries the time of the printout.
            QVERIFY2(got.value(0).startsWith(
                         QStringLiteral("Page %1 of WinVELMAR Printout: ").arg(p + 1)),
                     qPrintable(got.value(0)));
            got.removeFirst();
            want.removeFirst();
            QCOMPARE(got, want);
        }
    }

    // The standard shortcuts beside the access keys: Ctrl+C copies the page's
    // table unless a text box has the focus (it copies its own text), Ctrl+P
    // prints the page (nothing on a page without a table), Ctrl+Q exits.
    void standardShortcuts() {
        TPagesFixture f;
        QVERIFY(f.GoTo(piData));
        TGrid* grid = f.DataGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 0).center());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        f.Press(Qt::Key_C, Qt::ControlModifier);
        const QStringList lines =
            QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[1].split(QLatin1Char('\t')).value(1), QStringLiteral("10.00"));
        // In an open editor Ctrl+C copies its selected text.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 1).center());
        QVERIFY(grid->IsEditing());
        f.Press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(grid->IsEditing());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("15.00"));
        f.Press(Qt::Key_Escape);
        f.Press(Qt::Key_Return);

        QString shown;
        WhenModalShown([&shown](QWidget* w) {
            shown = QString::fromLatin1(w->metaObject()->className());
            qobject_cast<QDialog*>(w)->reject();
        });
        f.Press(Qt::Key_P, Qt::ControlModifier);
        QTRY_COMPARE(shown, QStringLiteral("QPrintDialog"));
        QVERIFY(ErrorDialogs(f).isEmpty());

        // The window active again after the dialog, as the desktop makes it.
        f.Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.Form.get()));
        QVERIFY(f.GoTo(piClosure));
        // A dialog that opened would be closed and named here; none opens.
        shown.clear();
        QTimer::singleShot(200, [&shown] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = QString::fromLatin1(dialog->metaObject()->className());
                dialog->reject();
            }
        });
        f.Press(Qt::Key_P, Qt::ControlModifier);
        f.Press(Qt::Key_C, Qt::ControlModifier);
        QTest::qWait(300);
        QVERIFY(shown.isEmpty());
        QVERIFY(ErrorDialogs(f).isEmpty());

        f.Press(Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!f.Form->isVisible());
    }

    // Every file Save writes reads back through Python's csv module into the
    // cells the grid shows (and the empty field after the last separator),
    // with titles that hold quotes, both separators, line-edit oddities and
    // characters beyond ASCII; in a point locale and in a comma locale.
    void savedFilesReadBackThroughPythonsCsv_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("point locale, separator ,") << QLocale(QLocale::English);
        QTest::newRow("comma locale, separator ;") << QLocale(QLocale::German);
    }
    void savedFilesReadBackThroughPythonsCsv() {
        QFETCH(QLocale, locale);
        struct TLocaleGuard {
            QLocale Before;
            ~TLocaleGuard() { QLocale::setDefault(Before); }
        } guard;
        QLocale::setDefault(locale);
        // Titles of at most 8 characters, the most the title box takes.
        const QStringList titles{QStringLiteral("\"hi\", ok"),
                                 QStringLiteral("a;b\"c;\""),
                                 QStringLiteral("\""),
                                 QStringLiteral(" pad, "),
                                 QStringLiteral("#-1 \u00d6\u20ac"),
                                 QStringLiteral("=1+2,\"\"")};
        TPagesFixture f;
        QVERIFY(f.GoTo(piShocks));
        QVERIFY(f.EnterShock(1, QStringLiteral("-10")));
        for (int k = 0; k < titles.size(); ++k) {
            QVERIFY(f.GoTo(piSolve));
            QLineEdit* edit = f.Solve()->SolNameEditBox();
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            // Key events carry the characters beyond ASCII as their text.
            for (const QChar ch : titles[k]) {
                if (ch.unicode() < 128) {
                    QTest::keyClick(edit, char(ch.unicode()));
                } else {
                    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch),
                                        Qt::NoModifier);
                }
            }
            QCOMPARE(edit->text(), titles[k]);
            QTest::mouseClick(f.Solve()->SolveButton(), Qt::LeftButton);
        }
        QCOMPARE(f.E().Solutions.Count, int(titles.size()));
        f.Dialogs.clear();

        QStringList files;
        QList<QList<QStringList>> expected;
        for (int page : {int(piData), int(piTableau), int(piResults), int(piUpdatedData)}) {
            QVERIFY(f.GoTo(page));
            // A file of its own for each locale: Save asks before it replaces one.
            const QString file =
                FDir.filePath(QStringLiteral("roundtrip%1-%2.csv").arg(page).arg(locale.name()));
            // The dialog starts from the last file saved, selected in its list;
            // typing a name in the focused name box replaces that selection.
            WhenModalShown([file](QWidget* w) {
                auto* fd = qobject_cast<QFileDialog*>(w);
                QVERIFY(fd);
                auto* name = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                fd->activateWindow();
                name->setFocus();
                QVERIFY(QTest::qWaitFor([name] { return name->hasFocus(); }, 3000));
                name->selectAll();
                QTest::keyClicks(name, file);
                QTest::keyClick(name, Qt::Key_Return);
            });
            f.Form->Save1->trigger();
            QVERIFY(f.Dialogs.isEmpty());
            QVERIFY2(QFile::exists(file), qPrintable(file));
            QList<QStringList> cells = GridCells(*Grid(f));
            for (QStringList& row : cells) {
                row << QString(); // the field after the row's last separator
            }
            if (page == piResults) {
                QCOMPARE(cells[0].mid(1, titles.size()), titles);
            }
            files << file;
            expected << cells;
        }
        QProcess python;
        python.start(QStringLiteral(WINVELMAR_PYTHON),
                     QStringList{QStringLiteral(WINVELMAR_CSVCELLS), QString(CsvSeparator())} +
                         files);
        QVERIFY(python.waitForFinished(30000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonArray tables = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(tables.size(), files.size());
        for (int i = 0; i < files.size(); ++i) {
            QList<QStringList> read;
            for (const QJsonValue& row : tables[i].toArray()) {
                QStringList cells;
                for (const QJsonValue& cell : row.toArray()) {
                    cells << cell.toString();
                }
                read << cells;
            }
            QCOMPARE(read, expected[i]);
        }
    }

    // Print Setup's choices reach the printouts: one printer for the window.
    void printSetupKeepsTheWindowsPrinter() {
        TPagesFixture f;
        QPrinter& printer = f.Form->OutputCommands().Printer();
        printer.setPageOrientation(QPageLayout::Portrait);
        WhenModalShown([](QWidget* w) {
            auto* landscape = w->findChild<QRadioButton*>(QStringLiteral("landscape"));
            QVERIFY(landscape);
            landscape->click();
            qobject_cast<QDialog*>(w)->accept();
        });
        f.Form->PrintSetup->trigger();
        QCOMPARE(f.Form->OutputCommands().Printer().pageLayout().orientation(),
                 QPageLayout::Landscape);
        QCOMPARE(&f.Form->OutputCommands().Printer(), &printer);
    }
};

QTEST_MAIN(TestOutputMenus)
#include "tst_outputmenus.moc"
