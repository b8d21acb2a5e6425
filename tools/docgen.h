// The document generator: turns the sources in docs/pdf into the three PDF
// documents, filling in every table and number from the model core so that
// the documents always describe the model the program solves.
#pragma once

#include "database.h"
#include "variables.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace docgen {

// A fault in a source or a disagreement with the model; the build stops on it.
class DocError : public std::runtime_error {
public:
    explicit DocError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// ---- formulas --------------------------------------------------------------

// Evaluates a coefficient formula: numbers, D(r,c) cells of D, named
// quantities, + - * / and parentheses, and SafeRatio(a, b, d) (a / b, or d
// when b is 0). A plain division by zero raises DocError.
double EvaluateFormula(const QString& formula, const kv::Data_Real& D,
                       const QMap<QString, double>& names);

// ---- the equations source --------------------------------------------------

// A named flow: a cell of the database under the symbol the documents write
// for it.
struct Flow {
    QString Html; // the symbol, as HTML (for example V<sub>(11)1</sub>)
    QString Meaning;
};

struct Quantity {
    QString Name;
    QString Formula;
    QString Meaning;
};

struct Term {
    QString Variable;
    QString Formula;
};

struct EquationDoc {
    int Number = 0;
    QString Title;
    QString Meaning;
    std::vector<Term> Terms;
};

struct EquationSource {
    std::map<std::pair<int, int>, Flow> Flows; // by database cell (row, column)
    std::vector<Quantity> Quantities;
    std::vector<EquationDoc> Equations; // in order, equation 1 to 39
};

// Reads the equations source; a malformed line raises DocError naming it.
EquationSource ParseEquationSource(const QString& text);

// The named quantities evaluated on D, in their order.
QMap<QString, double> EvaluateQuantities(const EquationSource& source, const kv::Data_Real& D);

// Every way the documented equations differ from the tableau the program
// builds from D: a missing or extra term, or a coefficient whose formula gives
// another value. Empty when they agree.
QStringList CheckAgainstModel(const EquationSource& source, const kv::Data_Real& D);

// ---- presentation ----------------------------------------------------------

// Fixed-point with a typographic minus; a value that rounds to zero has no sign.
QString FormatNumber(double value, int decimals);
// A formula as HTML: database cells as their named flows, divisions as
// fractions (numerator over denominator), a typographic minus and a centred dot
// for products. A cell without a flow name raises DocError.
QString FormulaHtml(const QString& formula, const EquationSource& source);
// An equation as a sum of coefficients times variables equal to zero.
QString LinearFormHtml(const EquationDoc& equation, const EquationSource& source);

// Every line of a document source that ends in a word and a hyphen: the
// document would show the hyphen and a space ("cost- minimising").
QStringList LineEndHyphens(const QString& text);

// ---- experiments -----------------------------------------------------------

struct Experiment {
    QString Id;
    // Pairs (variable made exogenous, variable made endogenous) applied in turn
    // to the default closure.
    std::vector<std::pair<QString, QString>> Exchanges;
    std::vector<std::pair<QString, double>> Shocks;
};

struct MethodRun {
    bool Success = false;
    kv::Variable_Real Results{};
    kv::Data_Real NewData{};
};

struct ExperimentRun {
    Experiment Setup;
    kv::TClosure Closure;
    std::vector<MethodRun> Methods; // methods 1 to 5 at index 0 to 4
};

// The experiments the documents quote.
std::vector<Experiment> DocumentExperiments();

// Solves an experiment with the five methods on the default database.
ExperimentRun RunExperiment(const Experiment& experiment);

// ---- documents -------------------------------------------------------------

// Expands the {{...}} fields of a document source:
//   {{database:base}}, {{database:EXP:METHOD}}   the initial or an updated database
//   {{variables}}, {{closure}}                    the 52 variables, the default closure
//   {{flows}}, {{quantities}}, {{equations}}, {{equations:list}}
//   {{experiment:EXP}}, {{experiment:EXP:V1,V2}}  results under the five methods
//   {{value:EXP:METHOD:VAR[:DEC]}}, {{absvalue:...}}  one result (2 decimals unless DEC)
//   {{cell:base:R:C:DEC}}                         one cell of the initial database
//   {{homogeneity:EXP}}                           largest departure from pure inflation
// EXP is the Id of one of DocumentExperiments(), METHOD 1 to 5. An unknown
// field, or a number from a failed solution, raises DocError.
class Generator {
public:
    Generator(EquationSource equations, std::vector<ExperimentRun> runs);

    QString Expand(const QString& source) const;

private:
    QString placeholder(const QStringList& parts) const;
    const ExperimentRun& run(const QString& id) const;
    QString databaseTable(const kv::Data_Real& D) const;
    QString variablesTable() const;
    QString closureTable() const;
    QString flowsTable() const;
    QString quantitiesTable() const;
    QString equationsSection() const;
    QString equationsList() const;
    QString experimentTable(const ExperimentRun& run, const QStringList& names) const;
    QString homogeneity(const ExperimentRun& run) const;

    EquationSource FEquations;
    std::vector<ExperimentRun> FRuns;
    kv::Data_Real FBase{};
};

// Lays out HTML on A4 pages and writes it as a PDF file whose outline (the
// viewer's bookmarks) holds the headings h1 to h3 on their pages.
void WritePdf(const QString& html, const QString& styleSheet, const QString& path,
              const QString& title);

// The whole job: reads the sources in sourceDir, checks them against the
// model and writes the three documents into outDir. Returns the file names
// written.
QStringList GenerateDocuments(const QString& sourceDir, const QString& outDir);

} // namespace docgen
