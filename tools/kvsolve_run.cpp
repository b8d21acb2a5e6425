#include "kvsolve_run.h"

#include "divisors.h"
#include "model.h"

#ifdef KVSOLVE_TABLE_FORMATS
#include "pagetables.h"
#include "simtab.h"
#include "txtfile.h"

#include <QDateTime>
#endif

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace kvsolve {

namespace {

// A usage error: reported on one line, status 64, nothing computed.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double ParseNumber(std::string_view text, std::string_view what) {
    double value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+') {
        ++first;
    }
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last || !std::isfinite(value)) {
        throw UsageError("not a number in " + std::string(what) + ": '" + std::string(text) + "'");
    }
    return value;
}

void CheckRange(double value, double lo, double hi, std::string_view what) {
    if (value < lo || value > hi) {
        std::ostringstream msg;
        msg << "value out of range in " << what << ": " << value << " (allowed " << lo << " to "
            << hi << ")";
        throw UsageError(msg.str());
    }
}

kv::Variable NamedVariable(std::string_view name, std::string_view what) {
    const kv::Variable v = kv::FindVariable(name);
    if (v == 0) {
        throw UsageError("unknown variable '" + std::string(name) + "' in " + std::string(what));
    }
    return v;
}

// Splits "A<sep>B" of the option's argument; form names the parts for the message.
std::pair<std::string, std::string> SplitAt(const std::string& text, char sep,
                                            std::string_view option, std::string_view form) {
    const auto pos = text.find(sep);
    if (pos == std::string::npos) {
        throw UsageError(std::string(option) + " expects " + std::string(form) + ", got '" + text +
                         "'");
    }
    return {text.substr(0, pos), text.substr(pos + 1)};
}

void ApplyDataEdit(kv::TExperiment& E, const std::string& arg) {
    const std::string what = "--data " + arg;
    const auto [cell, valueText] = SplitAt(arg, '=', "--data", "R,C=VALUE");
    const auto [rowText, colText] = SplitAt(cell, ',', "--data", "R,C=VALUE");
    const double rd = ParseNumber(rowText, what);
    const double cd = ParseNumber(colText, what);
    const int r = static_cast<int>(rd);
    const int c = static_cast<int>(cd);
    if (rd != r || cd != c || r < 1 || r > kv::DataRows || c < 1 || c > kv::DataCols ||
        !kv::EditMask(r, c)) {
        throw UsageError("cell " + cell + " is not an entered cell of the database in " + what);
    }
    const double value = ParseNumber(valueText, what);
    CheckRange(value, -100, 500, what);
    E.BaseData(r, c) = value;
}

void ApplySwap(kv::TExperiment& E, const std::string& arg) {
    const std::string what = "--swap " + arg;
    const auto [endoName, exoName] = SplitAt(arg, ':', "--swap", "ENDO:EXO");
    const kv::Variable vOut = NamedVariable(endoName, what);
    const kv::Variable vIn = NamedVariable(exoName, what);
    if (!E.Closure.Endo(vOut)) {
        throw UsageError("'" + endoName + "' is not endogenous in " + what);
    }
    if (E.Closure.Endo(vIn)) {
        throw UsageError("'" + exoName + "' is not exogenous in " + what);
    }
    int j = 0;
    for (int k = 1; k <= kv::NumExo; ++k) {
        if (E.Closure.ExoList(k) == vIn) {
            j = k;
        }
    }
    kv::ExchangeVariables(E.Closure, E.Closure.EndoPos(vOut), j);
}

void ApplyShock(kv::TExperiment& E, const std::string& arg) {
    const std::string what = "--shock " + arg;
    const auto [name, valueText] = SplitAt(arg, '=', "--shock", "NAME=VALUE");
    const kv::Variable v = NamedVariable(name, what);
    if (E.Closure.Endo(v)) {
        throw UsageError("'" + name + "' is not exogenous in " + what);
    }
    const double value = ParseNumber(valueText, what);
    CheckRange(value, -99, 500, what);
    E.ShockVec(v) = value;
}

void WriteVariables(const kv::TExperiment& E, std::ostream& out) {
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        out << v << '\t' << kv::VarName(v) << '\t' << kv::VarDesc(v) << '\t'
            << (E.Closure.Endo(v) ? "endogenous" : "exogenous") << '\n';
    }
}

const char* StatusName(const kv::SolveResult& res) {
    if (res.singular) {
        return "singular";
    }
    if (res.negativeFlow) {
        return "negative_flow";
    }
    return "ok";
}

void WriteJson(const kv::TExperiment& E, std::ostream& out, const std::string& title, int method,
               const kv::SolveResult& res, bool updatedData) {
    nlohmann::ordered_json doc;
    doc["title"] = title;
    doc["method"] = method;
    doc["status"] = StatusName(res);
    nlohmann::ordered_json results = nlohmann::ordered_json::object();
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        results[kv::VarName(v)] = E.ShockVec(v);
    }
    doc["results"] = results;
    nlohmann::ordered_json exo = nlohmann::ordered_json::array();
    for (int k = 1; k <= kv::NumExo; ++k) {
        exo.push_back(kv::VarName(E.Closure.ExoList(k)));
    }
    doc["exogenous"] = exo;
    if (updatedData) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (int r = 1; r <= kv::DataRows; ++r) {
            nlohmann::ordered_json row = nlohmann::ordered_json::array();
            for (int c = 1; c <= kv::DataCols; ++c) {
                row.push_back(E.NewData(r, c));
            }
            rows.push_back(row);
        }
        doc["updated_data"] = rows;
    }
    out << doc.dump(2) << '\n';
}

#ifdef KVSOLVE_TABLE_FORMATS
// Printout geometry of --format text: a classic 66-line, 80-column page.
constexpr int TextPageLen = 66;
constexpr int TextPageWidth = 80;

// The Results page's table with the stored solutions (and the Updated Data
// page's) written as Save (csv) or Print (text) would write it. Lines end in
// CR LF, as in the saved file.
bool WriteTables(const kv::TExperiment& E, std::ostream& out, std::ostream& err,
                 const std::string& format, bool updatedData) {
    std::vector<kv::TPageTable> pages{kv::ResultsPageTable(E)};
    if (updatedData) {
        pages.push_back(kv::UpdatedDataPageTable(E));
    }
    kv::TStringTextOutput text;
    const QString header = kv::PrintoutHeader(QDateTime::currentDateTime());
    QString msg;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kv::TSimTab T;
        bool ok = kv::MakePageSimTab(T, pages[i], msg);
        if (ok && format == "csv") {
            ok = kv::WriteSimTabAsCSV(T, text, msg);
        } else if (ok) {
            if (i > 0) {
                text.WriteChar(QChar(12)); // the next printout starts a new page
            }
            ok = kv::WriteSimTabAsText(T, text, TextPageLen, TextPageWidth, header,
                                       pages[i].PrintTitle, msg);
        }
        if (!ok) {
            err << "kvsolve: " << msg.toStdString() << '\n';
            return false;
        }
    }
    const QByteArray bytes = text.Text().toUtf8();
    out.write(bytes.constData(), bytes.size());
    return true;
}

const std::vector<std::string> Formats{"json", "csv", "text"};
const char* const FormatHelp =
    "Output format: json; csv (the Results page as Save writes it); text (the Results "
    "page as Print writes it)";
#else
const std::vector<std::string> Formats{"json"};
const char* const FormatHelp = "Output format: json";
#endif

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"kvsolve: solves one experiment on the KV model and prints the results.",
                 "kvsolve"};
    int method = 1;
    std::vector<std::string> swaps;
    std::vector<std::string> shocks;
    std::vector<std::string> dataEdits;
    std::string title = "Sim 1";
    std::string format = "json";
    bool updatedData = false;
    bool listVariables = false;
    app.add_option("--method", method,
                   "Solution method: 1 Johansen, 2 Euler 4-step, 3 Euler 16-step, "
                   "4 Euler 2-4-8 extrapolation, 5 Euler 8-16-32 extrapolation "
                   "(any other number: 4)");
    app.add_option("--swap", swaps,
                   "ENDO:EXO - exchange an endogenous with an exogenous variable (repeatable, "
                   "applied in order)");
    app.add_option("--shock", shocks,
                   "NAME=VALUE - shock of an exogenous variable, -99 to 500 (repeatable)");
    app.add_option("--data", dataEdits,
                   "R,C=VALUE - set an entered cell of the initial database, -100 to 500 "
                   "(repeatable)");
    app.add_option("--title", title, "Experiment title (default \"Sim 1\")");
    app.add_option("--format", format, FormatHelp)->check(CLI::IsMember(Formats));
    app.add_flag("--updated-data", updatedData,
                 "Include the updated database (csv, text: the Updated Data page after the "
                 "Results page)");
    app.add_flag("--variables", listVariables,
                 "List index, name, description and closure of every variable, then stop");

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ExitOk;
    } catch (const CLI::ParseError& e) {
        err << "kvsolve: " << e.what() << '\n';
        return ExitUsage;
    }

    kv::TExperiment E;
    try {
        for (const auto& edit : dataEdits) {
            ApplyDataEdit(E, edit);
        }
        for (const auto& swap : swaps) {
            ApplySwap(E, swap);
        }
        for (const auto& shock : shocks) {
            ApplyShock(E, shock);
        }
    } catch (const UsageError& e) {
        err << "kvsolve: " << e.what() << '\n';
        return ExitUsage;
    }
    if (listVariables) {
        WriteVariables(E, out);
        return ExitOk;
    }

    try {
        if (!dataEdits.empty()) {
            if (kv::DeriveData(E.BaseData)) {
                err << "Warning: Editing caused negative values in Data Base\n"
                       "Please rectify immediately\n";
                return ExitBadData;
            }
            const auto undefined = kv::UndefinedCoefficients(E.BaseData);
            if (!undefined.empty()) {
                err << "kvsolve: " << kv::UndefinedCoefficientsText(undefined, "\nkvsolve: ")
                    << '\n';
                return ExitBadData;
            }
            E.NewData = E.BaseData;
            E.RebuildTableau();
        }
        E.Title = title;
        const kv::SolveResult res = E.Solve(method);
        if (format == "json") {
            WriteJson(E, out, title, method, res, updatedData);
        }
#ifdef KVSOLVE_TABLE_FORMATS
        // Like the Solve page, a failed solution stores nothing and has no table.
        if (format != "json" && !res.singular && !res.negativeFlow &&
            !WriteTables(E, out, err, format, updatedData)) {
            return ExitError;
        }
#endif
        if (res.singular) {
            err << "kvsolve: Singular matrix\n";
            return ExitSingular;
        }
        if (res.negativeFlow) {
            err << "kvsolve: Negative flow arose during computation\n";
            return ExitNegativeFlow;
        }
        return ExitOk;
    } catch (const kv::Exception& e) {
        err << "kvsolve: (" << e.className() << ")" << e.message() << '\n';
        return ExitError;
    }
}

} // namespace kvsolve
