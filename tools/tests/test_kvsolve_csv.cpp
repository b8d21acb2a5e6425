// Every comma-separated text kvsolve writes reads back through Python's csv
// module into the cells it meant: the Results and Updated Data pages (csv),
// the long format (long-csv, with the same numbers as the JSON) and the list
// of variables; with titles that hold quotes, separators and more.
#include "kvsolve_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Table = std::vector<std::vector<std::string>>;

// The rows Python's csv module reads from text, with the separator given.
Table ReadWithPython(const std::string& text, char sep, const std::filesystem::path& dir) {
    // CTest runs the cases in parallel processes that share the folder.
    const auto file = dir / ("read-back-" + std::to_string(getpid()) + ".csv");
    {
        std::ofstream f(file, std::ios::binary);
        f << text;
    }
    const std::string command = std::string("'") + WINVELMAR_PYTHON + "' '" + WINVELMAR_CSVCELLS +
                                "' '" + sep + "' '" + file.string() + "'";
    std::string json;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) {
            json.append(buf, n);
        }
        EXPECT_EQ(pclose(p), 0) << command;
    }
    std::filesystem::remove(file);
    const auto tables = nlohmann::json::parse(json, nullptr, false);
    if (!tables.is_array() || tables.size() != 1) {
        ADD_FAILURE() << "python read nothing: " << json;
        return {};
    }
    return tables[0].get<Table>();
}

const char* const Titles[] = {"He said \"hi\", ok",      "a;b \"c;\"",  "\"", "  padded, ",
                              "#-10.000 \u00d6l \u20ac", "'=1+2',\"\"", ""};

class KvSolveCsv : public KvSolveFixture, public ::testing::WithParamInterface<const char*> {};

// long-csv: a header and one row per variable; the values are the JSON's
// doubles to the last bit, the flags the closure's, the title as given.
TEST_P(KvSolveCsv, LongCsvHasTheJsonsNumbers) {
    const std::string title = GetParam();
    const auto json =
        Run({"--method", "5", "--swap", "cpi:phi", "--shock", "t2=-10", "--title", title});
    const auto csv = Run({"--method", "5", "--swap", "cpi:phi", "--shock", "t2=-10", "--title",
                          title, "--format", "long-csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto doc = nlohmann::json::parse(json.out);
    const std::set<std::string> exogenous(doc["exogenous"].begin(), doc["exogenous"].end());
    const Table rows = ReadWithPython(csv.out, ',', dir_);
    ASSERT_EQ(rows.size(), 53u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"variable", "description", "experiment", "method",
                                                 "value", "exogenous"}));
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 6u);
        const std::string& name = rows[r][0];
        EXPECT_EQ(name, kv::VarName(static_cast<int>(r)));
        EXPECT_EQ(rows[r][1], kv::VarDesc(static_cast<int>(r)));
        EXPECT_EQ(rows[r][2], title);
        EXPECT_EQ(rows[r][3], "5");
        EXPECT_EQ(std::stod(rows[r][4]), doc["results"][name].get<double>()) << name;
        EXPECT_EQ(rows[r][5], exogenous.count(name) ? "true" : "false") << name;
    }
}

// csv: the Results page and the Updated Data page, every line closed by the
// separator (the last field read back is empty), the title in its cell.
TEST_P(KvSolveCsv, PagesReadBackIntoTheirCells) {
#ifdef KVSOLVE_TABLE_FORMATS
    const std::string title = GetParam();
    const auto csv =
        Run({"--shock", "t2=-10", "--title", title, "--format", "csv", "--updated-data"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const char sep = csv.out.at(9); // after "Variable "
    const Table rows = ReadWithPython(csv.out, sep, dir_);
    ASSERT_EQ(rows.size(), 53u + 12u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Variable ", title, ""}));
    for (std::size_t r = 1; r < 53; ++r) {
        ASSERT_EQ(rows[r].size(), 3u);
        EXPECT_EQ(rows[r][2], "");
    }
    EXPECT_EQ(rows[53][1], "Ind. 1");
    for (std::size_t r = 53; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), 8u);
    }
#else
    GTEST_SKIP() << "csv needs the output library";
#endif
}

INSTANTIATE_TEST_SUITE_P(AwkwardTitles, KvSolveCsv, ::testing::ValuesIn(Titles));

TEST_F(KvSolveFixture, VariablesReadBackIntoTheirCells) {
    const auto csv = Run({"--variables", "--format", "csv"});
    ASSERT_EQ(csv.status, 0);
    const Table rows = ReadWithPython(csv.out, ',', dir_);
    ASSERT_EQ(rows.size(), 53u);
    const kv::TExperiment defaults;
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        EXPECT_EQ(
            rows[static_cast<std::size_t>(v)],
            (std::vector<std::string>{std::to_string(v), kv::VarName(v), kv::VarDesc(v),
                                      defaults.Closure.Endo(v) ? "endogenous" : "exogenous"}));
    }
}

} // namespace
