// The printer text stream, printing to a PDF file that is read back as text.
#include "printertextoutput.h"

#include "errors.h"
#include "pdftext.h"

#include <QFontInfo>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace kv;

namespace {

// A PDF printer on A4 writing into dir.
struct PdfPrinter {
    explicit PdfPrinter(const QString& fileName) : Printer(QPrinter::HighResolution) {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(fileName);
        Printer.setPageSize(QPageSize(QPageSize::A4));
    }
    QPrinter Printer;
};

QStringList NonEmptyLines(const QString& page) {
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    return lines;
}

} // namespace

class TestPrinterTextOutput : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString Pdf(const QString& name) const { return FDir.filePath(name + QStringLiteral(".pdf")); }

    static kvtest::PdfText Read(const QString& fileName,
                                const QStringList& args = {QStringLiteral("-layout")}) {
        kvtest::PdfText text = kvtest::ReadPdfText(fileName, args);
        if (!text.Ok) {
            qWarning("%s", qPrintable(text.Error));
        }
        return text;
    }

private slots:
    void printerFontFamily_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("installed") << QStringList{"Arial", "Courier New"} << "Courier New";
        QTest::newRow("spelled as installed") << QStringList{"COURIER NEW"} << "COURIER NEW";
        QTest::newRow("missing") << QStringList{"Arial", "Courier"} << "Fixed Fallback";
    }
    void printerFontFamily() {
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QCOMPARE(PrinterFontFamily(installed, QStringLiteral("Fixed Fallback")), expected);
    }

    void printerFontIsNinePointFixedPitch() {
        const QFont font = PrinterFont();
        QCOMPARE(font.pointSize(), 9);
        QVERIFY(QFontInfo(font).fixedPitch());
    }

    void linesKeepTheirOrderAndSpacing() {
        PdfPrinter p(Pdf(QStringLiteral("lines")));
        TPrinterTextOutput out(p.Printer);
        out.Open();
        out.Write(u"first line");
        out.WriteLn();
        out.WriteLn();
        out.Write(u"    indented");
        out.WriteChar(QLatin1Char('!'));
        out.WriteLn();
        out.Write(u"ab\r\ncd");
        QVERIFY(out.Close());
        QCOMPARE(out.PageCount(), 1);

        const kvtest::PdfText text = Read(p.Printer.outputFileName());
        QVERIFY(text.Ok);
        QCOMPARE(text.Pages.size(), 1);
        const QStringList lines = text.Pages[0].split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("first line"));
        QCOMPARE(lines.value(1), QString());
        // pdftotext keeps the indent, though not always to the blank.
        QVERIFY(lines.value(2).startsWith(QStringLiteral("    ")));
        QCOMPARE(lines.value(2).trimmed(), QStringLiteral("indented!"));
        QCOMPARE(lines.value(3), QStringLiteral("ab"));
        QCOMPARE(lines.value(4), QStringLiteral("cd"));
    }

    void formFeedStartsTheNextPage() {
        PdfPrinter p(Pdf(QStringLiteral("formfeed")));
        TPrinterTextOutput out(p.Printer);
        out.Open();
        out.Write(u"page one");
        out.WriteLn();
        out.WriteChar(QChar(12));
        out.WriteLn();
        out.Write(u"page two\fpage three");
        out.WriteLn();
        QVERIFY(out.Close());
        QCOMPARE(out.PageCount(), 3);

        const kvtest::PdfText text = Read(p.Printer.outputFileName());
        QVERIFY(text.Ok);
        QCOMPARE(text.Pages.size(), 3);
        QCOMPARE(NonEmptyLines(text.Pages[0]), QStringList{"page one"});
        QCOMPARE(NonEmptyLines(text.Pages[1]), QStringList{"page two"});
        QCOMPARE(NonEmptyLines(text.Pages[2]), QStringList{"page three"});
    }

    // The measured line height and page height decide where the stream breaks
    // the page by itself; a form feed right after a full page adds no empty one.
    void fullPageBreaksByItself() {
        PdfPrinter p(Pdf(QStringLiteral("overflow")));
        const TPrinterMetrics m = MeasurePrinter(p.Printer, PrinterFont());
        const int perPage = m.Lines();
        QVERIFY(perPage > 20);
        TPrinterTextOutput out(p.Printer);
        out.Open();
        for (int i = 1; i <= perPage; ++i) {
            out.Write(QStringLiteral("line %1").arg(i));
            out.WriteLn();
        }
        out.WriteChar(QChar(12));
        for (int i = perPage + 1; i <= perPage + 3; ++i) {
            out.Write(QStringLiteral("line %1").arg(i));
            out.WriteLn();
        }
        QVERIFY(out.Close());
        QCOMPARE(out.PageCount(), 2);

        const kvtest::PdfText text = Read(p.Printer.outputFileName());
        QVERIFY(text.Ok);
        QCOMPARE(text.Pages.size(), 2);
        const QStringList first = NonEmptyLines(text.Pages[0]);
        QCOMPARE(first.size(), perPage);
        QCOMPARE(first.first(), QStringLiteral("line 1"));
        QCOMPARE(first.last(), QStringLiteral("line %1").arg(perPage));
        QCOMPARE(NonEmptyLines(text.Pages[1]).first(), QStringLiteral("line %1").arg(perPage + 1));
    }

    // A line of PageWidth characters starts at the left edge of the printable
    // area and stays inside it, in portrait and in landscape.
    void pageWidthFitsThePrintableArea_data() {
        QTest::addColumn<int>("orientation");
        QTest::newRow("portrait") << int(QPageLayout::Portrait);
        QTest::newRow("landscape") << int(QPageLayout::Landscape);
    }
    void pageWidthFitsThePrintableArea() {
        QFETCH(int, orientation);
        PdfPrinter p(Pdf(QStringLiteral("width%1").arg(orientation)));
        p.Printer.setPageOrientation(QPageLayout::Orientation(orientation));
        const TPrinterMetrics m = MeasurePrinter(p.Printer, PrinterFont());
        QVERIFY(m.CharW > 0);
        QVERIFY(m.PageWidth() > 60);
        QCOMPARE(m.PageLen(), m.Lines() - 6);
        QString line;
        for (int i = 0; i < m.PageWidth(); ++i) {
            line += QChar('0' + i % 10);
        }
        TPrinterTextOutput out(p.Printer);
        out.Open();
        out.Write(line);
        out.WriteLn();
        QVERIFY(out.Close());

        const kvtest::PdfText text = Read(p.Printer.outputFileName(), {QStringLiteral("-bbox")});
        QVERIFY(text.Ok);
        const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>([^<]*)<"));
        const QRegularExpressionMatch match = word.match(text.Pages.join(QString()));
        QVERIFY(match.hasMatch());
        QCOMPARE(match.captured(3), line);
        const QRectF printable = p.Printer.pageLayout().paintRect(QPageLayout::Point);
        QVERIFY2(qAbs(match.captured(1).toDouble() - printable.left()) < 1.5,
                 qPrintable(match.captured(1)));
        QVERIFY2(match.captured(2).toDouble() <= printable.right() + 0.5,
                 qPrintable(match.captured(2)));
    }

    void writingNeedsAnOpenStream() {
        PdfPrinter p(Pdf(QStringLiteral("closed")));
        TPrinterTextOutput out(p.Printer);
        QVERIFY(out.Close()); // never opened
        QVERIFY_THROWS_EXCEPTION(EInOutError, out.Write(u"x"));
        QVERIFY_THROWS_EXCEPTION(EInOutError, out.WriteLn());
        out.Open();
        out.Write(u"x");
        QVERIFY(out.Close());
        QVERIFY(!out.IsOpen());
        QVERIFY_THROWS_EXCEPTION(EInOutError, out.WriteChar(QLatin1Char('y')));
    }

    // The job starts with the first character: a stream closed without
    // output prints nothing at all.
    void nothingWrittenPrintsNothing() {
        PdfPrinter p(Pdf(QStringLiteral("empty")));
        TPrinterTextOutput out(p.Printer);
        out.Open();
        out.SetFont(PrinterFont());
        QVERIFY(!out.JobStarted());
        QVERIFY(out.Close());
        QCOMPARE(out.PageCount(), 0);
        QVERIFY(!QFile::exists(p.Printer.outputFileName()));
    }

    void jobThatCannotStartRaisesAtTheFirstWrite() {
        PdfPrinter p(FDir.filePath(QStringLiteral("missing/folder/out.pdf")));
        TPrinterTextOutput out(p.Printer);
        out.Open();
        try {
            out.WriteLn();
            QFAIL("writing succeeded into a folder that does not exist");
        } catch (const EInOutError& e) {
            QVERIFY2(QString::fromStdString(e.message()).contains(QStringLiteral("missing/folder")),
                     e.what());
        }
        QVERIFY(!out.JobStarted());
        QVERIFY(out.Close());
    }

    // A new job after a closed one starts afresh on page 1.
    void reopenStartsAFreshJob() {
        PdfPrinter p(Pdf(QStringLiteral("again")));
        TPrinterTextOutput out(p.Printer);
        out.Open();
        out.Write(u"old\f");
        QVERIFY(out.Close());
        out.Open();
        out.Write(u"new");
        QVERIFY(out.Close());
        QCOMPARE(out.PageCount(), 1);
        const kvtest::PdfText text = Read(p.Printer.outputFileName());
        QVERIFY(text.Ok);
        QCOMPARE(text.Pages.size(), 1);
        QCOMPARE(NonEmptyLines(text.Pages[0]), QStringList{"new"});
    }
};

QTEST_MAIN(TestPrinterTextOutput)
#include "tst_printertextoutput.moc"
