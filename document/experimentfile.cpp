#include "experimentfile.h"

#include "decompose.h"
#include "errors.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kv {

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

// Entered cells take the Data page's values, shocks the Shocks page's.
constexpr double MinCell = -100;
constexpr double MaxCell = 500;
constexpr double MinShock = -99;
constexpr double MaxShock = 500;
// A solve gives an exogenous variable its shock back up to rounding.
constexpr double ShockSlack = 1e-9;
constexpr std::size_t MaxTitleChars = 8; // the Solve page's title box
constexpr std::size_t MaxSolutionTitleBytes = 1000;
constexpr int MaxSolutionsMade = 1000000000;

std::string Name(Variable v) {
    return VarName(v);
}

// Writing ----------------------------------------------------------------------

ordered_json CellsJson(const std::vector<TDataEdit>& cells) {
    ordered_json list = ordered_json::array();
    for (const TDataEdit& cell : cells) {
        list.push_back({{"row", cell.Row}, {"column", cell.Col}, {"value", cell.Value}});
    }
    return list;
}

std::vector<TDataEdit> EnteredCells(const Data_Real& D) {
    std::vector<TDataEdit> cells;
    for (int r = 1; r <= DataRows; ++r) {
        for (int c = 1; c <= DataCols; ++c) {
            if (EditMask(r, c)) {
                cells.push_back({r, c, D(r, c)});
            }
        }
    }
    return cells;
}

ordered_json NamesJson(const Vec1<Variable, NumExo>& list) {
    ordered_json names = ordered_json::array();
    for (Variable v : list) {
        names.push_back(Name(v));
    }
    return names;
}

// The values of the variables that are (or are not) exogenous in list.
ordered_json ValuesJson(const Variable_Real& values, const Vec1<Variable, NumExo>& exoList,
                        bool exogenous) {
    ordered_json object = ordered_json::object();
    if (exogenous) {
        for (Variable v : exoList) {
            object[Name(v)] = values(v);
        }
        return object;
    }
    for (Variable v = 1; v <= NumVars; ++v) {
        if (std::find(exoList.begin(), exoList.end(), v) == exoList.end()) {
            object[Name(v)] = values(v);
        }
    }
    return object;
}

// A solution's exogenous list: the one it was solved with, or, when that is
// not known, its exogenous variables in the order of the variables.
Vec1<Variable, NumExo> SolutionExoList(const TSolution& sol) {
    if (std::find(sol.Inputs.ExoList.begin(), sol.Inputs.ExoList.end(), 0) ==
        sol.Inputs.ExoList.end()) {
        return sol.Inputs.ExoList;
    }
    Vec1<Variable, NumExo> list{};
    int k = 0;
    for (Variable v = 1; v <= NumVars && k < NumExo; ++v) {
        if (!sol.SolEndo(v)) {
            list(++k) = v;
        }
    }
    return list;
}

ordered_json SolutionJson(const TSolution& sol) {
    const Vec1<Variable, NumExo> exo = SolutionExoList(sol);
    ordered_json results = ordered_json::object();
    for (Variable v = 1; v <= NumVars; ++v) {
        results[Name(v)] = sol.SolValue(v);
    }
    ordered_json object = {{"title", sol.Soltitle},
                           {"method", sol.Method},
                           {"database", CellsJson(sol.Inputs.DataEdits)},
                           {"exogenous", NamesJson(exo)},
                           {"shocks", ValuesJson(sol.Inputs.Shocks, exo, true)},
                           {"results", results}};
    if (sol.Decomposition) {
        // Each variable's result split among the exogenous variables.
        ordered_json parts = ordered_json::object();
        for (Variable v = 1; v <= NumVars; ++v) {
            ordered_json row = ordered_json::object();
            for (Variable j : exo) {
                row[Name(j)] = (*sol.Decomposition)(v, j);
            }
            parts[Name(v)] = row;
        }
        object["decomposition"] = parts;
    }
    return object;
}

// Reading ----------------------------------------------------------------------

// A refused file: where in it, and why.
struct TFileProblem {
    std::string Place;
    std::string Reason;
};

[[noreturn]] void Refuse(const std::string& place, const std::string& reason) {
    throw TFileProblem{place, reason};
}

std::string Member(const std::string& place, const std::string& key) {
    return place.empty() ? key : place + "." + key;
}

std::string Item(const std::string& place, std::size_t i) {
    return place + "[" + std::to_string(i + 1) + "]";
}

std::string Shown(double value) {
    std::ostringstream text;
    text.precision(17);
    text << value;
    return text.str();
}

const char* TypeName(const json& value) {
    switch (value.type()) {
    case json::value_t::null:
        return "null";
    case json::value_t::boolean:
        return "true or false";
    case json::value_t::string:
        return "text";
    case json::value_t::array:
        return "a list";
    case json::value_t::object:
        return "an object";
    default:
        return "a number";
    }
}

const json& Expect(const json& value, json::value_t type, const std::string& place,
                   const char* what) {
    const bool ok = type == json::value_t::number_float ? value.is_number() : value.type() == type;
    if (!ok) {
        Refuse(place, std::string("must be ") + what + ", not " + TypeName(value));
    }
    return value;
}

const json& Object(const json& value, const std::string& place) {
    return Expect(value, json::value_t::object, place, "an object");
}

const json& Array(const json& value, const std::string& place) {
    return Expect(value, json::value_t::array, place, "a list");
}

std::string Text(const json& value, const std::string& place) {
    return Expect(value, json::value_t::string, place, "text").get<std::string>();
}

double Number(const json& value, const std::string& place) {
    Expect(value, json::value_t::number_float, place, "a number");
    const double x = value.get<double>();
    if (!std::isfinite(x)) {
        Refuse(place, "the number is too large");
    }
    return x;
}

double NumberIn(const json& value, const std::string& place, double lo, double hi,
                double slack = 0) {
    const double x = Number(value, place);
    if (x < lo - slack || x > hi + slack) {
        Refuse(place, Shown(x) + " is outside " + Shown(lo) + " to " + Shown(hi));
    }
    return x;
}

long long Integer(const json& value, const std::string& place, long long lo, long long hi) {
    if (!value.is_number_integer()) {
        Refuse(place, std::string("must be a whole number, not ") +
                          (value.is_number() ? "a fraction" : TypeName(value)));
    }
    // Unsigned values above the signed range read as their true size.
    const bool huge = value.is_number_unsigned() &&
                      value.get<unsigned long long>() > static_cast<unsigned long long>(hi);
    const long long x = huge ? hi + 1 : value.get<long long>();
    if (huge || x < lo || x > hi) {
        Refuse(place, (huge ? value.dump() : std::to_string(x)) + " is outside " +
                          std::to_string(lo) + " to " + std::to_string(hi));
    }
    return x;
}

// The fields an object may have; any other is refused, so that a misspelt
// field is never silently ignored.
void KnownFields(const json& object, const std::string& place,
                 std::initializer_list<const char*> fields) {
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        if (std::none_of(fields.begin(), fields.end(),
                         [&key](const char* field) { return key == field; })) {
            Refuse(Member(place, key), "unknown field");
        }
    }
}

Variable VariableNamed(const std::string& name, const std::string& place) {
    const Variable v = FindVariable(name);
    if (v == 0) {
        Refuse(place, "unknown variable \"" + name + "\"");
    }
    return v;
}

std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char ch : utf8) {
        count += (ch & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// Entered cells into D, which holds the defaults for the cells not given.
std::vector<TDataEdit> ReadCells(const json& value, const std::string& place) {
    std::vector<TDataEdit> cells;
    std::set<std::pair<int, int>> seen;
    const json& list = Array(value, place);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = Item(place, i);
        const json& cell = Object(list[i], at);
        KnownFields(cell, at, {"row", "column", "value"});
        for (const char* field : {"row", "column", "value"}) {
            if (!cell.contains(field)) {
                Refuse(Member(at, field), "missing");
            }
        }
        const int r = static_cast<int>(Integer(cell["row"], Member(at, "row"), 1, DataRows));
        const int c = static_cast<int>(Integer(cell["column"], Member(at, "column"), 1, DataCols));
        if (!EditMask(r, c)) {
            Refuse(at, "row " + std::to_string(r) + ", column " + std::to_string(c) +
                           " is not an entered cell of the database");
        }
        if (!seen.insert({r, c}).second) {
            Refuse(at, "row " + std::to_string(r) + ", column " + std::to_string(c) +
                           " is given twice");
        }
        cells.push_back({r, c, NumberIn(cell["value"], Member(at, "value"), MinCell, MaxCell)});
    }
    return cells;
}

Data_Real DatabaseFrom(const std::vector<TDataEdit>& cells) {
    Data_Real D;
    DefaultData(D);
    for (const TDataEdit& cell : cells) {
        D(cell.Row, cell.Col) = cell.Value;
    }
    DeriveData(D);
    return D;
}

Vec1<Variable, NumExo> ReadExoList(const json& value, const std::string& place) {
    const json& list = Array(value, place);
    if (list.size() != static_cast<std::size_t>(NumExo)) {
        Refuse(place, "a closure has " + std::to_string(NumExo) + " exogenous variables, not " +
                          std::to_string(list.size()));
    }
    Vec1<Variable, NumExo> exo{};
    for (int k = 1; k <= NumExo; ++k) {
        const std::string at = Item(place, static_cast<std::size_t>(k - 1));
        const Variable v = VariableNamed(Text(list[static_cast<std::size_t>(k - 1)], at), at);
        if (std::find(exo.begin(), exo.end(), v) != exo.end()) {
            Refuse(at, "\"" + Name(v) + "\" is listed twice");
        }
        exo(k) = v;
    }
    return exo;
}

TClosure ClosureOf(const Vec1<Variable, NumExo>& exo) {
    TClosure cl;
    cl.Endo.fill(true);
    for (int k = 1; k <= NumExo; ++k) {
        cl.ExoList(k) = exo(k);
        cl.Endo(exo(k)) = false;
    }
    RecountClosure(cl);
    return cl;
}

// Values by variable name into values; exogenous: the names must be (or must
// not be) exogenous in the closure.
void ReadValues(const json& value, const std::string& place, const TClosure& closure,
                bool exogenous, Variable_Real& values) {
    for (const auto& [name, x] : Object(value, place).items()) {
        const std::string at = Member(place, name);
        const Variable v = VariableNamed(name, at);
        if (closure.Endo(v) == exogenous) {
            Refuse(at, "\"" + name + "\" is " + (exogenous ? "endogenous" : "exogenous") +
                           " in this closure");
        }
        values(v) = exogenous ? NumberIn(x, at, MinShock, MaxShock, ShockSlack) : Number(x, at);
    }
}

// Every variable with the contribution of every exogenous variable.
std::shared_ptr<const TDecomposition> ReadDecomposition(const json& value, const std::string& place,
                                                        const TClosure& closure) {
    auto parts = std::make_shared<TDecomposition>();
    const json& object = Object(value, place);
    for (const auto& [name, row] : object.items()) {
        VariableNamed(name, Member(place, name));
    }
    for (Variable v = 1; v <= NumVars; ++v) {
        const std::string at = Member(place, Name(v));
        if (!object.contains(Name(v))) {
            Refuse(at, "missing");
        }
        const json& row = Object(object[Name(v)], at);
        for (const auto& [name, x] : row.items()) {
            const std::string cellAt = Member(at, name);
            const Variable j = VariableNamed(name, cellAt);
            if (closure.Endo(j)) {
                Refuse(cellAt, "\"" + name + "\" is endogenous in this solution");
            }
            (*parts)(v, j) = Number(x, cellAt);
        }
    }
    return parts;
}

TSolution ReadSolution(const json& value, const std::string& place) {
    const json& object = Object(value, place);
    KnownFields(object, place,
                {"title", "method", "database", "exogenous", "shocks", "results", "decomposition"});
    for (const char* field : {"title", "method", "exogenous", "results"}) {
        if (!object.contains(field)) {
            Refuse(Member(place, field), "missing");
        }
    }
    TSolution sol;
    sol.Soltitle = Text(object["title"], Member(place, "title"));
    if (sol.Soltitle.size() > MaxSolutionTitleBytes) {
        Refuse(Member(place, "title"),
               "longer than " + std::to_string(MaxSolutionTitleBytes) + " bytes");
    }
    sol.Method = static_cast<int>(Integer(object["method"], Member(place, "method"), 1, 5));
    if (object.contains("database")) {
        sol.Inputs.DataEdits = ReadCells(object["database"], Member(place, "database"));
    }
    sol.Inputs.ExoList = ReadExoList(object["exogenous"], Member(place, "exogenous"));
    const TClosure closure = ClosureOf(sol.Inputs.ExoList);
    sol.SolEndo = closure.Endo;
    if (object.contains("shocks")) {
        ReadValues(object["shocks"], Member(place, "shocks"), closure, true, sol.Inputs.Shocks);
    }
    const std::string resultsAt = Member(place, "results");
    const json& results = Object(object["results"], resultsAt);
    for (const auto& [name, x] : results.items()) {
        VariableNamed(name, Member(resultsAt, name));
    }
    for (Variable v = 1; v <= NumVars; ++v) {
        const std::string at = Member(resultsAt, Name(v));
        if (!results.contains(Name(v))) {
            Refuse(at, "missing");
        }
        sol.SolValue(v) = Number(results[Name(v)], at);
    }
    if (object.contains("decomposition")) {
        sol.Decomposition =
            ReadDecomposition(object["decomposition"], Member(place, "decomposition"), closure);
    }
    return sol;
}

void ReadDocument(const json& doc, TExperimentFile& file) {
    if (!doc.is_object()) {
        Refuse("", std::string("not a WinVELMAR experiment (the file holds ") + TypeName(doc) +
                       ", not an object)");
    }
    if (!doc.contains("format") || !doc["format"].is_string() ||
        doc["format"].get<std::string>() != ExperimentFormatName) {
        Refuse("format",
               std::string("not a WinVELMAR experiment (the field \"format\" must be \"") +
                   ExperimentFormatName + "\")");
    }
    if (!doc.contains("version")) {
        Refuse("version", "missing");
    }
    const json& version = doc["version"];
    if (version.is_number_integer() && version.get<long long>() > ExperimentFormatVersion) {
        Refuse("version", "written by a newer WinVELMAR (format version " + version.dump() +
                              "); this version reads format version " +
                              std::to_string(ExperimentFormatVersion));
    }
    Integer(version, "version", 1, ExperimentFormatVersion);
    KnownFields(doc, "",
                {"format", "version", "program", "page", "database", "exogenous", "shocks",
                 "endogenous_values", "updated_database", "title", "solutions_made", "solutions",
                 "saved_as"});

    TExperimentFile read;
    TExperimentState& S = read.State;
    if (doc.contains("program")) {
        Text(doc["program"], "program");
    }
    if (doc.contains("page")) {
        read.Page = static_cast<int>(Integer(doc["page"], "page", 0, 7));
    }
    if (doc.contains("saved_as")) {
        read.SavedAs = Text(doc["saved_as"], "saved_as");
    }

    S.BaseData = DatabaseFrom(doc.contains("database") ? ReadCells(doc["database"], "database")
                                                       : std::vector<TDataEdit>{});
    try {
        auto M = std::make_unique<Tableau_Real>();
        BuildTableau(S.BaseData, *M);
    } catch (const Exception& e) {
        Refuse("database",
               "the database makes coefficients of the model undefined (" + e.message() + ")");
    }

    if (doc.contains("exogenous")) {
        S.Closure = ClosureOf(ReadExoList(doc["exogenous"], "exogenous"));
    } else {
        DefaultClosure(S.Closure);
    }
    S.ShockVec.fill(0.0);
    if (doc.contains("shocks")) {
        ReadValues(doc["shocks"], "shocks", S.Closure, true, S.ShockVec);
    }
    if (doc.contains("endogenous_values")) {
        ReadValues(doc["endogenous_values"], "endogenous_values", S.Closure, false, S.ShockVec);
    }

    S.NewData = S.BaseData;
    if (doc.contains("updated_database")) {
        const json& rows = Array(doc["updated_database"], "updated_database");
        if (rows.size() != static_cast<std::size_t>(DataRows)) {
            Refuse("updated_database", "must have " + std::to_string(DataRows) + " rows, not " +
                                           std::to_string(rows.size()));
        }
        for (int r = 1; r <= DataRows; ++r) {
            const std::string at = Item("updated_database", static_cast<std::size_t>(r - 1));
            const json& row = Array(rows[static_cast<std::size_t>(r - 1)], at);
            if (row.size() != static_cast<std::size_t>(DataCols)) {
                Refuse(at, "must have " + std::to_string(DataCols) + " columns, not " +
                               std::to_string(row.size()));
            }
            for (int c = 1; c <= DataCols; ++c) {
                S.NewData(r, c) = Number(row[static_cast<std::size_t>(c - 1)],
                                         Item(at, static_cast<std::size_t>(c - 1)));
            }
        }
    }

    if (doc.contains("solutions")) {
        const json& list = Array(doc["solutions"], "solutions");
        if (list.size() > static_cast<std::size_t>(MaxSolutions)) {
            Refuse("solutions", "at most " + std::to_string(MaxSolutions) +
                                    " solutions are stored, not " + std::to_string(list.size()));
        }
        for (std::size_t i = 0; i < list.size(); ++i) {
            S.Solutions.Items(static_cast<int>(i) + 1) =
                ReadSolution(list[i], Item("solutions", i));
        }
        S.Solutions.Count = static_cast<int>(list.size());
    }
    S.Solutions.SimCount = S.Solutions.Count;
    if (doc.contains("solutions_made")) {
        S.Solutions.SimCount = static_cast<int>(
            Integer(doc["solutions_made"], "solutions_made", S.Solutions.Count, MaxSolutionsMade));
    }
    S.Title = "Sim " + std::to_string(S.Solutions.SimCount + 1);
    if (doc.contains("title")) {
        S.Title = Text(doc["title"], "title");
        if (CharacterCount(S.Title) > MaxTitleChars) {
            Refuse("title", "a title has at most " + std::to_string(MaxTitleChars) + " characters");
        }
    }
    file = std::move(read);
}

// The library's message without its "[json.exception.name.101] " prefix.
std::string ExceptionText(const json::exception& e) {
    std::string text = e.what();
    const auto end = text.find("] ");
    return end != std::string::npos && text.front() == '[' ? text.substr(end + 2) : text;
}

// "line 3, column 7: ..." from the parser's message.
std::string ParseErrorText(const json::parse_error& e) {
    std::string text = ExceptionText(e);
    const std::string prefix = "parse error at ";
    if (text.rfind(prefix, 0) == 0) {
        text = text.substr(prefix.size());
    }
    return text;
}

} // namespace

std::string ExperimentToJson(const TExperimentFile& file, const std::string& program) {
    const TExperimentState& S = file.State;
    ordered_json doc;
    doc["format"] = ExperimentFormatName;
    doc["version"] = ExperimentFormatVersion;
    doc["program"] = program;
    doc["page"] = file.Page;
    doc["database"] = CellsJson(EnteredCells(S.BaseData));
    doc["exogenous"] = NamesJson(S.Closure.ExoList);
    doc["shocks"] = ValuesJson(S.ShockVec, S.Closure.ExoList, true);
    doc["endogenous_values"] = ValuesJson(S.ShockVec, S.Closure.ExoList, false);
    ordered_json rows = ordered_json::array();
    for (int r = 1; r <= DataRows; ++r) {
        ordered_json row = ordered_json::array();
        for (int c = 1; c <= DataCols; ++c) {
            row.push_back(S.NewData(r, c));
        }
        rows.push_back(row);
    }
    doc["updated_database"] = rows;
    doc["title"] = S.Title;
    doc["solutions_made"] = S.Solutions.SimCount;
    ordered_json solutions = ordered_json::array();
    for (int k = 1; k <= S.Solutions.Count; ++k) {
        solutions.push_back(SolutionJson(S.Solutions.Items(k)));
    }
    doc["solutions"] = solutions;
    if (!file.SavedAs.empty()) {
        doc["saved_as"] = file.SavedAs;
    }
    // A title that is not UTF-8 (kvsolve takes any bytes) is written with
    // replacement characters rather than refused.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool ExperimentFromJson(const std::string& text, TExperimentFile& file, std::string& error) {
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        error = "the file is empty";
        return false;
    }
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        error = "not a JSON document (" + ParseErrorText(e) + ")";
        return false;
    } catch (const json::exception& e) {
        // A number too large for a double.
        error = "not a readable JSON document (" + ExceptionText(e) + ")";
        return false;
    }
    try {
        ReadDocument(doc, file);
    } catch (const TFileProblem& problem) {
        error = problem.Place.empty() ? problem.Reason : problem.Place + ": " + problem.Reason;
        return false;
    } catch (const json::exception& e) {
        error = "unreadable content (" + ExceptionText(e) + ")";
        return false;
    }
    return true;
}

bool ReadExperimentFile(const std::string& path, TExperimentFile& file, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > MaxExperimentFileSize) {
        error = "the file is too large to be an experiment (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = "the file cannot be read";
        return false;
    }
    return ExperimentFromJson(text.str(), file, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device seed;
    const fs::path temp =
        folder / ("." + target.filename().string() + "." + std::to_string(seed()) + ".tmp");
    std::FILE* f = std::fopen(temp.string().c_str(), "wb");
    if (f == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const int writeErrno = errno;
    // On the disk before the rename, so that a crash leaves the old file or the new one.
#ifdef _WIN32
    const bool flushed = std::fflush(f) == 0 && _commit(_fileno(f)) == 0;
#else
    const bool flushed = std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
#endif
    const bool closed = std::fclose(f) == 0;
    if (!written || !flushed || !closed) {
        error = std::strerror(written ? errno : writeErrno);
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        error = ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

} // namespace kv
