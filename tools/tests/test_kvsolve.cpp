#include "kvsolve_fixture.h"

#include "model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

using KvSolve = KvSolveFixture;

TEST_F(KvSolve, ImportTaxCutAsJson) {
    const auto r = Run({"--shock", "t2=-10", "--format", "json", "--updated-data"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["title"], "Sim 1");
    EXPECT_EQ(doc["method"], 1);
    EXPECT_EQ(doc["status"], "ok");
    ASSERT_EQ(doc["results"].size(), 52u);
    EXPECT_NEAR(doc["results"]["p(11)"].get<double>(), -3.8328, 0.00005);
    EXPECT_NEAR(doc["results"]["delB"].get<double>(), 0.4109, 0.00005);
    EXPECT_EQ(doc["exogenous"].size(), 13u);
    EXPECT_EQ(doc["exogenous"][12], "phi");
    // The updated database with its labels, as the Data page heads it.
    const auto& updated = doc["updated_data"];
    ASSERT_EQ(updated["values"].size(), 11u);
    EXPECT_EQ(updated["values"][0].size(), 6u);
    ASSERT_EQ(updated["row_labels"].size(), 11u);
    ASSERT_EQ(updated["column_labels"].size(), 6u);
    EXPECT_EQ(updated["row_labels"][5], kv::RowLabel(6));
    EXPECT_EQ(updated["column_labels"][3], kv::ColLabel(4));
    // The results come out in variable order and read back to the same doubles.
    const auto ordered = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(ordered["results"].begin().key(), "x(11)3");
}

// The JSON says what was solved: the method asked for and the one run, the
// database edits with their labels, the exchanges in order and the shocks of
// the 13 exogenous variables.
TEST_F(KvSolve, JsonEchoesWhatWasSolved) {
    const auto r = Run({"--method", "9", "--data", "1,1=12", "--swap", "cpi:phi", "--shock",
                        "t2=-10", "--shock", "cpi=2.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "kvsolve: --method 9: there is no method 9; method 4 (Euler 2-4-8 "
                     "extrapolation) runs\n");
    const auto doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(doc["method"], 4);
    EXPECT_EQ(doc["method_requested"], 9);
    EXPECT_EQ(doc["method_name"], "Euler 2-4-8 extrapolation");
    ASSERT_EQ(doc["data_edits"].size(), 1u);
    EXPECT_EQ(doc["data_edits"][0], nlohmann::ordered_json({{"row", 1},
                                                            {"column", 1},
                                                            {"row_label", "Domestic 1"},
                                                            {"column_label", "Ind. 1"},
                                                            {"value", 12.0}}));
    EXPECT_EQ(doc["exchanges"], nlohmann::ordered_json::parse(
                                    R"([{"made_exogenous": "cpi", "made_endogenous": "phi"}])"));
    const auto& shocks = doc["shocks"];
    ASSERT_EQ(shocks.size(), 13u);
    EXPECT_EQ(shocks["t2"], -10.0);
    EXPECT_EQ(shocks["cpi"], 2.5);
    EXPECT_EQ(shocks["t1"], 0.0);
    EXPECT_FALSE(shocks.contains("phi"));
    // The shocks are the inputs, the results what came out for the same names.
    EXPECT_NEAR(doc["results"]["cpi"].get<double>(), 2.5, 1e-9);
    const auto defaults = nlohmann::json::parse(Run({}).out);
    EXPECT_EQ(defaults["data_edits"].size(), 0u);
    EXPECT_EQ(defaults["exchanges"].size(), 0u);
    EXPECT_EQ(defaults["method_requested"], 1);
}

TEST_F(KvSolve, SwapsApplyInOrderBeforeShocks) {
    const auto r = Run({"--swap", "cpi:phi", "--shock", "t2=-10", "--title", "fixcpi"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["title"], "fixcpi");
    EXPECT_NEAR(doc["results"]["phi"].get<double>(), 5.1785, 0.00005);
    EXPECT_EQ(doc["exogenous"][12], "cpi");
}

struct StatusCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errText; // part of the message on stderr
};

class KvSolveStatus : public KvSolve, public ::testing::WithParamInterface<StatusCase> {};

// Every failure has its exit status and one message on stderr that starts
// with "kvsolve:" and names what it concerns.
TEST_P(KvSolveStatus, ExitStatusAndMessage) {
    const auto r = Run(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().errText), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("kvsolve: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    if (GetParam().status == 64 || GetParam().status == 65) {
        EXPECT_EQ(r.out, ""); // nothing computed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KvSolveStatus,
    ::testing::Values(
        StatusCase{"singular", {"--swap", "x(32)1:phi"}, 1, "Singular matrix"},
        StatusCase{"singular_names_the_swap", {"--swap", "x(32)1:phi"}, 1, "--swap 'x(32)1:phi'"},
        StatusCase{"negative_flow", {"--shock", "p*(22)=500"}, 2, "Negative flow arose"},
        StatusCase{
            "negative_flow_names_the_shock", {"--shock", "p*(22)=500"}, 2, "--shock 'p*(22)=500'"},
        StatusCase{"zero_divisor",
                   {"--data", "3,1=0", "--data", "1,1=0"},
                   65,
                   "kvsolve: Domestic 1 and Imported 1 of Ind. 1 would both be 0. Industry 1 "
                   "would use no good 1 at all: its input shares are undefined.\n"},
        StatusCase{"negative_data", {"--data", "5,1=40"}, 65, "negative values in Data Base"},
        StatusCase{"negative_data_names_the_cell",
                   {"--data", "5,1=40"},
                   65,
                   "--data '5,1=40'): cell 6,1 (Capital, Ind. 1) is -10"},
        StatusCase{"unknown_option", {"--bogus"}, 64, "--bogus"},
        StatusCase{"unknown_variable", {"--shock", "zz=1"}, 64, "unknown variable 'zz'"},
        StatusCase{"shock_endogenous", {"--shock", "c=1"}, 64, "'c' is not exogenous"},
        StatusCase{"shock_too_low", {"--shock", "t2=-100"}, 64, "out of range"},
        StatusCase{"shock_too_high", {"--shock", "t2=500.01"}, 64, "out of range"},
        StatusCase{"range_as_typed", {"--shock", "t2=1e3"}, 64, "out of range: 1e3 (allowed"},
        StatusCase{"shock_not_number", {"--shock", "t2=ten"}, 64, "not a number"},
        StatusCase{"shock_nan", {"--shock", "t2=nan"}, 64, "not a number"},
        StatusCase{"underflow", {"--shock", "t2=1e-400"}, 64, "'1e-400' is out of range"},
        StatusCase{"overflow", {"--data", "1,1=-1e999"}, 64, "'-1e999' is out of range"},
        StatusCase{"shock_twice",
                   {"--shock", "t2=-10", "--shock", "t2=5"},
                   64,
                   "'t2' is shocked twice (also --shock 't2=-10')"},
        StatusCase{"swap_not_endogenous", {"--swap", "phi:cpi"}, 64, "'phi' is not endogenous"},
        StatusCase{"swap_not_exogenous", {"--swap", "c:cpi"}, 64, "'cpi' is not exogenous"},
        StatusCase{"swap_malformed", {"--swap", "c"}, 64, "ENDO:EXO"},
        StatusCase{
            "empty_shock", {"--shock", ""}, 64, "--shock '': expects NAME=VALUE, got an empty"},
        StatusCase{"empty_argument", {""}, 64, "unexpected argument ''"},
        StatusCase{"empty_value_after_values", {"--shock", "t2=1", ""}, 64, "--shock '': expects"},
        StatusCase{"data_derived_cell", {"--data", "6,1=3"}, 64, "not an entered cell"},
        StatusCase{"data_out_of_table", {"--data", "12,1=3"}, 64, "not an entered cell"},
        StatusCase{"data_huge_index", {"--data", "1e10,1=5"}, 64, "cell 1e10,1 is not an entered"},
        StatusCase{"data_fraction_index", {"--data", "1.5,1=5"}, 64, "not an entered cell"},
        StatusCase{"data_too_low", {"--data", "1,1=-101"}, 64, "out of range"},
        StatusCase{"bad_method", {"--method", "x"}, 64, "method"},
        StatusCase{"bad_format", {"--format", "xml"}, 64, "format"},
        StatusCase{
            "title_not_utf8", {"--title", "\xff"}, 64, "--title: '\\xff' is not valid UTF-8"},
        StatusCase{
            "shock_not_utf8", {"--shock=t2=\xc3"}, 64, "--shock: '--shock=t2=\\xc3' is not valid"},
        StatusCase{"title_control", {"--title", "a\nb"}, 64, "--title: 'a\\x0ab' holds a control"},
        StatusCase{"long_csv_without_database",
                   {"--format", "long-csv", "--updated-data"},
                   64,
                   "--updated-data: not available with --format long-csv"}),
    [](const auto& info) { return std::string(info.param.name); });

// The edits are judged together: a database that an edit makes undefined and
// a later one mends is solved, and one that sits exactly on zero is no
// negative flow.
TEST_F(KvSolve, EditedDatabaseIsJudgedAsAWhole) {
    const auto mended = Run({"--data", "3,1=0", "--data", "1,1=0", "--data", "1,1=2"});
    EXPECT_EQ(mended.status, 0) << mended.err;
    for (const char* k1 : {"k1=10", "k1=-1"}) {
        const auto onZero = Run({"--data", "9,1=15", "--shock", k1, "--updated-data"});
        ASSERT_EQ(onZero.status, 0) << k1 << ": " << onZero.err;
        const auto doc = nlohmann::json::parse(onZero.out);
        EXPECT_EQ(doc["status"], "ok");
        EXPECT_EQ(doc["updated_data"]["values"][1][3].get<double>(), 0.0); // exports of good 2
    }
}

TEST_F(KvSolve, OtherMethodNumbersRunTheShortExtrapolation) {
    const auto four = Run({"--method", "4", "--shock", "t2=-10"});
    const auto nine = Run({"--method", "9", "--shock", "t2=-10"});
    ASSERT_EQ(nine.status, 0);
    EXPECT_EQ(nlohmann::json::parse(four.out)["results"],
              nlohmann::json::parse(nine.out)["results"]);
}

TEST_F(KvSolve, VariablesHelpAndVersion) {
    const auto vars = Run({"--swap", "cpi:phi", "--variables"});
    ASSERT_EQ(vars.status, 0);
    EXPECT_EQ(std::count(vars.out.begin(), vars.out.end(), '\n'), 52);
    EXPECT_NE(vars.out.find("50\tcpi\tConsumer price index\texogenous\n"), std::string::npos);
    EXPECT_NE(vars.out.find("39\tphi\tExchange rate\tendogenous\n"), std::string::npos);
    const auto csv = Run({"--swap", "cpi:phi", "--variables", "--format", "csv"});
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.rfind("index,name,description,closure\r\n1,x(11)3,\"H'hold demand, dom. "
                            "good 1\",endogenous\r\n",
                            0),
              0u)
        << csv.out;
    EXPECT_NE(csv.out.find("\r\n50,cpi,Consumer price index,exogenous\r\n"), std::string::npos);
    const auto help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--shock"), std::string::npos);
    EXPECT_NE(help.out.find("--tem"), std::string::npos);
    const auto version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("kvsolve " WINVELMAR_VERSION "\n", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos);
}

// The check file only with --tem: in a folder that cannot be written the
// solve works without it and fails with a message naming the file with it.
TEST_F(KvSolve, CheckFileOnlyWithTem) {
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    struct Back {
        fs::path Folder;
        ~Back() { fs::current_path(Folder); }
    } back{before};

    const std::string pid = std::to_string(getpid()); // the folder is shared
    const fs::path writable = dir_ / ("tem-writable-" + pid);
    fs::create_directories(writable);
    fs::remove(writable / "TEM");
    fs::current_path(writable);
    ASSERT_EQ(Run({"--shock", "t2=-10"}).status, 0);
    EXPECT_FALSE(fs::exists(writable / "TEM"));
    // The file lists the failed consistency checks: none here, so the solve
    // leaves it empty.
    {
        std::FILE* old = std::fopen("TEM", "wb");
        ASSERT_NE(old, nullptr);
        std::fputs("an old check file\n", old);
        std::fclose(old);
    }
    const auto with = Run({"--method", "2", "--shock", "t2=-10", "--tem", "TEM"});
    ASSERT_EQ(with.status, 0) << with.err;
    ASSERT_TRUE(fs::exists(writable / "TEM"));
    EXPECT_EQ(fs::file_size(writable / "TEM"), 0u);

    // A folder that refuses new files; root writes into any folder whatever its
    // mode, so it takes /proc instead.
    const fs::path ownReadOnly = dir_ / ("tem-read-only-" + pid);
    fs::path readOnly = ownReadOnly;
    fs::create_directories(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::FILE* probe = std::fopen((readOnly / "probe").c_str(), "wb")) {
        std::fclose(probe);
        fs::remove(readOnly / "probe");
        readOnly = "/proc";
    }
    fs::current_path(readOnly);
    const auto without = Run({"--method", "5", "--shock", "t2=-10"});
    EXPECT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.err, "");
    const auto refused = Run({"--shock", "t2=-10", "--tem", "TEM"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind("kvsolve: --tem 'TEM': cannot write the check file '" +
                                    (readOnly / "TEM").string() + "': ",
                                0),
              0u)
        << refused.err;
    fs::current_path(before);
    fs::permissions(ownReadOnly, fs::perms::owner_all);
    fs::remove_all(ownReadOnly);
    fs::remove_all(writable);
}

} // namespace
