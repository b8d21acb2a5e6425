#include "docgen.h"

#include "celltext.h"
#include "pdfoutline.h"
#include "solve.h"
#include "tableau.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>

namespace docgen {

namespace {

const QChar Minus(0x2212);
const QString Credit = QStringLiteral("the WinVELMAR project");

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

kv::Variable variableNamed(const QString& name) {
    const kv::Variable v = kv::FindVariable(name.toStdString());
    if (v == 0) {
        throw DocError(QStringLiteral("no variable is named \"%1\"").arg(name));
    }
    return v;
}

// ---- formulas -----------------------------------------------------------------

// A parsed formula.
struct Node {
    enum Kind { Number, Cell, Name, Negate, Add, Subtract, Multiply, Divide, Safe };
    Kind K = Number;
    double Value = 0; // Number
    QString Text;     // Number as written, Name
    int Row = 0;      // Cell
    int Col = 0;      // Cell
    std::vector<Node> Kids;
};

class FormulaParser {
public:
    explicit FormulaParser(const QString& text) : FText(text) {}

    Node parse() {
        Node node = expression();
        skipBlanks();
        if (FPos != FText.size()) {
            fail(QStringLiteral("unexpected \"%1\"").arg(FText.mid(FPos)));
        }
        return node;
    }

private:
    [[noreturn]] void fail(const QString& why) const {
        throw DocError(QStringLiteral("formula \"%1\": %2").arg(FText, why));
    }
    void skipBlanks() {
        while (FPos < FText.size() && FText[FPos].isSpace()) {
            ++FPos;
        }
    }
    bool take(QChar ch) {
        skipBlanks();
        if (FPos < FText.size() && FText[FPos] == ch) {
            ++FPos;
            return true;
        }
        return false;
    }
    void expect(QChar ch) {
        if (!take(ch)) {
            fail(QStringLiteral("\"%1\" expected").arg(ch));
        }
    }
    static Node binary(Node::Kind kind, Node left, Node right) {
        Node n;
        n.K = kind;
        n.Kids.push_back(std::move(left));
        n.Kids.push_back(std::move(right));
        return n;
    }
    Node expression() {
        Node node = term();
        for (;;) {
            if (take(QLatin1Char('+'))) {
                node = binary(Node::Add, std::move(node), term());
            } else if (take(QLatin1Char('-'))) {
                node = binary(Node::Subtract, std::move(node), term());
            } else {
                return node;
            }
        }
    }
    Node term() {
        Node node = unary();
        for (;;) {
            if (take(QLatin1Char('*'))) {
                node = binary(Node::Multiply, std::move(node), unary());
            } else if (take(QLatin1Char('/'))) {
                node = binary(Node::Divide, std::move(node), unary());
            } else {
                return node;
            }
        }
    }
    Node unary() {
        if (take(QLatin1Char('-'))) {
            Node n;
            n.K = Node::Negate;
            n.Kids.push_back(unary());
            return n;
        }
        return primary();
    }
    int integer() {
        skipBlanks();
        const qsizetype start = FPos;
        while (FPos < FText.size() && FText[FPos].isDigit()) {
            ++FPos;
        }
        bool ok = false;
        const int value = FText.mid(start, FPos - start).toInt(&ok);
        if (!ok) {
            fail(QStringLiteral("a whole number expected"));
        }
        return value;
    }
    Node primary() {
        skipBlanks();
        if (take(QLatin1Char('('))) {
            Node node = expression();
            expect(QLatin1Char(')'));
            return node;
        }
        Node n;
        if (FPos < FText.size() && (FText[FPos].isDigit() || FText[FPos] == QLatin1Char('.'))) {
            const qsizetype start = FPos;
            while (FPos < FText.size() &&
                   (FText[FPos].isDigit() || FText[FPos] == QLatin1Char('.'))) {
                ++FPos;
            }
            bool ok = false;
            n.Text = FText.mid(start, FPos - start);
            n.Value = n.Text.toDouble(&ok);
            if (!ok) {
                fail(QStringLiteral("bad number"));
            }
            return n;
        }
        const qsizetype start = FPos;
        while (FPos < FText.size() && (FText[FPos].isLetterOrNumber())) {
            ++FPos;
        }
        const QString name = FText.mid(start, FPos - start);
        if (name.isEmpty()) {
            fail(QStringLiteral("a value expected"));
        }
        if (name == QLatin1String("D")) {
            expect(QLatin1Char('('));
            n.K = Node::Cell;
            n.Row = integer();
            expect(QLatin1Char(','));
            n.Col = integer();
            expect(QLatin1Char(')'));
            if (n.Row < 1 || n.Row > kv::DataRows || n.Col < 1 || n.Col > kv::DataCols) {
                fail(QStringLiteral("no cell D(%1,%2)").arg(n.Row).arg(n.Col));
            }
            return n;
        }
        if (name == QLatin1String("SafeRatio")) {
            expect(QLatin1Char('('));
            n.K = Node::Safe;
            n.Kids.push_back(expression());
            expect(QLatin1Char(','));
            n.Kids.push_back(expression());
            expect(QLatin1Char(','));
            n.Kids.push_back(expression());
            expect(QLatin1Char(')'));
            return n;
        }
        n.K = Node::Name;
        n.Text = name;
        return n;
    }

    const QString& FText;
    qsizetype FPos = 0;
};

double evaluate(const Node& n, const QString& formula, const kv::Data_Real& D,
                const QMap<QString, double>& names) {
    const auto kid = [&](std::size_t i) { return evaluate(n.Kids[i], formula, D, names); };
    switch (n.K) {
    case Node::Number:
        return n.Value;
    case Node::Cell:
        return D(n.Row, n.Col);
    case Node::Name: {
        const auto it = names.find(n.Text);
        if (it == names.end()) {
            throw DocError(
                QStringLiteral("formula \"%1\": unknown name \"%2\"").arg(formula, n.Text));
        }
        return it.value();
    }
    case Node::Negate:
        return -kid(0);
    case Node::Add:
        return kid(0) + kid(1);
    case Node::Subtract:
        return kid(0) - kid(1);
    case Node::Multiply:
        return kid(0) * kid(1);
    case Node::Divide: {
        const double divisor = kid(1);
        if (divisor == 0.0) {
            throw DocError(QStringLiteral("formula \"%1\": division by zero").arg(formula));
        }
        return kid(0) / divisor;
    }
    case Node::Safe: {
        const double num = kid(0);
        const double den = kid(1);
        const double dflt = kid(2);
        return den == 0.0 ? dflt : num / den;
    }
    }
    return 0;
}

// ---- formulas as HTML -----------------------------------------------------------
//
// A formula is laid out as a row of pieces, each a run of text or a fraction
// (numerator over denominator, drawn as a small table with a rule between
// them); the document's text layout has no inline blocks, so a formula with
// a fraction becomes a one-row table of its pieces.

struct Piece {
    QString Text;
    bool Fraction = false;
    std::vector<Piece> Numerator;
    std::vector<Piece> Denominator;
};
using Pieces = std::vector<Piece>;

void appendText(Pieces& out, const QString& text) {
    if (!out.empty() && !out.back().Fraction) {
        out.back().Text += text;
    } else {
        out.push_back({text, false, {}, {}});
    }
}

void appendPieces(Pieces& out, const Pieces& in) {
    for (const Piece& p : in) {
        if (p.Fraction) {
            out.push_back(p);
        } else {
            appendText(out, p.Text);
        }
    }
}

QString piecesHtml(const Pieces& pieces) {
    const bool plain =
        std::none_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.Fraction; });
    if (plain) {
        return pieces.empty() ? QString() : pieces.front().Text;
    }
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\"><tr>");
    for (const Piece& p : pieces) {
        if (!p.Fraction) {
            html += QStringLiteral("<td valign=\"middle\">") + p.Text + QStringLiteral("</td>");
            continue;
        }
        html += QStringLiteral("<td valign=\"middle\"><table cellspacing=\"0\" cellpadding=\"1\">"
                               "<tr><td align=\"center\" style=\"border-bottom: 1px solid "
                               "black\">") +
                piecesHtml(p.Numerator) + QStringLiteral("</td></tr><tr><td align=\"center\">") +
                piecesHtml(p.Denominator) + QStringLiteral("</td></tr></table></td>");
    }
    return html + QStringLiteral("</tr></table>");
}

// How tightly a node binds when laid out: sums 1, products 2, signs 3, the
// rest (numbers, names, fractions) 4.
int binding(const Node& n) {
    switch (n.K) {
    case Node::Add:
    case Node::Subtract:
        return 1;
    case Node::Multiply:
        return 2;
    case Node::Negate:
        return 3;
    default:
        return 4;
    }
}

class FormulaLayout {
public:
    explicit FormulaLayout(const std::map<std::pair<int, int>, Flow>& flows) : FFlows(flows) {}

    Pieces layout(const Node& n) const {
        Pieces out;
        switch (n.K) {
        case Node::Number:
            appendText(out, n.Text);
            break;
        case Node::Cell: {
            const auto it = FFlows.find({n.Row, n.Col});
            if (it == FFlows.end()) {
                throw DocError(QStringLiteral("the database cell D(%1,%2) has no flow name")
                                   .arg(n.Row)
                                   .arg(n.Col));
            }
            appendText(out, it->second.Html);
            break;
        }
        case Node::Name:
            appendText(out, esc(n.Text));
            break;
        case Node::Negate:
            appendText(out, Minus);
            appendPieces(out, wrapped(n.Kids[0], 3));
            break;
        case Node::Add:
        case Node::Subtract:
            appendPieces(out, layout(n.Kids[0]));
            appendText(out, n.K == Node::Add ? QStringLiteral(" + ")
                                             : QStringLiteral(" %1 ").arg(Minus));
            appendPieces(out, wrapped(n.Kids[1], n.K == Node::Add ? 1 : 2));
            break;
        case Node::Multiply:
            appendPieces(out, wrapped(n.Kids[0], 2));
            appendText(out, QString(QChar(0x00b7)));
            appendPieces(out, wrapped(n.Kids[1], 2));
            break;
        case Node::Divide:
            // A sign in the numerator goes before the fraction.
            if (n.Kids[0].K == Node::Negate) {
                appendText(out, Minus);
                out.push_back(fraction(n.Kids[0].Kids[0], n.Kids[1]));
            } else {
                out.push_back(fraction(n.Kids[0], n.Kids[1]));
            }
            break;
        case Node::Safe:
            out.push_back(fraction(n.Kids[0], n.Kids[1]));
            appendText(out, QStringLiteral(", or "));
            appendPieces(out, layout(n.Kids[2]));
            appendText(out, QStringLiteral(" when the denominator is 0"));
            break;
        }
        return out;
    }

private:
    // The node in parentheses when it binds less tightly than needed.
    Pieces wrapped(const Node& n, int needed) const {
        if (binding(n) >= needed) {
            return layout(n);
        }
        Pieces out;
        appendText(out, QStringLiteral("("));
        appendPieces(out, layout(n));
        appendText(out, QStringLiteral(")"));
        return out;
    }
    Piece fraction(const Node& numerator, const Node& denominator) const {
        Piece p;
        p.Fraction = true;
        p.Numerator = layout(numerator);
        p.Denominator = layout(denominator);
        return p;
    }

    const std::map<std::pair<int, int>, Flow>& FFlows;
};

QString readSource(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        throw DocError(QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(path)));
    }
    return QString::fromUtf8(f.readAll());
}

// A database whose shares all differ from the default ones, with export
// subsidies, so that a formula that only happens to match the defaults is
// caught.
kv::Data_Real checkingDatabase() {
    kv::Data_Real D;
    kv::DefaultData(D);
    D(10, 1) = 1.5;
    D(11, 1) = 0.5;
    D(1, 3) = 20;
    D(3, 3) = 2;
    D(5, 2) = 18;
    D(4, 5) = -4;
    D(10, 4) = 3;
    if (kv::DeriveData(D)) {
        throw DocError(QStringLiteral("the checking database has a negative flow"));
    }
    return D;
}

// The start of a table across the page; widths in per cent of the page, one
// per heading, or none to let the layout decide.
QString tableStart(const QStringList& headings, const QList<int>& widths = {}) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "width=\"100%\"><tr>");
    for (qsizetype i = 0; i < headings.size(); ++i) {
        html += i < widths.size() ? QStringLiteral("<th width=\"%1%\">").arg(widths[i])
                                  : QStringLiteral("<th>");
        html += headings[i] + QStringLiteral("</th>");
    }
    return html + QStringLiteral("</tr>");
}

} // namespace

double EvaluateFormula(const QString& formula, const kv::Data_Real& D,
                       const QMap<QString, double>& names) {
    return evaluate(FormulaParser(formula).parse(), formula, D, names);
}

EquationSource ParseEquationSource(const QString& text) {
    EquationSource source;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const auto where = [n](const QString& why) {
            return DocError(QStringLiteral("equations source, line %1: %2").arg(n + 1).arg(why));
        };
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        const QString keyword = blank < 0 ? line : line.left(blank);
        const QString rest = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
        QStringList fields = rest.split(QLatin1Char('|'));
        for (QString& f : fields) {
            f = f.trimmed();
        }
        if (keyword == QLatin1String("flow")) {
            const QStringList cell = fields.value(0).split(QLatin1Char(','));
            bool okRow = false;
            bool okCol = false;
            const int r = cell.value(0).trimmed().toInt(&okRow);
            const int c = cell.value(1).trimmed().toInt(&okCol);
            if (fields.size() != 3 || cell.size() != 2 || !okRow || !okCol || r < 1 ||
                r > kv::DataRows || c < 1 || c > kv::DataCols || fields[1].isEmpty()) {
                throw where(QStringLiteral("flow ROW,COLUMN | SYMBOL | MEANING expected"));
            }
            if (!source.Flows.emplace(std::pair{r, c}, Flow{fields[1], fields[2]}).second) {
                throw where(QStringLiteral("cell %1,%2 is named twice").arg(r).arg(c));
            }
        } else if (keyword == QLatin1String("quantity")) {
            if (fields.size() != 3 || fields[0].isEmpty() || fields[1].isEmpty()) {
                throw where(QStringLiteral("quantity NAME | FORMULA | MEANING expected"));
            }
            source.Quantities.push_back({fields[0], fields[1], fields[2]});
        } else if (keyword == QLatin1String("equation")) {
            bool ok = false;
            const int number = fields.value(0).toInt(&ok);
            if (fields.size() != 2 || !ok) {
                throw where(QStringLiteral("equation NUMBER | TITLE expected"));
            }
            if (number != static_cast<int>(source.Equations.size()) + 1) {
                throw where(QStringLiteral("equation %1 expected, not %2")
                                .arg(source.Equations.size() + 1)
                                .arg(number));
            }
            source.Equations.push_back({number, fields[1], QString(), {}});
        } else if (keyword == QLatin1String("meaning") || keyword == QLatin1String("term")) {
            if (source.Equations.empty()) {
                throw where(QStringLiteral("\"%1\" before the first equation").arg(keyword));
            }
            EquationDoc& eq = source.Equations.back();
            if (keyword == QLatin1String("meaning")) {
                eq.Meaning += (eq.Meaning.isEmpty() ? QString() : QStringLiteral(" ")) + rest;
            } else {
                if (fields.size() != 2 || fields[0].isEmpty() || fields[1].isEmpty()) {
                    throw where(QStringLiteral("term VARIABLE | FORMULA expected"));
                }
                eq.Terms.push_back({fields[0], fields[1]});
            }
        } else {
            throw where(QStringLiteral("unknown keyword \"%1\"").arg(keyword));
        }
    }
    if (static_cast<int>(source.Equations.size()) != kv::NumEqs) {
        throw DocError(QStringLiteral("equations source: %1 equations instead of %2")
                           .arg(source.Equations.size())
                           .arg(kv::NumEqs));
    }
    return source;
}

QMap<QString, double> EvaluateQuantities(const EquationSource& source, const kv::Data_Real& D) {
    QMap<QString, double> names;
    for (const Quantity& quantity : source.Quantities) {
        if (names.contains(quantity.Name)) {
            throw DocError(QStringLiteral("quantity %1 is named twice").arg(quantity.Name));
        }
        names.insert(quantity.Name, EvaluateFormula(quantity.Formula, D, names));
    }
    return names;
}

QStringList CheckAgainstModel(const EquationSource& source, const kv::Data_Real& D) {
    QStringList faults;
    const QMap<QString, double> names = EvaluateQuantities(source, D);
    kv::Tableau_Real M;
    kv::BuildTableau(D, M);
    for (const EquationDoc& eq : source.Equations) {
        kv::Variable_Real documented{};
        kv::Variable_Bool listed{};
        for (const Term& term : eq.Terms) {
            const kv::Variable v = kv::FindVariable(term.Variable.toStdString());
            if (v == 0) {
                faults << QStringLiteral("equation %1: no variable is named \"%2\"")
                              .arg(eq.Number)
                              .arg(term.Variable);
                continue;
            }
            if (listed(v)) {
                faults << QStringLiteral("equation %1: %2 is listed twice")
                              .arg(eq.Number)
                              .arg(term.Variable);
            }
            listed(v) = true;
            documented(v) = EvaluateFormula(term.Formula, D, names);
        }
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            const double model = M(eq.Number, v);
            const double doc = documented(v);
            if (std::abs(model - doc) > 1e-9 * std::max(1.0, std::abs(model))) {
                faults << QStringLiteral("equation %1, %2: the documents give %3, the program %4")
                              .arg(eq.Number)
                              .arg(q(kv::VarName(v)))
                              .arg(doc, 0, 'g', 12)
                              .arg(model, 0, 'g', 12);
            }
        }
    }
    return faults;
}

QString FormatNumber(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    static const QRegularExpression negativeZero(QStringLiteral("^-0(\\.0*)?$"));
    if (negativeZero.match(text).hasMatch()) {
        text.remove(0, 1);
    }
    return text.replace(QLatin1Char('-'), Minus);
}

QString FormulaHtml(const QString& formula, const EquationSource& source) {
    return piecesHtml(FormulaLayout(source.Flows).layout(FormulaParser(formula).parse()));
}

QString LinearFormHtml(const EquationDoc& equation, const EquationSource& source) {
    const FormulaLayout layout(source.Flows);
    Pieces out;
    bool first = true;
    for (const Term& term : equation.Terms) {
        Node n = FormulaParser(term.Formula).parse();
        // A leading sign joins the terms: " - 0.5·x" rather than " + -0.5·x".
        bool negative = false;
        if (n.K == Node::Negate) {
            negative = true;
            Node inner = std::move(n.Kids[0]);
            n = std::move(inner);
        } else if (n.K == Node::Divide && n.Kids[0].K == Node::Negate) {
            negative = true;
            Node inner = std::move(n.Kids[0].Kids[0]);
            n.Kids[0] = std::move(inner);
        }
        if (first) {
            if (negative) {
                appendText(out, Minus);
            }
        } else {
            appendText(out, negative ? QStringLiteral(" %1 ").arg(Minus) : QStringLiteral(" + "));
        }
        first = false;
        if (!(n.K == Node::Number && n.Value == 1.0)) {
            if (binding(n) < 2) {
                appendText(out, QStringLiteral("("));
                appendPieces(out, layout.layout(n));
                appendText(out, QStringLiteral(")"));
            } else {
                appendPieces(out, layout.layout(n));
            }
            appendText(out, QString(QChar(0x00b7)));
        }
        appendText(out, esc(term.Variable));
    }
    appendText(out, QStringLiteral(" = 0"));
    return piecesHtml(out);
}

std::vector<Experiment> DocumentExperiments() {
    return {
        {QStringLiteral("t2"), {}, {{QStringLiteral("t2"), -10.0}}},
        {QStringLiteral("phi10"), {}, {{QStringLiteral("phi"), 10.0}}},
        {QStringLiteral("t2long"),
         {{QStringLiteral("p(32)1"), QStringLiteral("k1")},
          {QStringLiteral("p(32)2"), QStringLiteral("k2")}},
         {{QStringLiteral("t2"), -10.0}}},
    };
}

ExperimentRun RunExperiment(const Experiment& experiment) {
    ExperimentRun run;
    run.Setup = experiment;
    kv::DefaultClosure(run.Closure);
    for (const auto& [toExo, toEndo] : experiment.Exchanges) {
        const kv::Variable out = variableNamed(toExo);
        const kv::Variable in = variableNamed(toEndo);
        if (!run.Closure.Endo(out) || run.Closure.Endo(in)) {
            throw DocError(QStringLiteral("experiment %1: cannot exchange %2 with %3")
                               .arg(experiment.Id, toExo, toEndo));
        }
        int j = 0;
        for (int k = 1; k <= kv::NumExo; ++k) {
            if (run.Closure.ExoList(k) == in) {
                j = k;
            }
        }
        kv::ExchangeVariables(run.Closure, run.Closure.EndoPos(out), j);
    }
    kv::Data_Real base;
    kv::DefaultData(base);
    for (kv::SolutionMethod method = 1; method <= 5; ++method) {
        MethodRun m;
        for (const auto& [name, shock] : experiment.Shocks) {
            const kv::Variable v = variableNamed(name);
            if (run.Closure.Endo(v)) {
                throw DocError(
                    QStringLiteral("experiment %1: %2 is not exogenous").arg(experiment.Id, name));
            }
            m.Results(v) = shock;
        }
        const kv::SolveResult r = kv::SolveModel(method, base, m.NewData, m.Results, run.Closure);
        m.Success = !r.singular && !r.negativeFlow;
        run.Methods.push_back(m);
    }
    return run;
}

// ---- Generator ----------------------------------------------------------------

Generator::Generator(EquationSource equations, std::vector<ExperimentRun> runs)
    : FEquations(std::move(equations)), FRuns(std::move(runs)) {
    kv::DefaultData(FBase);
}

QString Generator::Expand(const QString& source) const {
    static const QRegularExpression field(QStringLiteral("\\{\\{([^{}]*)\\}\\}"));
    QString out;
    qsizetype last = 0;
    auto it = field.globalMatch(source);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += source.mid(last, m.capturedStart() - last);
        out += placeholder(m.captured(1).trimmed().split(QLatin1Char(':')));
        last = m.capturedEnd();
    }
    out += source.mid(last);
    if (out.contains(QStringLiteral("{{")) || out.contains(QStringLiteral("}}"))) {
        throw DocError(QStringLiteral("an unfinished {{...}} field is left in a document"));
    }
    return out;
}

const ExperimentRun& Generator::run(const QString& id) const {
    for (const ExperimentRun& r : FRuns) {
        if (r.Setup.Id == id) {
            return r;
        }
    }
    throw DocError(QStringLiteral("no experiment \"%1\"").arg(id));
}

QString Generator::placeholder(const QStringList& parts) const {
    const QString what = parts.value(0);
    const auto methodRun = [this, &parts](int index) -> const MethodRun& {
        const ExperimentRun& r = run(parts.value(1));
        bool ok = false;
        const int method = parts.value(index).toInt(&ok);
        if (!ok || method < 1 || method > 5) {
            throw DocError(QStringLiteral("{{%1}}: method 1 to 5 expected").arg(parts.join(':')));
        }
        const MethodRun& m = r.Methods[static_cast<std::size_t>(method - 1)];
        if (!m.Success) {
            throw DocError(QStringLiteral("{{%1}}: that solution failed").arg(parts.join(':')));
        }
        return m;
    };
    if (what == QLatin1String("database") && parts.size() == 2 &&
        parts[1] == QLatin1String("base")) {
        return databaseTable(FBase);
    }
    if (what == QLatin1String("database") && parts.size() == 3) {
        return databaseTable(methodRun(2).NewData);
    }
    if (what == QLatin1String("variables") && parts.size() == 1) {
        return variablesTable();
    }
    if (what == QLatin1String("closure") && parts.size() == 1) {
        return closureTable();
    }
    if (what == QLatin1String("flows") && parts.size() == 1) {
        return flowsTable();
    }
    if (what == QLatin1String("quantities") && parts.size() == 1) {
        return quantitiesTable();
    }
    if (what == QLatin1String("equations") && parts.size() == 1) {
        return equationsSection();
    }
    if (what == QLatin1String("equations") && parts.size() == 2 &&
        parts[1] == QLatin1String("list")) {
        return equationsList();
    }
    if (what == QLatin1String("experiment") && (parts.size() == 2 || parts.size() == 3)) {
        return experimentTable(run(parts[1]), parts.size() == 3 ? parts[2].split(QLatin1Char(','))
                                                                : QStringList());
    }
    if ((what == QLatin1String("value") || what == QLatin1String("absvalue")) &&
        (parts.size() == 4 || parts.size() == 5)) {
        const MethodRun& m = methodRun(2);
        const double value = m.Results(variableNamed(parts[3]));
        const int decimals = parts.size() == 5 ? parts[4].toInt() : 2;
        return FormatNumber(what == QLatin1String("absvalue") ? std::abs(value) : value, decimals);
    }
    if (what == QLatin1String("cell") && parts.size() == 5 && parts[1] == QLatin1String("base")) {
        bool okRow = false;
        bool okCol = false;
        const int r = parts[2].toInt(&okRow);
        const int c = parts[3].toInt(&okCol);
        if (!okRow || !okCol || r < 1 || r > kv::DataRows || c < 1 || c > kv::DataCols) {
            throw DocError(QStringLiteral("{{%1}}: no such cell").arg(parts.join(':')));
        }
        return FormatNumber(FBase(r, c), parts[4].toInt());
    }
    if (what == QLatin1String("homogeneity") && parts.size() == 2) {
        return homogeneity(run(parts[1]));
    }
    throw DocError(QStringLiteral("unknown field {{%1}}").arg(parts.join(':')));
}

QString Generator::databaseTable(const kv::Data_Real& D) const {
    // The cells read as on the Data page; only the minus sign is typeset.
    const auto cell = [&D](int r, int c) {
        QString text = kv::DataCellText(D, r, c).trimmed();
        return text.isEmpty() ? QStringLiteral("&nbsp;")
                              : esc(text.replace(QLatin1Char('-'), Minus));
    };
    QStringList headings;
    for (int c = 0; c <= kv::DataCols; ++c) {
        headings << cell(0, c);
    }
    QString html = tableStart(headings);
    for (int r = 1; r <= kv::DataRows; ++r) {
        html += QStringLiteral("<tr><td>") + cell(r, 0) + QStringLiteral("</td>");
        for (int c = 1; c <= kv::DataCols; ++c) {
            html += QStringLiteral("<td align=\"right\">") + cell(r, c) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString Generator::variablesTable() const {
    kv::TClosure closure;
    kv::DefaultClosure(closure);
    kv::Tableau_Real M;
    kv::BuildTableau(FBase, M);
    QString html = tableStart({QStringLiteral("No."), QStringLiteral("Name"),
                               QStringLiteral("Description"), QStringLiteral("Unit"),
                               QStringLiteral("Default closure"), QStringLiteral("In equations")},
                              {5, 9, 30, 15, 16, 25});
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        QString closureText = QStringLiteral("endogenous");
        for (int k = 1; k <= kv::NumExo; ++k) {
            if (closure.ExoList(k) == v) {
                closureText = QStringLiteral("<b>exogenous</b> (%1)").arg(k);
            }
        }
        QStringList equations;
        for (kv::Equation i = 1; i <= kv::NumEqs; ++i) {
            if (M(i, v) != 0.0) {
                equations << QString::number(i);
            }
        }
        const QString unit = v == kv::DelB ? QStringLiteral("change in money units ($US)")
                                           : QStringLiteral("per cent");
        html += QStringLiteral("<tr><td align=\"right\">%1</td><td><b>%2</b></td><td>%3</td>"
                               "<td>%4</td><td>%5</td><td>%6</td></tr>")
                    .arg(v)
                    .arg(esc(q(kv::VarName(v))), esc(q(kv::VarDesc(v))), unit, closureText,
                         equations.join(QStringLiteral(", ")));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::closureTable() const {
    kv::TClosure closure;
    kv::DefaultClosure(closure);
    QString html = tableStart(
        {QStringLiteral("Place"), QStringLiteral("Variable"), QStringLiteral("Description")});
    for (int k = 1; k <= kv::NumExo; ++k) {
        const kv::Variable v = closure.ExoList(k);
        html += QStringLiteral("<tr><td align=\"right\">%1</td><td><b>%2</b></td><td>%3</td></tr>")
                    .arg(k)
                    .arg(esc(q(kv::VarName(v))), esc(q(kv::VarDesc(v))));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::flowsTable() const {
    QString html = tableStart({QStringLiteral("Flow"), QStringLiteral("Meaning"),
                               QStringLiteral("Row, column of the database"),
                               QStringLiteral("Default value")});
    for (const auto& [cell, flow] : FEquations.Flows) {
        const auto [r, c] = cell;
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3, %4</td>"
                               "<td align=\"right\">%5</td></tr>")
                    .arg(flow.Html, esc(flow.Meaning))
                    .arg(r)
                    .arg(c)
                    .arg(FormatNumber(FBase(r, c), 2));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::quantitiesTable() const {
    const QMap<QString, double> values = EvaluateQuantities(FEquations, FBase);
    QString html = tableStart({QStringLiteral("Name"), QStringLiteral("Formula"),
                               QStringLiteral("Meaning"), QStringLiteral("Default value")});
    for (const Quantity& quantity : FEquations.Quantities) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td>"
                               "<td align=\"right\">%4</td></tr>")
                    .arg(esc(quantity.Name), FormulaHtml(quantity.Formula, FEquations),
                         esc(quantity.Meaning), FormatNumber(values.value(quantity.Name), 6));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::equationsSection() const {
    const QMap<QString, double> names = EvaluateQuantities(FEquations, FBase);
    QString html;
    for (const EquationDoc& eq : FEquations.Equations) {
        html += QStringLiteral("<h3>Equation %1: %2</h3>").arg(eq.Number).arg(esc(eq.Title));
        html += QStringLiteral("<p>") + esc(eq.Meaning) + QStringLiteral("</p>");
        html += QStringLiteral("<p class=\"eq\">") + LinearFormHtml(eq, FEquations) +
                QStringLiteral("</p>");
        html += tableStart({QStringLiteral("Variable"), QStringLiteral("Coefficient"),
                            QStringLiteral("Value on the default database")});
        for (const Term& term : eq.Terms) {
            html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td align=\"right\">%3</td>"
                                   "</tr>")
                        .arg(esc(term.Variable), FormulaHtml(term.Formula, FEquations),
                             FormatNumber(EvaluateFormula(term.Formula, FBase, names), 6));
        }
        html += QStringLiteral("</table>");
    }
    return html;
}

QString Generator::equationsList() const {
    QString html = tableStart(
        {QStringLiteral("No."), QStringLiteral("Equation"), QStringLiteral("Linear form")});
    for (const EquationDoc& eq : FEquations.Equations) {
        html += QStringLiteral("<tr><td align=\"right\">%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(eq.Number)
                    .arg(esc(eq.Title), LinearFormHtml(eq, FEquations));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::experimentTable(const ExperimentRun& run, const QStringList& names) const {
    std::vector<kv::Variable> rows;
    if (names.isEmpty()) {
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            rows.push_back(v);
        }
    } else {
        for (const QString& name : names) {
            rows.push_back(variableNamed(name.trimmed()));
        }
    }
    QStringList headings{QStringLiteral("Variable"), QStringLiteral("Description")};
    QList<int> widths{9, 26};
    for (kv::SolutionMethod method = 1; method <= 5; ++method) {
        headings << q(kv::MethodCaption(method));
        widths << 13;
    }
    QString html = tableStart(headings, widths);
    for (const kv::Variable v : rows) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td>")
                    .arg(esc(q(kv::VarName(v))), esc(q(kv::VarDesc(v))));
        for (const MethodRun& m : run.Methods) {
            QString text = QStringLiteral("failed");
            if (m.Success) {
                text = FormatNumber(m.Results(v), 3);
                if (!run.Closure.Endo(v)) {
                    text.prepend(QLatin1Char('#'));
                }
            }
            html += QStringLiteral("<td align=\"right\">") + text + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString Generator::homogeneity(const ExperimentRun& run) const {
    // Every price and nominal value moves with the shocked exchange rate; the
    // real quantities stay.
    double shock = 0.0;
    for (const auto& [name, value] : run.Setup.Shocks) {
        if (name == QLatin1String("phi")) {
            shock = value;
        }
    }
    static const QStringList nominal{"c",     "p(11)",  "p(12)",  "p(21)", "p(22)",
                                     "p(31)", "p(32)1", "p(32)2", "phi",   "cpi"};
    double worst = 0.0;
    for (const MethodRun& m : run.Methods) {
        if (!m.Success) {
            throw DocError(QStringLiteral("experiment %1 failed").arg(run.Setup.Id));
        }
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            const double expected = nominal.contains(q(kv::VarName(v))) ? shock : 0.0;
            worst = std::max(worst, std::abs(m.Results(v) - expected));
        }
    }
    if (worst < 0.5e-6) {
        return QStringLiteral("less than 0.000001");
    }
    return FormatNumber(worst, 6);
}

// ---- output -------------------------------------------------------------------

namespace {

// A heading of a laid-out document: its level (1 to 3), its text, and where it
// starts: the page (from 0) and the height from the foot of the page in points.
struct Heading {
    int Level;
    QString Title;
    int Page;
    double TopPt;
};

// Prints the document page by page onto the writer as the toolkit's own print
// does (2 cm margins, the page number at the bottom right), and returns where
// its headings landed.
std::vector<Heading> printDocument(const QTextDocument& source, QPdfWriter& writer) {
    writer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    QPainter painter(&writer);
    if (!painter.isActive()) {
        throw DocError(QStringLiteral("cannot paint on the PDF writer"));
    }
    std::unique_ptr<QTextDocument> doc(source.clone());
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    layout->setPaintDevice(&writer);
    // Frame margins are in the layout's 96-dpi units; the layout scales them
    // to the writer.
    const double sourceDpi = 96.0;
    const double margin = 2 / 2.54 * sourceDpi;
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setLeftMargin(margin);
    frame.setRightMargin(margin);
    frame.setTopMargin(margin);
    frame.setBottomMargin(margin);
    doc->rootFrame()->setFrameFormat(frame);
    const QRectF body(0, 0, writer.width(), writer.height());
    doc->setPageSize(body.size());
    const double scale = writer.logicalDpiY() / sourceDpi;
    const QPointF pageNumberAt(body.width() - margin * scale,
                               body.height() - margin * scale +
                                   QFontMetrics(doc->defaultFont(), &writer).ascent() +
                                   5.0 * writer.logicalDpiY() / 72.0);

    const int pages = doc->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage()) {
            throw DocError(QStringLiteral("cannot start page %1 of the PDF").arg(page + 1));
        }
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&painter, context);
        painter.setClipping(false);
        painter.setFont(doc->defaultFont());
        const QString number = QString::number(page + 1);
        painter.drawText(qRound(pageNumberAt.x() - painter.fontMetrics().horizontalAdvance(number)),
                         qRound(pageNumberAt.y() + view.top()), number);
        painter.restore();
    }

    std::vector<Heading> headings;
    const QRectF paint = writer.pageLayout().paintRectPoints();
    const QRectF full = writer.pageLayout().fullRectPoints();
    const double pointsPerPixel = 72.0 / writer.logicalDpiY();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 3) {
            continue;
        }
        // The first line's top: a heading that does not fit at the foot of a
        // page moves to the next one, leaving its top margin behind.
        const QTextLayout* lines = block.layout();
        double y = layout->blockBoundingRect(block).top();
        if (lines != nullptr && lines->lineCount() > 0) {
            y = lines->position().y() + lines->lineAt(0).rect().top();
        }
        const int page = std::clamp(int(y / body.height()), 0, pages - 1);
        const double within = y - page * body.height();
        QString title = block.text().simplified();
        title.replace(QChar::LineSeparator, QLatin1Char(' '));
        headings.push_back({level, title.simplified(), page,
                            full.height() - (paint.top() + within * pointsPerPixel)});
    }
    return headings;
}

// Adds the headings to the PDF file as its outline.
void addOutline(const QString& path, const std::vector<Heading>& headings) {
    if (headings.empty()) {
        return;
    }
    std::vector<OutlineEntry> entries;
    for (const Heading& h : headings) {
        entries.push_back({h.Level, h.Title.toStdString(), h.Page, h.TopPt});
    }
    const QString written = path + QStringLiteral(".outline");
    WriteOutline(QFile::encodeName(path).toStdString(), QFile::encodeName(written).toStdString(),
                 entries);
    QFile::remove(path);
    if (!QFile::rename(written, path)) {
        throw DocError(QStringLiteral("cannot replace %1").arg(QDir::toNativeSeparators(path)));
    }
}

} // namespace

QStringList LineEndHyphens(const QString& text) {
    static const QRegularExpression hyphenAtEnd(QStringLiteral("\\p{L}-$"));
    QStringList faults;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n];
        QString trimmed = line;
        while (!trimmed.isEmpty() && trimmed.back().isSpace()) {
            trimmed.chop(1);
        }
        if (hyphenAtEnd.match(trimmed).hasMatch()) {
            faults << QStringLiteral("line %1 ends in a hyphen: \"%2\"").arg(n + 1).arg(trimmed);
        }
    }
    return faults;
}

void WritePdf(const QString& html, const QString& styleSheet, const QString& path,
              const QString& title) {
    QTextDocument document;
    document.setDefaultStyleSheet(styleSheet);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(10.0);
    document.setDefaultFont(font);
    document.setHtml(html);
    document.setMetaInformation(QTextDocument::DocumentTitle, title);

    QFile::remove(path);
    std::vector<Heading> headings;
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(Credit);
        headings = printDocument(document, writer);
    }
    if (QFileInfo(path).size() <= 0) {
        throw DocError(QStringLiteral("%1 was not written").arg(QDir::toNativeSeparators(path)));
    }
    try {
        addOutline(path, headings);
    } catch (const std::exception& e) {
        if (dynamic_cast<const DocError*>(&e)) {
            throw;
        }
        throw DocError(QStringLiteral("the outline of %1: %2")
                           .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(e.what())));
    }
}

QStringList GenerateDocuments(const QString& sourceDir, const QString& outDir) {
    const QDir sources(sourceDir);
    const EquationSource equations =
        ParseEquationSource(readSource(sources.filePath(QStringLiteral("equations.txt"))));
    kv::Data_Real base;
    kv::DefaultData(base);
    QStringList faults = CheckAgainstModel(equations, base);
    for (const QString& fault : CheckAgainstModel(equations, checkingDatabase())) {
        faults << fault + QStringLiteral(" (checking database)");
    }
    if (!faults.isEmpty()) {
        throw DocError(QStringLiteral("the equations source does not describe the model:\n") +
                       faults.join(QLatin1Char('\n')));
    }

    // The solutions write their consistency-check file; keep it out of the way.
    QTemporaryDir scratch;
    const std::string temBefore = kv::TemFileName;
    kv::TemFileName = QDir(scratch.path()).filePath(QStringLiteral("TEM")).toStdString();
    std::vector<ExperimentRun> runs;
    try {
        for (const Experiment& e : DocumentExperiments()) {
            runs.push_back(RunExperiment(e));
        }
    } catch (...) {
        kv::TemFileName = temBefore;
        throw;
    }
    kv::TemFileName = temBefore;

    const Generator generator(equations, std::move(runs));
    const QString style = readSource(sources.filePath(QStringLiteral("document.css")));
    struct Document {
        const char* Source;
        const char* Output;
        const char* Title;
    };
    const Document documents[] = {
        {"chapter.html", "KRTW-Chapter-2.pdf", "Chapter 2: The KV model"},
        {"equations.html", "EQUATION.pdf", "The equations of the KV model"},
        {"vars.html", "VARS.pdf", "The variables of the KV model"},
    };
    QDir().mkpath(outDir);
    QStringList written;
    for (const Document& d : documents) {
        const QString text = readSource(sources.filePath(d.Source));
        const QStringList hyphens = LineEndHyphens(text);
        if (!hyphens.isEmpty()) {
            throw DocError(QString::fromLatin1(d.Source) + QStringLiteral(": ") +
                           hyphens.join(QStringLiteral("; ")) +
                           QStringLiteral(" (the document would show the hyphen and a space)"));
        }
        const QString html = generator.Expand(text);
        const QString path = QDir(outDir).filePath(QString::fromLatin1(d.Output));
        WritePdf(html, style, path, QString::fromLatin1(d.Title));
        written << path;
    }
    return written;
}

} // namespace docgen
