// The document generator and the three PDF documents the build writes: the
// equations source is checked against the model, every field is filled from
// the model, and the documents beside the executable carry what they should.
#include "docgen.h"
#include "pdfoutline.h"

#include "solve.h"
#include "tableau.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace docgen;

namespace {

const QString AppDir = QStringLiteral(WINVELMAR_APP_DIR);
const QString Sources = QStringLiteral(WINVELMAR_PDF_SOURCES);

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

kv::Data_Real defaults() {
    kv::Data_Real D;
    kv::DefaultData(D);
    return D;
}

} // namespace

class TstDocumentsBuilt : public QObject {
    Q_OBJECT

    EquationSource FSource;

private slots:
    void initTestCase() {
        FSource = ParseEquationSource(readAll(Sources + "/equations.txt"));
        kv::TemFileName = QDir::temp().filePath("kvdocgen-test-TEM").toStdString();
    }

    void formulas_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<double>("value");
        QTest::newRow("cell") << "D(7,3)" << 62.0;
        QTest::newRow("precedence") << "2 + 3 * 4 - 6 / 2" << 11.0;
        QTest::newRow("parentheses") << "2 * (3 + 4)" << 14.0;
        QTest::newRow("unary minus") << "-(1 - D(3,1) / 4)" << -0.75;
        QTest::newRow("left to right") << "D(8,1) - D(1,1) - D(3,1)" << 34.0;
        QTest::newRow("safe ratio") << "SafeRatio(D(1,3), D(7,3), 0.25)" << 17.0 / 62.0;
        QTest::newRow("safe ratio default") << "SafeRatio(1, D(10,1), 1000)" << 1000.0;
        QTest::newRow("name") << "S11 * 62" << 17.0;
    }
    void formulas() {
        QFETCH(QString, formula);
        QFETCH(double, value);
        const QMap<QString, double> names{{"S11", 17.0 / 62.0}};
        QCOMPARE(EvaluateFormula(formula, defaults(), names), value);
    }

    void badFormulas_data() {
        QTest::addColumn<QString>("formula");
        QTest::newRow("zero divisor") << "D(1,1) / D(10,1)";
        QTest::newRow("no such cell") << "D(12,1)";
        QTest::newRow("unknown name") << "S99";
        QTest::newRow("unfinished") << "(1 + 2";
        QTest::newRow("trailing text") << "1 2";
        QTest::newRow("empty") << "";
    }
    void badFormulas() {
        QFETCH(QString, formula);
        QVERIFY_THROWS_EXCEPTION(DocError, EvaluateFormula(formula, defaults(), {}));
    }

    void badSources_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("unknown keyword") << "quantity H | D(7,3) | spending\nsum x | 1"
                                         << "line 2";
        QTest::newRow("term first") << "term x(11)3 | 1"
                                    << "line 1";
        QTest::newRow("skipped number") << "equation 2 | Two"
                                        << "line 1";
        QTest::newRow("term without formula") << "# c\n\nequation 1 | One\nterm x(11)3"
                                              << "line 4";
        QTest::newRow("quantity fields") << "quantity H | D(7,3)"
                                         << "line 1";
        QTest::newRow("too few equations") << "equation 1 | One\nterm c | 1"
                                           << "1 equations";
        QTest::newRow("flow outside the database") << "flow 12,1 | X | nothing"
                                                   << "line 1";
        QTest::newRow("flow named twice") << "flow 1,1 | A | a\nflow 1,1 | B | b"
                                          << "line 2";
    }
    void badSources() {
        QFETCH(QString, text);
        QFETCH(QString, where);
        try {
            ParseEquationSource(text);
            QFAIL("no error");
        } catch (const DocError& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(where), e.what());
        }
    }

    // The source the documents are written from agrees with the program's
    // tableau on the default database and on another one.
    void sourceDescribesTheModel() {
        QCOMPARE(FSource.Equations.size(), std::size_t(39));
        QCOMPARE(CheckAgainstModel(FSource, defaults()), QStringList());
        kv::Data_Real other = defaults();
        other(10, 1) = 2;
        other(2, 3) = 30;
        QVERIFY(!kv::DeriveData(other));
        QCOMPARE(CheckAgainstModel(FSource, other), QStringList());
    }

    // A documented formula that differs from the program is caught, and so
    // is a missing or an extra term.
    void driftIsCaught() {
        EquationSource wrong = FSource;
        wrong.Equations[0].Terms[2].Formula = "1 + S11 - si1";
        QStringList faults = CheckAgainstModel(wrong, defaults());
        QCOMPARE(faults.size(), 1);
        QVERIFY2(faults[0].startsWith("equation 1, p(11):"), qPrintable(faults[0]));

        wrong = FSource;
        wrong.Equations[31].Terms.pop_back(); // equation 32 without k1
        wrong.Equations[32].Terms.push_back({"phi", "1"});
        faults = CheckAgainstModel(wrong, defaults());
        QCOMPARE(faults.size(), 2);
        QVERIFY2(faults[0].startsWith("equation 32, k1:"), qPrintable(faults[0]));
        QVERIFY2(faults[1].startsWith("equation 33, phi:"), qPrintable(faults[1]));

        wrong = FSource;
        wrong.Equations[4].Terms.push_back({"x(99)", "1"});
        faults = CheckAgainstModel(wrong, defaults());
        QCOMPARE(faults, QStringList{"equation 5: no variable is named \"x(99)\""});
    }

    void presentation() {
        const QString minus(QChar(0x2212));
        QCOMPARE(FormatNumber(-1.5, 3), minus + "1.500");
        QCOMPARE(FormatNumber(-0.0004, 3), QStringLiteral("0.000"));
        QCOMPARE(FormatNumber(2.0 / 3.0, 6), QStringLiteral("0.666667"));
        QCOMPARE(LinearFormHtml(FSource.Equations[0], FSource),
                 "x(11)3 " + minus + " c + (1 + S11 " + minus + " sd1)\u00b7p(11) + (S12 " + minus +
                     " si1)\u00b7p(12) + S21\u00b7p(21) + S22\u00b7p(22) = 0");
        QCOMPARE(LinearFormHtml(FSource.Equations[15], FSource),
                 "x(32)1 " + minus + " z1 " + minus + " (1 " + minus + " b1)\u00b7p(31) + (1 " +
                     minus + " b1)\u00b7p(32)1 = 0");
    }

    // Coefficients are written as fractions of named flows: a division is a
    // numerator cell ruled off from its denominator, a database cell is its
    // flow's symbol, and no programming notation is left.
    void fractionsOfNamedFlows_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("cells"); // the row's cells, fractions as "num|den"
        const QString minus(QChar(0x2212));
        QTest::newRow("share") << "D(3,1) / (D(3,1) + D(1,1))"
                               << QStringList{"V<sub>(12)1</sub>|V<sub>(12)1</sub> + "
                                              "V<sub>(11)1</sub>"};
        QTest::newRow("sign before the fraction")
            << "-D(6,2) / D(7,2)" << QStringList{minus, "V<sub>(32)2</sub>|T<sub>2</sub>"};
        QTest::newRow("product of fractions")
            << "-(D(4,6) / MT) * (D(4,3) / u2)"
            << QStringList{minus, "M<sub>2</sub>|MT", "\u00b7", "V<sub>(22)3</sub>|u2"};
        QTest::newRow("share with a default")
            << "SafeRatio(D(1,3), D(7,3), 0.25)"
            << QStringList{"V<sub>(11)3</sub>|H", ", or 0.25 when the denominator is 0"};
    }
    void fractionsOfNamedFlows() {
        QFETCH(QString, formula);
        QFETCH(QStringList, cells);
        const QString html = FormulaHtml(formula, FSource);
        // Read the one-row table back: a fraction is a nested table of two rows.
        static const QRegularExpression fraction(
            "<td valign=\"middle\"><table cellspacing=\"0\" cellpadding=\"1\"><tr><td "
            "align=\"center\" style=\"border-bottom: 1px solid black\">(.*?)</td></tr><tr><td "
            "align=\"center\">(.*?)</td></tr></table></td>");
        QString rest = html;
        rest.replace(fraction, "<td>\\1|\\2</td>");
        QVERIFY2(rest.startsWith("<table cellspacing=\"0\" cellpadding=\"0\"><tr>"),
                 qPrintable(html));
        rest.remove(QRegularExpression("^<table[^>]*><tr>"))
            .remove(QRegularExpression("</tr></table>$"));
        QStringList read;
        for (const QRegularExpressionMatch& m :
             QRegularExpression("<td[^>]*>(.*?)</td>").globalMatch(rest)) {
            read << m.captured(1);
        }
        QCOMPARE(read, cells);
    }

    // Every formula of the source has a symbol for each cell it uses, and
    // none shows programming notation.
    void everyFormulaIsWrittenWithFlows() {
        QStringList formulas;
        for (const Quantity& q : FSource.Quantities) {
            formulas << q.Formula;
        }
        for (const EquationDoc& eq : FSource.Equations) {
            for (const Term& t : eq.Terms) {
                formulas << t.Formula;
            }
        }
        for (const QString& f : formulas) {
            const QString html = FormulaHtml(f, FSource);
            QVERIFY2(!html.contains("D(") && !html.contains("SafeRatio") && !html.contains('*'),
                     qPrintable(f + " -> " + html));
        }
        EquationSource withoutFlows = FSource;
        withoutFlows.Flows.erase({7, 3});
        QVERIFY_THROWS_EXCEPTION(DocError, FormulaHtml("D(1,3) / D(7,3)", withoutFlows));
    }

    // A source line that ends in a word and a hyphen would print "cost- minimising".
    void lineEndHyphens() {
        QCOMPARE(LineEndHyphens("the cost-\nminimising choice\nan input-output table\n- a list\n"),
                 QStringList{"line 1 ends in a hyphen: \"the cost-\""});
        for (const char* source : {"chapter.html", "equations.html", "vars.html"}) {
            QCOMPARE(LineEndHyphens(readAll(Sources + "/" + source)), QStringList());
        }
    }

    void fieldsComeFromTheModel() {
        std::vector<ExperimentRun> runs;
        for (const Experiment& e : DocumentExperiments()) {
            runs.push_back(RunExperiment(e));
        }
        const ExperimentRun t2 = runs[0];
        QVERIFY(std::all_of(t2.Methods.begin(), t2.Methods.end(),
                            [](const MethodRun& m) { return m.Success; }));
        const Generator g(FSource, runs);
        const kv::Variable z1 = kv::FindVariable("z1");
        QCOMPARE(g.Expand("z1 {{value:t2:1:z1:4}} %"), "z1 " + FormatNumber(4.4415, 4) + " %");
        QCOMPARE(g.Expand("{{value:t2:5:z1}}"), FormatNumber(t2.Methods[4].Results(z1), 2));
        QCOMPARE(g.Expand("{{absvalue:t2:1:p(22)}}"), QStringLiteral("10.00"));
        QCOMPARE(g.Expand("{{cell:base:7:6:0}}"), QStringLiteral("181"));
        QCOMPARE(g.Expand("{{homogeneity:phi10}}"), QStringLiteral("less than 0.000001"));
        const QString table = g.Expand("{{experiment:t2:t2,z1}}");
        QVERIFY(table.contains("#" + FormatNumber(-10, 3)));
        QVERIFY(table.contains(FormatNumber(t2.Methods[2].Results(z1), 3)));

        const QStringList wrong{"{{value:t2:6:z1}}",      "{{value:none:1:z1}}",
                                "{{value:t2:1:nothing}}", "{{tables}}",
                                "{{cell:base:12:1:0}}",   "{{value:t2:1:z1"};
        for (const QString& field : wrong) {
            QVERIFY_THROWS_EXCEPTION(DocError, g.Expand(field));
        }
    }

    // The documents beside the executable: each names its credit and none
    // leaves a field unfilled; VARS.pdf names every variable, EQUATION.pdf every
    // equation, and the chapter quotes the model's own results.
    void builtDocuments_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("chapter") << "KRTW-Chapter-2.pdf";
        QTest::newRow("equations") << "EQUATION.pdf";
        QTest::newRow("variables") << "VARS.pdf";
    }
    void builtDocuments() {
        QFETCH(QString, file);
        const QString path = AppDir + "/" + file;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY(readAll(path).startsWith("%PDF-"));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QSKIP("pdftotext is not installed");
        }
        QProcess p;
        p.start("pdftotext", {"-raw", path, "-"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        // Table cells wrap; compare with the line breaks taken out.
        const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
        QVERIFY(text.contains("the WinVELMAR project, 2026"));
        QVERIFY(!text.contains("{{"));
        if (file == "VARS.pdf") {
            for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
                QVERIFY2(text.contains(QString::fromStdString(kv::VarDesc(v))),
                         kv::VarDesc(v).c_str());
            }
        } else if (file == "EQUATION.pdf") {
            for (int i = 1; i <= kv::NumEqs; ++i) {
                QVERIFY2(text.contains(QStringLiteral("Equation %1: ").arg(i)),
                         qPrintable(QString::number(i)));
            }
            // Coefficients are fractions of named flows.
            QVERIFY(!text.contains("D(") && !text.contains("SafeRatio"));
        } else {
            const ExperimentRun t2 = RunExperiment(DocumentExperiments()[0]);
            QVERIFY(text.contains(FormatNumber(t2.Methods[0].Results(kv::FindVariable("z1")), 3)));
            QVERIFY(text.contains(FormatNumber(t2.Methods[4].Results(kv::FindVariable("l")), 3)));
        }

        // The outline holds the headings nested by level, each opening the page
        // that shows it.
        struct Entry {
            int Depth;
            QString Title;
            int Page;
        };
        QList<Entry> entries;
        for (const OutlineEntry& e : ReadOutline(QFile::encodeName(path).toStdString())) {
            entries.append({e.Level - 1, QString::fromStdString(e.Title), e.Page});
        }
        QVERIFY(entries.size() > 2);
        QCOMPARE(entries[0].Depth, 0);
        for (const Entry& e : entries) {
            QVERIFY2(e.Page >= 0, qPrintable(e.Title));
            QProcess onPage;
            onPage.start("pdftotext", {"-raw", "-f", QString::number(e.Page + 1), "-l",
                                       QString::number(e.Page + 1), path, "-"});
            QVERIFY(onPage.waitForFinished(30000));
            // The typeset text holds ligatures ("ﬁ" for "fi"); compatibility
            // normalisation spells them out.
            const QString pageText = QString::fromUtf8(onPage.readAllStandardOutput())
                                         .normalized(QString::NormalizationForm_KC)
                                         .simplified();
            QVERIFY2(pageText.contains(e.Title), qPrintable(e.Title + " not on its page"));
        }
        const auto titled = [&entries](const QString& start, int depth) {
            return std::count_if(entries.begin(), entries.end(), [&](const Entry& e) {
                return e.Depth == depth && e.Title.startsWith(start);
            });
        };
        if (file == "EQUATION.pdf") {
            QCOMPARE(titled("Equation ", 2), 39);
            QCOMPARE(titled("The equations", 1), 1);
        } else if (file == "KRTW-Chapter-2.pdf") {
            QCOMPARE(titled("Chapter 2 The KV model", 0), 1);
            QCOMPARE(titled("2.", 1), 8);
            QCOMPARE(titled("Johansen", 2), 1);
        } else {
            QCOMPARE(titled("The default closure", 1), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TstDocumentsBuilt)
#include "tst_documents_built.moc"
