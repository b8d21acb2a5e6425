#include "kvsolve_fixture.h"

#include "model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

using KvSolve = KvSolveFixture;

TEST_F(KvSolve, ImportTaxCutAsJson) {
    const auto r = Run({"--shock", "t2=-10", "--format", "json", "--updated-data"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["title"], "Sim 1");
    EXPECT_EQ(doc["method"], 1);
    EXPECT_EQ(doc["status"], "ok");
    ASSERT_EQ(doc["results"].size(), 52u);
    EXPECT_NEAR(doc["results"]["p(11)"].get<double>(), -3.8328, 0.00005);
    EXPECT_NEAR(doc["results"]["delB"].get<double>(), 0.4109, 0.00005);
    EXPECT_EQ(doc["exogenous"].size(), 13u);
    EXPECT_EQ(doc["exogenous"][12], "phi");
    ASSERT_EQ(doc["updated_data"].size(), 11u);
    EXPECT_EQ(doc["updated_data"][0].size(), 6u);
    // The results come out in variable order and read back to the same doubles.
    const auto ordered = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(ordered["results"].begin().key(), "x(11)3");
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

TEST_P(KvSolveStatus, ExitStatusAndMessage) {
    const auto r = Run(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().errText), std::string::npos) << r.err;
    if (GetParam().status == 64 || GetParam().status == 65) {
        EXPECT_EQ(r.out, ""); // nothing computed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KvSolveStatus,
    ::testing::Values(
        StatusCase{"singular", {"--swap", "x(32)1:phi"}, 1, "Singular matrix"},
        StatusCase{"negative_flow", {"--shock", "p*(22)=500"}, 2, "Negative flow arose"},
        StatusCase{"zero_divisor",
                   {"--data", "3,1=0", "--data", "1,1=0"},
                   65,
                   "kvsolve: Domestic 1 and Imported 1 of Ind. 1 would both be 0. Industry 1 "
                   "would use no good 1 at all: its input shares are undefined.\n"},
        StatusCase{"negative_data", {"--data", "5,1=40"}, 65, "negative values in Data Base"},
        StatusCase{"unknown_option", {"--bogus"}, 64, "--bogus"},
        StatusCase{"unknown_variable", {"--shock", "zz=1"}, 64, "unknown variable 'zz'"},
        StatusCase{"shock_endogenous", {"--shock", "c=1"}, 64, "'c' is not exogenous"},
        StatusCase{"shock_too_low", {"--shock", "t2=-100"}, 64, "out of range"},
        StatusCase{"shock_too_high", {"--shock", "t2=500.01"}, 64, "out of range"},
        StatusCase{"shock_not_number", {"--shock", "t2=ten"}, 64, "not a number"},
        StatusCase{"shock_nan", {"--shock", "t2=nan"}, 64, "not a number"},
        StatusCase{"swap_not_endogenous", {"--swap", "phi:cpi"}, 64, "'phi' is not endogenous"},
        StatusCase{"swap_not_exogenous", {"--swap", "c:cpi"}, 64, "'cpi' is not exogenous"},
        StatusCase{"swap_malformed", {"--swap", "c"}, 64, "ENDO:EXO"},
        StatusCase{"data_derived_cell", {"--data", "6,1=3"}, 64, "not an entered cell"},
        StatusCase{"data_out_of_table", {"--data", "12,1=3"}, 64, "not an entered cell"},
        StatusCase{"data_too_low", {"--data", "1,1=-101"}, 64, "out of range"},
        StatusCase{"bad_method", {"--method", "x"}, 64, "method"},
        StatusCase{"bad_format", {"--format", "xml"}, 64, "format"}),
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
        EXPECT_EQ(doc["updated_data"][1][3].get<double>(), 0.0); // exports of good 2
    }
}

TEST_F(KvSolve, OtherMethodNumbersRunTheShortExtrapolation) {
    const auto four = Run({"--method", "4", "--shock", "t2=-10"});
    const auto nine = Run({"--method", "9", "--shock", "t2=-10"});
    ASSERT_EQ(nine.status, 0);
    EXPECT_EQ(nlohmann::json::parse(four.out)["results"],
              nlohmann::json::parse(nine.out)["results"]);
}

TEST_F(KvSolve, VariablesAndHelp) {
    const auto vars = Run({"--swap", "cpi:phi", "--variables"});
    ASSERT_EQ(vars.status, 0);
    EXPECT_EQ(std::count(vars.out.begin(), vars.out.end(), '\n'), 52);
    EXPECT_NE(vars.out.find("50\tcpi\tConsumer price index\texogenous\n"), std::string::npos);
    EXPECT_NE(vars.out.find("39\tphi\tExchange rate\tendogenous\n"), std::string::npos);
    const auto help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--shock"), std::string::npos);
}

} // namespace
