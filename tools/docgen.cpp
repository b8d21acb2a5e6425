#include "docgen.h"

#include "celltext.h"
#include "solve.h"
#include "tableau.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace docgen {

namespace {

const QChar Minus(0x2212);
const QString Credit = QStringLiteral("the WinVELMAR project");

const char* const MethodCaptions[5] = {"Johansen (1-step)", "Euler 4-step", "Euler 16-step",
                                       "Euler 2-4-8 extrapolation", "Euler 8-16-32 extrapolation"};

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

// ---- formula evaluation -----------------------------------------------------

class FormulaParser {
public:
    FormulaParser(const QString& text, const kv::Data_Real& D, const QMap<QString, double>& names)
        : FText(text), FData(D), FNames(names) {}

    double parse() {
        const double value = expression();
        skipBlanks();
        if (FPos != FText.size()) {
            fail(QStringLiteral("unexpected \"%1\"").arg(FText.mid(FPos)));
        }
        return value;
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
    double expression() {
        double value = term();
        for (;;) {
            if (take(QLatin1Char('+'))) {
                value += term();
            } else if (take(QLatin1Char('-'))) {
                value -= term();
            } else {
                return value;
            }
        }
    }
    double term() {
        double value = unary();
        for (;;) {
            if (take(QLatin1Char('*'))) {
                value *= unary();
            } else if (take(QLatin1Char('/'))) {
                const double divisor = unary();
                if (divisor == 0.0) {
                    fail(QStringLiteral("division by zero"));
                }
                value /= divisor;
            } else {
                return value;
            }
        }
    }
    double unary() {
        if (take(QLatin1Char('-'))) {
            return -unary();
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
    double primary() {
        skipBlanks();
        if (take(QLatin1Char('('))) {
            const double value = expression();
            expect(QLatin1Char(')'));
            return value;
        }
        if (FPos < FText.size() && (FText[FPos].isDigit() || FText[FPos] == QLatin1Char('.'))) {
            const qsizetype start = FPos;
            while (FPos < FText.size() &&
                   (FText[FPos].isDigit() || FText[FPos] == QLatin1Char('.'))) {
                ++FPos;
            }
            bool ok = false;
            const double value = FText.mid(start, FPos - start).toDouble(&ok);
            if (!ok) {
                fail(QStringLiteral("bad number"));
            }
            return value;
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
            const int r = integer();
            expect(QLatin1Char(','));
            const int c = integer();
            expect(QLatin1Char(')'));
            if (r < 1 || r > kv::DataRows || c < 1 || c > kv::DataCols) {
                fail(QStringLiteral("no cell D(%1,%2)").arg(r).arg(c));
            }
            return FData(r, c);
        }
        if (name == QLatin1String("SafeRatio")) {
            expect(QLatin1Char('('));
            const double num = expression();
            expect(QLatin1Char(','));
            const double den = expression();
            expect(QLatin1Char(','));
            const double dflt = expression();
            expect(QLatin1Char(')'));
            return den == 0.0 ? dflt : num / den;
        }
        const auto it = FNames.find(name);
        if (it == FNames.end()) {
            fail(QStringLiteral("unknown name \"%1\"").arg(name));
        }
        return it.value();
    }

    const QString& FText;
    const kv::Data_Real& FData;
    const QMap<QString, double>& FNames;
    qsizetype FPos = 0;
};

// True when text holds a + or - outside parentheses other than a leading sign.
bool hasTopLevelSum(const QString& text) {
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('(')) {
            ++depth;
        } else if (ch == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && i > 0 && (ch == QLatin1Char('+') || ch == QLatin1Char('-'))) {
            return true;
        }
    }
    return false;
}

// True when text is one parenthesised expression, "(...)" with the opening
// parenthesis closed by the last character.
bool isEnclosed(const QString& text) {
    if (!text.startsWith(QLatin1Char('(')) || !text.endsWith(QLatin1Char(')'))) {
        return false;
    }
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('(')) {
            ++depth;
        } else if (text[i] == QLatin1Char(')') && --depth == 0 && i + 1 < text.size()) {
            return false;
        }
    }
    return true;
}

bool isSimpleName(const QString& text) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z0-9.]+$"));
    return simple.match(text).hasMatch();
}

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
    return FormulaParser(formula, D, names).parse();
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
        if (keyword == QLatin1String("quantity")) {
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

QString FormulaHtml(const QString& formula) {
    QString html = esc(formula);
    html.replace(QStringLiteral(" * "), QStringLiteral(" \u00b7 "));
    html.replace(QLatin1Char('*'), QChar(0x00b7));
    html.replace(QLatin1Char('-'), Minus);
    return html;
}

QString LinearFormHtml(const EquationDoc& equation) {
    QString html;
    bool first = true;
    for (const Term& term : equation.Terms) {
        QString f = term.Formula.trimmed();
        bool negative = false;
        if (f.startsWith(QLatin1Char('-')) && !hasTopLevelSum(f)) {
            negative = true;
            f = f.mid(1).trimmed();
        }
        QString body;
        if (f == QLatin1String("1")) {
            body = esc(term.Variable);
        } else if (isSimpleName(f) || isEnclosed(f)) {
            body = FormulaHtml(f) + QChar(0x00b7) + esc(term.Variable);
        } else {
            body = QLatin1Char('(') + FormulaHtml(f) + QLatin1Char(')') + QChar(0x00b7) +
                   esc(term.Variable);
        }
        if (first) {
            html += negative ? QString(Minus) + body : body;
        } else {
            html += (negative ? QStringLiteral(" %1 ").arg(Minus) : QStringLiteral(" + ")) + body;
        }
        first = false;
    }
    return html + QStringLiteral(" = 0");
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

QString Generator::quantitiesTable() const {
    const QMap<QString, double> values = EvaluateQuantities(FEquations, FBase);
    QString html = tableStart({QStringLiteral("Name"), QStringLiteral("Formula"),
                               QStringLiteral("Meaning"), QStringLiteral("Default value")});
    for (const Quantity& quantity : FEquations.Quantities) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td>"
                               "<td align=\"right\">%4</td></tr>")
                    .arg(esc(quantity.Name), FormulaHtml(quantity.Formula), esc(quantity.Meaning),
                         FormatNumber(values.value(quantity.Name), 6));
    }
    return html + QStringLiteral("</table>");
}

QString Generator::equationsSection() const {
    const QMap<QString, double> names = EvaluateQuantities(FEquations, FBase);
    QString html;
    for (const EquationDoc& eq : FEquations.Equations) {
        html += QStringLiteral("<h3>Equation %1: %2</h3>").arg(eq.Number).arg(esc(eq.Title));
        html += QStringLiteral("<p>") + esc(eq.Meaning) + QStringLiteral("</p>");
        html += QStringLiteral("<p class=\"eq\">") + LinearFormHtml(eq) + QStringLiteral("</p>");
        html += tableStart({QStringLiteral("Variable"), QStringLiteral("Coefficient"),
                            QStringLiteral("Value on the default database")});
        for (const Term& term : eq.Terms) {
            html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td align=\"right\">%3</td>"
                                   "</tr>")
                        .arg(esc(term.Variable), FormulaHtml(term.Formula),
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
                    .arg(esc(eq.Title), LinearFormHtml(eq));
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
    for (const char* caption : MethodCaptions) {
        headings << QString::fromLatin1(caption);
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
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(Credit);
        document.print(&writer);
    }
    if (QFileInfo(path).size() <= 0) {
        throw DocError(QStringLiteral("%1 was not written").arg(QDir::toNativeSeparators(path)));
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
        const QString html = generator.Expand(readSource(sources.filePath(d.Source)));
        const QString path = QDir(outDir).filePath(QString::fromLatin1(d.Output));
        WritePdf(html, style, path, QString::fromLatin1(d.Title));
        written << path;
    }
    return written;
}

} // namespace docgen
