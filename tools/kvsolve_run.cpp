#include "kvsolve_run.h"

#include "closurecheck.h"
#include "decompose.h"
#include "divisors.h"
#include "experimentfile.h"
#include "model.h"

#ifdef KVSOLVE_TABLE_FORMATS
#include "pagetables.h"
#include "simtab.h"
#include "txtfile.h"

#include <QDateTime>
#endif

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

namespace kvsolve {

namespace {

// A usage error: reported on one line, status 64, nothing computed.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The options that take a value, for naming the option an argument belongs to.
const std::set<std::string, std::less<>> ValueOptions{
    "--method", "--swap", "--shock",      "--data", "--title",
    "--format", "--tem",  "--experiment", "--save", "--steps"};

// The most steps --steps takes: a run of this many takes about a second.
constexpr int MaxEulerSteps = 10000;

// Whether s is well-formed UTF-8 (no overlong forms, surrogates or code points
// beyond U+10FFFF); at holds the offset of the first bad byte.
bool ValidUtf8(std::string_view s, std::size_t& at) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        unsigned cp = 0;
        if (b < 0x80) {
            len = 1;
            cp = b;
        } else if (b >= 0xc2 && b <= 0xdf) {
            len = 2;
            cp = b & 0x1fu;
        } else if (b >= 0xe0 && b <= 0xef) {
            len = 3;
            cp = b & 0x0fu;
        } else if (b >= 0xf0 && b <= 0xf4) {
            len = 4;
            cp = b & 0x07u;
        } else {
            at = i;
            return false;
        }
        if (i + len > s.size()) {
            at = i;
            return false;
        }
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xc0u) != 0x80u) {
                at = i;
                return false;
            }
            cp = (cp << 6) | (c & 0x3fu);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xd800 && cp <= 0xdfff))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10ffff))) {
            at = i;
            return false;
        }
        i += len;
    }
    return true;
}

// An argument as a message shows it, in single quotes: control characters and
// bytes that are not UTF-8 written as \xNN.
std::string Quoted(std::string_view s) {
    std::string shown = "'";
    std::size_t bad = 0;
    const bool utf8 = ValidUtf8(s, bad);
    for (const char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7f || (!utf8 && b >= 0x80)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            shown += hex;
        } else {
            shown += ch;
        }
    }
    return shown + "'";
}

// Refuses an argument that is not UTF-8 or holds a control character, naming
// the option it belongs to.
void CheckArgumentText(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string owner;
        if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
            owner = arg.substr(0, arg.find('='));
        } else if (i > 0 && ValueOptions.count(args[i - 1]) > 0) {
            owner = args[i - 1];
        } else {
            owner = "argument " + std::to_string(i + 1);
        }
        std::size_t bad = 0;
        if (!ValidUtf8(owner, bad)) {
            owner = Quoted(owner);
        }
        if (!ValidUtf8(arg, bad)) {
            throw UsageError(owner + ": " + Quoted(arg) + " is not valid UTF-8 (byte " +
                             std::to_string(bad + 1) + ")");
        }
        for (const char ch : arg) {
            const auto b = static_cast<unsigned char>(ch);
            if (b < 0x20 || b == 0x7f) {
                throw UsageError(owner + ": " + Quoted(arg) + " holds a control character");
            }
        }
    }
}

double ParseNumber(std::string_view text, const std::string& what) {
    if (text.empty()) {
        throw UsageError(what + ": a number is missing");
    }
    double value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') {
        ++first;
    }
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range && ptr == last) {
        throw UsageError(what + ": " + Quoted(text) +
                         " is out of range (too large or too small for a number)");
    }
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        throw UsageError(what + ": not a number: " + Quoted(text));
    }
    return value;
}

std::string NumberText(double value) {
    char buf[32];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("?");
}

void CheckRange(double value, std::string_view typed, double lo, double hi,
                const std::string& what) {
    if (value < lo || value > hi) {
        throw UsageError(what + ": value out of range: " + std::string(typed) + " (allowed " +
                         NumberText(lo) + " to " + NumberText(hi) + ")");
    }
}

kv::Variable NamedVariable(std::string_view name, const std::string& what) {
    const kv::Variable v = kv::FindVariable(name);
    if (v == 0) {
        throw UsageError(what + ": unknown variable " + Quoted(name));
    }
    return v;
}

// Splits "A<sep>B" of the option's argument; form names the parts for the message.
std::pair<std::string, std::string> SplitAt(const std::string& text, char sep,
                                            const std::string& what, std::string_view form) {
    const auto pos = text.find(sep);
    if (pos == std::string::npos) {
        throw UsageError(what + ": expects " + std::string(form) + ", got " +
                         (text.empty() ? std::string("an empty argument") : Quoted(text)));
    }
    return {text.substr(0, pos), text.substr(pos + 1)};
}

// One database cell index of --data, checked before it becomes an integer.
int CellIndex(const std::string& text, int last, const std::string& cell, const std::string& what) {
    const double d = ParseNumber(text, what);
    if (!(d >= 1 && d <= last) || d != std::floor(d)) {
        throw UsageError(what + ": cell " + cell + " is not an entered cell of the database");
    }
    return static_cast<int>(d);
}

// What was solved, as the JSON echoes it.
struct TEcho {
    std::vector<kv::TDataEdit> DataEdits; // in the order given
    std::vector<std::pair<kv::Variable, kv::Variable>>
        Exchanges; // (made exogenous, made endogenous)
};

void ApplyDataEdit(kv::TExperiment& E, const std::string& arg, TEcho& echo) {
    const std::string what = "--data " + Quoted(arg);
    const auto [cell, valueText] = SplitAt(arg, '=', what, "R,C=VALUE");
    const auto [rowText, colText] = SplitAt(cell, ',', what, "R,C=VALUE");
    const int r = CellIndex(rowText, kv::DataRows, cell, what);
    const int c = CellIndex(colText, kv::DataCols, cell, what);
    if (!kv::EditMask(r, c)) {
        throw UsageError(what + ": cell " + cell + " is not an entered cell of the database");
    }
    const double value = ParseNumber(valueText, what);
    CheckRange(value, valueText, -100, 500, what);
    E.BaseData(r, c) = value;
    echo.DataEdits.push_back({r, c, value});
}

void ApplySwap(kv::TExperiment& E, const std::string& arg, TEcho& echo) {
    const std::string what = "--swap " + Quoted(arg);
    const auto [endoName, exoName] = SplitAt(arg, ':', what, "ENDO:EXO");
    const kv::Variable vOut = NamedVariable(endoName, what);
    const kv::Variable vIn = NamedVariable(exoName, what);
    if (!E.Closure.Endo(vOut)) {
        throw UsageError(what + ": " + Quoted(endoName) + " is not endogenous");
    }
    if (E.Closure.Endo(vIn)) {
        throw UsageError(what + ": " + Quoted(exoName) + " is not exogenous");
    }
    int j = 0;
    for (int k = 1; k <= kv::NumExo; ++k) {
        if (E.Closure.ExoList(k) == vIn) {
            j = k;
        }
    }
    E.Exchange(E.Closure.EndoPos(vOut), j);
    echo.Exchanges.emplace_back(vOut, vIn);
}

void ApplyShock(kv::TExperiment& E, const std::string& arg,
                std::map<kv::Variable, std::string>& shocked) {
    const std::string what = "--shock " + Quoted(arg);
    const auto [name, valueText] = SplitAt(arg, '=', what, "NAME=VALUE");
    const kv::Variable v = NamedVariable(name, what);
    if (E.Closure.Endo(v)) {
        throw UsageError(what + ": " + Quoted(name) + " is not exogenous");
    }
    const auto [it, first] = shocked.emplace(v, arg);
    if (!first) {
        throw UsageError(what + ": " + Quoted(name) + " is shocked twice (also --shock " +
                         Quoted(it->second) + ")");
    }
    const double value = ParseNumber(valueText, what);
    CheckRange(value, valueText, -99, 500, what);
    E.ShockVec(v) = value;
}

// A field of RFC 4180 text: quoted when it holds a comma, a quote or a line
// break, with each quote doubled.
std::string CsvField(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(s);
    }
    std::string quoted = "\"";
    for (const char ch : s) {
        quoted += ch;
        if (ch == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

void WriteCsvRow(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out << (i > 0 ? "," : "") << CsvField(fields[i]);
    }
    out << "\r\n";
}

void WriteVariables(const kv::TExperiment& E, std::ostream& out, bool csv) {
    if (csv) {
        WriteCsvRow(out, {"index", "name", "description", "closure"});
    }
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        const char* closure = E.Closure.Endo(v) ? "endogenous" : "exogenous";
        if (csv) {
            WriteCsvRow(out, {std::to_string(v), kv::VarName(v), kv::VarDesc(v), closure});
        } else {
            out << v << '\t' << kv::VarName(v) << '\t' << kv::VarDesc(v) << '\t' << closure << '\n';
        }
    }
}

// One row per variable of the solution: name, description, title, method run,
// value with full precision, and whether it was exogenous.
void WriteLongCsv(const kv::TExperiment& E, std::ostream& out, const std::string& title,
                  int methodRun) {
    WriteCsvRow(out, {"variable", "description", "experiment", "method", "value", "exogenous"});
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        WriteCsvRow(out, {kv::VarName(v), kv::VarDesc(v), title, std::to_string(methodRun),
                          NumberText(E.ShockVec(v)), E.Closure.Endo(v) ? "false" : "true"});
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

nlohmann::ordered_json MakeJson(const kv::TExperiment& E, const std::string& title, int methodAsked,
                                const kv::SolveResult& res, const TEcho& echo,
                                const kv::Variable_Real& shocks, bool updatedData) {
    nlohmann::ordered_json doc;
    doc["title"] = title;
    doc["method"] = kv::MethodRun(methodAsked);
    doc["method_requested"] = methodAsked;
    doc["method_name"] = kv::MethodCaption(methodAsked);
    doc["status"] = StatusName(res);
    nlohmann::ordered_json edits = nlohmann::ordered_json::array();
    for (const kv::TDataEdit& e : echo.DataEdits) {
        edits.push_back({{"row", e.Row},
                         {"column", e.Col},
                         {"row_label", kv::RowLabel(e.Row)},
                         {"column_label", kv::ColLabel(e.Col)},
                         {"value", e.Value}});
    }
    doc["data_edits"] = edits;
    nlohmann::ordered_json exchanges = nlohmann::ordered_json::array();
    for (const auto& [out, in] : echo.Exchanges) {
        exchanges.push_back(
            {{"made_exogenous", kv::VarName(out)}, {"made_endogenous", kv::VarName(in)}});
    }
    doc["exchanges"] = exchanges;
    nlohmann::ordered_json shockDoc = nlohmann::ordered_json::object();
    for (int k = 1; k <= kv::NumExo; ++k) {
        const kv::Variable v = E.Closure.ExoList(k);
        shockDoc[kv::VarName(v)] = shocks(v);
    }
    doc["shocks"] = shockDoc;
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
        nlohmann::ordered_json rowLabels = nlohmann::ordered_json::array();
        nlohmann::ordered_json colLabels = nlohmann::ordered_json::array();
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (int c = 1; c <= kv::DataCols; ++c) {
            colLabels.push_back(kv::ColLabel(c));
        }
        for (int r = 1; r <= kv::DataRows; ++r) {
            rowLabels.push_back(kv::RowLabel(r));
            nlohmann::ordered_json row = nlohmann::ordered_json::array();
            for (int c = 1; c <= kv::DataCols; ++c) {
                row.push_back(E.NewData(r, c));
            }
            rows.push_back(row);
        }
        doc["updated_data"] = {
            {"row_labels", rowLabels}, {"column_labels", colLabels}, {"values", rows}};
    }
    return doc;
}

// The solutions an experiment file holds, as stored, each solved again from
// its own inputs: "reproduced" is true when every result came out the same
// (bit for bit), and "largest_difference" says by how much they differ.
nlohmann::ordered_json StoredSolutionsJson(const kv::TSolutionStore& store) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (int k = 1; k <= store.Count; ++k) {
        const kv::TSolution& sol = store.Items(k);
        nlohmann::ordered_json results = nlohmann::ordered_json::object();
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            results[kv::VarName(v)] = sol.SolValue(v);
        }
        nlohmann::ordered_json item = {
            {"title", sol.Soltitle}, {"method", sol.Method}, {"results", results}};
        kv::TExperiment again = kv::ExperimentOf(sol.Inputs);
        if (sol.Method >= 1 && again.Solve(sol.Method).success && again.Solutions.Count == 1) {
            double largest = 0;
            for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
                largest = std::max(largest, std::fabs(again.ShockVec(v) - sol.SolValue(v)));
            }
            item["reproduced"] = again.ShockVec == sol.SolValue;
            item["largest_difference"] = largest;
        } else {
            item["reproduced"] = false;
        }
        list.push_back(item);
    }
    return list;
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

#endif

const std::vector<std::string> Formats{"json", "csv", "text", "long-csv"};
const char* const FormatHelp =
    "Output format: json; csv (the Results page as Save writes it); text (the Results "
    "page as Print writes it); long-csv (one RFC 4180 row per variable: variable, "
    "description, experiment, method, value, exogenous)";

// The edits, exchanges and shocks given, for the messages about a failed solve.
std::string GivenOptions(const std::vector<std::string>& dataEdits,
                         const std::vector<std::string>& swaps,
                         const std::vector<std::string>& shocks) {
    std::string given;
    const auto add = [&given](const char* option, const std::vector<std::string>& values) {
        for (const std::string& v : values) {
            given += (given.empty() ? "" : " ") + std::string(option) + " " + Quoted(v);
        }
    };
    add("--data", dataEdits);
    add("--swap", swaps);
    add("--shock", shocks);
    return given.empty() ? std::string("no options: the default experiment") : given;
}

// Whether the check file named by --tem can be written: it is created (or
// kept) now, so that a folder that cannot take it fails before anything is
// solved; why says what went wrong.
bool TemWritable(const std::string& path, std::string& why) {
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (f == nullptr) {
        const int error = errno;
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(path, ec);
        why = "--tem " + Quoted(path) + ": cannot write the check file " +
              Quoted(ec ? path : full.lexically_normal().string()) + ": " + std::strerror(error);
        return false;
    }
    std::fclose(f);
    return true;
}

// The contributions of every exogenous variable of the closure to every
// result (zero for an unshocked one): the new solution's own decomposition, or,
// when the experiment held six solutions and stored none, a second solve with
// the decomposition, which gives the same results bit for bit.
nlohmann::ordered_json DecompositionJson(const kv::TExperiment& E, int storedBefore, int method,
                                         const kv::Variable_Real& shocks) {
    std::shared_ptr<const kv::TDecomposition> stored;
    if (E.Solutions.Count > storedBefore) {
        stored = E.Solutions.Items(E.Solutions.Count).Decomposition;
    }
    if (!stored) {
        auto decomposition = std::make_shared<kv::TDecomposition>();
        auto work = std::make_unique<kv::Data_Real>();
        kv::Variable_Real vec = shocks;
        kv::SolveModel(method, E.BaseData, *work, vec, E.Closure, decomposition.get());
        stored = decomposition;
    }
    const kv::TDecomposition& decomposition = *stored;
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        nlohmann::ordered_json parts = nlohmann::ordered_json::object();
        for (int k = 1; k <= kv::NumExo; ++k) {
            const kv::Variable j = E.Closure.ExoList(k);
            parts[kv::VarName(j)] = decomposition(v, j);
        }
        doc[kv::VarName(v)] = parts;
    }
    return doc;
}

// The Euler solution with each number of steps; null for a run that fails.
nlohmann::ordered_json EulerJson(const kv::TExperiment& E, const std::vector<int>& steps,
                                 const kv::Variable_Real& shocks) {
    nlohmann::ordered_json doc = nlohmann::ordered_json::object();
    auto work = std::make_unique<kv::Data_Real>();
    for (const int n : steps) {
        kv::Variable_Real vec = shocks;
        if (!kv::EulerSolve(n, E.BaseData, *work, vec, E.Closure).success) {
            doc[std::to_string(n)] = nullptr;
            continue;
        }
        nlohmann::ordered_json results = nlohmann::ordered_json::object();
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            results[kv::VarName(v)] = vec(v);
        }
        doc[std::to_string(n)] = results;
    }
    return doc;
}

// What no equation of a singular (or nearly singular) closure pins down, and
// the single exchanges that cure it.
nlohmann::ordered_json SingularJson(const kv::TClosureCheck& check) {
    nlohmann::ordered_json directions = nlohmann::ordered_json::array();
    for (const kv::Variable_Real& d : check.NullDirections) {
        nlohmann::ordered_json weights = nlohmann::ordered_json::object();
        for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
            if (d(v) != 0) {
                weights[kv::VarName(v)] = d(v);
            }
        }
        directions.push_back(weights);
    }
    nlohmann::ordered_json fixes = nlohmann::ordered_json::array();
    for (const kv::TExchange& x : check.FixingExchanges) {
        fixes.push_back({kv::VarName(x.Endogenous), kv::VarName(x.Exogenous)});
    }
    return {{"null_directions", directions},
            {"fixing_exchanges", fixes},
            {"explanation", check.Explanation}};
}

// The options that apply to every experiment solved.
struct TRunOptions {
    int Method;
    std::vector<std::string> Swaps;
    std::vector<std::string> Shocks;
    std::vector<std::string> DataEdits;
    std::string Title;
    bool TitleGiven;
    std::string Format;
    bool UpdatedData;
    bool ListVariables;
    std::string Save;
    bool Decompose;
    std::vector<int> Steps;
    bool Explain;
    std::string File; // the experiment file; empty: the default experiment
};

// The page a saved experiment opens on in the window: Results.
constexpr int kPageResults = 6;

// Solves one experiment (the default one, or o.File's) with the options and
// writes its output; in json format the document is left in doc for the
// caller, who writes one or a list. Returns the exit status.
int SolveExperiment(const TRunOptions& o, std::ostream& out, std::ostream& err,
                    nlohmann::ordered_json& doc) {
    kv::TExperiment E;
    const std::string& file = o.File;
    const std::string fileNote = file.empty() ? std::string() : " in " + Quoted(file);
    if (!file.empty()) {
        kv::TExperimentFile read;
        std::string why;
        if (!kv::ReadExperimentFile(file, read, why)) {
            err << "kvsolve: --experiment " << Quoted(file) << ": " << why << '\n';
            doc = {{"file", file}, {"status", "unreadable"}, {"error", why}};
            return ExitNoInput;
        }
        E.Assign(read.State);
    }
    const kv::TSolutionStore stored = E.Solutions;
    if (!o.Save.empty() && E.Solutions.Count >= kv::MaxSolutions) {
        err << "kvsolve: --save " << Quoted(o.Save) << ": the experiment" << fileNote << " holds "
            << kv::MaxSolutions << " solutions already, so the new one cannot be stored\n";
        return ExitUsage;
    }
    const auto& dataEdits = o.DataEdits;
    const auto& swaps = o.Swaps;
    const auto& shocks = o.Shocks;
    const std::string& format = o.Format;
    const int method = o.Method;
    const bool updatedData = o.UpdatedData;
    TEcho echo;
    try {
        for (const auto& edit : dataEdits) {
            ApplyDataEdit(E, edit, echo);
        }
        for (const auto& swap : swaps) {
            ApplySwap(E, swap, echo);
        }
        std::map<kv::Variable, std::string> shocked;
        for (const auto& shock : shocks) {
            ApplyShock(E, shock, shocked);
        }
    } catch (const UsageError& e) {
        err << "kvsolve: " << e.what() << '\n';
        return ExitUsage;
    }
    if (o.ListVariables) {
        WriteVariables(E, out, format == "csv" || format == "long-csv");
        return ExitOk;
    }

    const std::string given =
        GivenOptions(dataEdits, swaps, shocks) + (file.empty() ? "" : ", " + Quoted(file));
    try {
        if (!dataEdits.empty() || !file.empty()) {
            if (kv::DeriveData(E.BaseData)) {
                std::string cells;
                for (const auto& [r, c] : kv::NegativeFlowCells(E.BaseData)) {
                    cells += (cells.empty() ? "" : ", ") + std::string("cell ") +
                             std::to_string(r) + "," + std::to_string(c) + " (" + kv::RowLabel(r) +
                             ", " + kv::ColLabel(c) + ") is " + NumberText(E.BaseData(r, c));
                }
                err << "kvsolve: Warning: Editing caused negative values in Data Base (" << given
                    << "): " << cells << "; please rectify\n";
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
        // A file keeps its own next title unless --title names one.
        if (file.empty() || o.TitleGiven) {
            E.Title = o.Title;
        }
        const std::string title = E.Title;
        const kv::Variable_Real shocksGiven = E.ShockVec;
        const kv::SolveResult res = E.Solve(method);
        const bool solved = !res.singular && !res.negativeFlow;
        // A closure that solves may still be nearly singular; a singular one is
        // explained when asked.
        std::optional<kv::TClosureCheck> check;
        if (solved || (res.singular && o.Explain)) {
            std::optional<kv::TExchange> last;
            if (!echo.Exchanges.empty()) {
                last = kv::TExchange{echo.Exchanges.back().first, echo.Exchanges.back().second};
            }
            check = kv::CheckClosure(E.Tableau, E.Closure, last);
        }
        const bool unreliable = solved && check && check->Unreliable;
        // The explanation begins "This closure can be solved, but its results are unreliable".
        const std::string warning = unreliable ? check->Explanation : std::string();
        if (format == "json") {
            doc = MakeJson(E, title, method, res, echo, shocksGiven, updatedData);
            if (!file.empty()) {
                doc["file"] = file;
                doc["stored_solutions"] = StoredSolutionsJson(stored);
            }
            if (unreliable) {
                doc["warning"] = warning;
            }
            if (o.Decompose && solved) {
                doc["decomposition"] = DecompositionJson(E, stored.Count, method, shocksGiven);
            }
            if (!o.Steps.empty()) {
                doc["euler"] = EulerJson(E, o.Steps, shocksGiven);
            }
            if (res.singular && o.Explain) {
                doc["singular"] = SingularJson(*check);
            }
        }
        if (unreliable) {
            err << "kvsolve: Warning: " << warning << '\n';
        }
        if (format == "long-csv" && solved) {
            WriteLongCsv(E, out, title, kv::MethodRun(method));
        }
#ifdef KVSOLVE_TABLE_FORMATS
        // Like the Solve page, a failed solution stores nothing and has no table.
        if ((format == "csv" || format == "text") && solved &&
            !WriteTables(E, out, err, format, updatedData)) {
            return ExitError;
        }
#endif
        if (res.singular) {
            err << "kvsolve: Singular matrix: the closure does not determine the endogenous "
                   "variables ("
                << given << ")\n";
            return ExitSingular;
        }
        if (res.negativeFlow) {
            err << "kvsolve: Negative flow arose during computation (method "
                << kv::MethodRun(method) << ", " << given << ")\n";
            return ExitNegativeFlow;
        }
        if (!o.Save.empty()) {
            const std::string text =
                kv::ExperimentToJson({E.State(), kPageResults, {}}, "kvsolve " WINVELMAR_VERSION);
            if (std::string why; !kv::WriteFileAtomically(o.Save, text, why)) {
                err << "kvsolve: --save " << Quoted(o.Save) << ": " << why << '\n';
                return ExitCannotSave;
            }
        }
        return ExitOk;
    } catch (const kv::Exception& e) {
        err << "kvsolve: (" << e.className() << ")" << e.message() << " (" << given << ")\n";
        return ExitError;
    }
}

int RunParsed(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"kvsolve: solves one experiment on the KV model and prints the results.",
                 "kvsolve"};
    int method = 1;
    std::vector<std::string> swaps;
    std::vector<std::string> shocks;
    std::vector<std::string> dataEdits;
    std::string title = "Sim 1";
    std::string format = "json";
    std::string tem;
    bool updatedData = false;
    bool listVariables = false;
    std::vector<std::string> experiments;
    std::string save;
    bool decompose = false;
    std::vector<int> steps;
    bool explain = false;
    app.set_version_flag("--version",
                         std::string("kvsolve " WINVELMAR_VERSION "\n" WINVELMAR_LICENCE),
                         "Print the version and the licence, then stop");
    app.add_option("--method", method,
                   "Solution method: 1 Johansen, 2 Euler 4-step, 3 Euler 16-step, "
                   "4 Euler 2-4-8 extrapolation, 5 Euler 8-16-32 extrapolation "
                   "(any other number: 4)");
    app.add_option("--swap", swaps,
                   "ENDO:EXO - exchange an endogenous with an exogenous variable (repeatable, "
                   "applied in order)");
    app.add_option("--shock", shocks,
                   "NAME=VALUE - shock of an exogenous variable, -99 to 500 (repeatable, once "
                   "per variable)");
    app.add_option("--data", dataEdits,
                   "R,C=VALUE - set an entered cell of the initial database, -100 to 500 "
                   "(repeatable, once per cell)");
    app.add_option("--title", title, "Experiment title (default \"Sim 1\")");
    app.add_option("--format", format, FormatHelp)->check(CLI::IsMember(Formats));
    app.add_option("--tem", tem,
                   "Write the consistency-check file of every solution step to FILE "
                   "(by default no file is written)");
    app.add_flag("--updated-data", updatedData,
                 "Include the updated database (json: with its row and column labels; csv, "
                 "text: the Updated Data page after the Results page)");
    app.add_option("--experiment", experiments,
                   "FILE - solve the experiment of a WinVELMAR file (.kvx): its database, "
                   "closure and shocks, which the other options then change (repeatable: each "
                   "file in turn, the JSON documents in a list)");
    app.add_option("--save", save,
                   "FILE - write the experiment with its new solution added to an experiment "
                   "file (.kvx) that WinVELMAR opens");
    app.add_flag("--decompose", decompose,
                 "json: add the contribution of every exogenous variable to every result "
                 "(\"decomposition\"; they add up to the result)");
    app.add_option("--steps", steps,
                   "N - json: add the results of Euler with N steps, 1 to 10000 (\"euler\"; "
                   "repeatable)");
    app.add_flag("--explain", explain,
                 "json: for a singular closure, add what it leaves undetermined and the single "
                 "exchanges that make it solvable (\"singular\")");
    app.add_flag("--variables", listVariables,
                 "List index, name, description and closure of every variable (--format csv: "
                 "as CSV), then stop");

    try {
        CheckArgumentText(args);
    } catch (const UsageError& e) {
        err << "kvsolve: " << e.what() << '\n';
        return ExitUsage;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return ExitOk;
    } catch (const CLI::ExtrasError&) {
        std::string extras;
        for (const std::string& extra : app.remaining()) {
            extras += (extras.empty() ? "" : " ") + Quoted(extra);
        }
        err << "kvsolve: unexpected argument " << extras
            << " (every value follows its option; see --help)\n";
        return ExitUsage;
    } catch (const CLI::ParseError& e) {
        err << "kvsolve: " << e.what() << '\n';
        return ExitUsage;
    }
#ifndef KVSOLVE_TABLE_FORMATS
    if ((format == "csv" || format == "text") && !listVariables) {
        err << "kvsolve: --format " << format
            << ": the pages' tables need the output library, which this build of kvsolve has "
               "not\n";
        return ExitUsage;
    }
#endif
    if (updatedData && format == "long-csv") {
        err << "kvsolve: --updated-data: not available with --format long-csv (use --format json "
               "or csv)\n";
        return ExitUsage;
    }

    for (const auto& [flag, given] :
         {std::pair{"--decompose", decompose}, std::pair{"--steps", !steps.empty()},
          std::pair{"--explain", explain}}) {
        if (given && format != "json") {
            err << "kvsolve: " << flag << ": only with --format json\n";
            return ExitUsage;
        }
    }
    for (const int n : steps) {
        if (n < 1 || n > MaxEulerSteps) {
            err << "kvsolve: --steps " << n << ": the number of steps is from 1 to "
                << MaxEulerSteps << '\n';
            return ExitUsage;
        }
    }
    if (experiments.size() > 1 && format != "json") {
        err << "kvsolve: --experiment: several experiment files need --format json (one JSON "
               "document each, in a JSON array)\n";
        return ExitUsage;
    }
    if (!save.empty() && experiments.size() > 1) {
        err << "kvsolve: --save " << Quoted(save) << ": one experiment is saved at a time, not "
            << experiments.size() << "\n";
        return ExitUsage;
    }
    if (method < 1 || method > 5) {
        err << "kvsolve: --method " << method << ": there is no method " << method << "; method 4 ("
            << kv::MethodCaption(method) << ") runs\n";
    }

    // The check file only where it was asked for: a command-line tool works in
    // a folder it cannot write.
    struct TemName {
        std::string Before = kv::TemFileName;
        ~TemName() { kv::TemFileName = Before; }
    } temName;
    kv::TemFileName = tem;
    if (std::string why; !tem.empty() && !TemWritable(tem, why)) {
        err << "kvsolve: " << why << '\n';
        return ExitError;
    }

    TRunOptions run{
        method,  swaps,       shocks,        dataEdits, title,     app.count("--title") > 0,
        format,  updatedData, listVariables, save,      decompose, steps,
        explain, {}};
    if (experiments.empty()) {
        nlohmann::ordered_json doc;
        const int status = SolveExperiment(run, out, err, doc);
        if (!doc.is_null()) {
            out << doc.dump(2) << '\n';
        }
        return status;
    }
    // Each file in turn; the status is that of the first that did not solve.
    nlohmann::ordered_json docs = nlohmann::ordered_json::array();
    int status = ExitOk;
    for (const std::string& file : experiments) {
        run.File = file;
        nlohmann::ordered_json doc;
        const int one = SolveExperiment(run, out, err, doc);
        if (status == ExitOk) {
            status = one;
        }
        if (one == ExitUsage && doc.is_null()) {
            return ExitUsage; // the options are wrong for every file alike
        }
        if (!doc.is_null()) {
            docs.push_back(doc);
        }
    }
    if (format == "json" && !docs.empty()) {
        out << (experiments.size() == 1 ? docs[0] : docs).dump(2) << '\n';
    }
    return status;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Nothing escapes: whatever was not foreseen is reported as an error.
    try {
        return RunParsed(args, out, err);
    } catch (const std::bad_alloc&) {
        err << "kvsolve: out of memory\n";
    } catch (const std::exception& e) {
        err << "kvsolve: unexpected error: " << e.what() << '\n';
    } catch (...) {
        err << "kvsolve: unexpected error\n";
    }
    return ExitError;
}

} // namespace kvsolve
