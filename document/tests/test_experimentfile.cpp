// The experiment file: a rich experiment reads back bit for bit, hostile
// files are refused with the place and the reason, and a failed write leaves
// the old file whole.
#include "experimentfile.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ExperimentFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("kvdocument_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        fs::create_directories(dir);
        kv::TemFileName = (dir / "TEM").string();
    }
    void TearDown() override {
        kv::TemFileName = "TEM";
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    static int Place(const kv::TExperiment& E, const char* name) {
        const kv::Variable v = kv::FindVariable(name);
        for (int j = 1; j <= kv::NumExo; ++j) {
            if (E.Closure.ExoList(j) == v) {
                return j;
            }
        }
        return 0;
    }
    static void Swap(kv::TExperiment& E, const char* endo, const char* exo) {
        E.Exchange(E.Closure.EndoPos(kv::FindVariable(endo)), Place(E, exo));
    }

    // A changed database, two exchanges, shocks, and six solutions by all
    // five methods, the last one after a further shock.
    kv::TExperiment Rich() {
        kv::TExperiment E;
        E.SetDataCell(1, 1, 11.25);
        E.SetDataCell(10, 1, 0.5);
        E.RebuildTableau();
        Swap(E, "cpi", "phi");
        Swap(E, "l", "f(31)");
        E.SetShock(kv::FindVariable("t2"), -10);
        E.SetShock(kv::FindVariable("k1"), 3.3);
        for (int method : {1, 2, 3, 4, 5}) {
            E.SetTitle("M" + std::to_string(method));
            EXPECT_TRUE(E.Solve(method).success);
        }
        E.SetShock(kv::FindVariable("t1"), 0.1);
        EXPECT_TRUE(E.Solve(7).success); // runs method 4
        E.SetTitle("Next");
        return E;
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir;
};

TEST_F(ExperimentFile, RichExperimentReadsBackBitForBit) {
    const kv::TExperiment E = Rich();
    kv::TExperimentFile file{E.State(), 6, {}};
    const std::string text = kv::ExperimentToJson(file, "WinVELMAR 2.0.0");

    kv::TExperimentFile back;
    std::string error;
    ASSERT_TRUE(kv::ExperimentFromJson(text, back, error)) << error;
    EXPECT_TRUE(back.State == E.State());
    EXPECT_EQ(back.Page, 6);
    EXPECT_EQ(back.State.Solutions.Items(6).Method, 4);
    ASSERT_TRUE(back.State.Solutions.Items(6).Decomposition);
    // Bit for bit, signs of zero included: the second writing is the first.
    EXPECT_EQ(kv::ExperimentToJson(back, "WinVELMAR 2.0.0"), text);

    // The document names what it holds in words a reader can check.
    const auto doc = nlohmann::json::parse(text);
    EXPECT_EQ(doc["format"], "WinVELMAR experiment");
    EXPECT_EQ(doc["version"], 1);
    EXPECT_EQ(doc["program"], "WinVELMAR 2.0.0");
    EXPECT_EQ(doc["shocks"]["t2"], E.ShockVec(kv::FindVariable("t2")));
    EXPECT_EQ(doc["solutions"].size(), 6u);
    EXPECT_EQ(doc["solutions"][0]["database"][0]["value"], 11.25);
    EXPECT_EQ(doc["solutions"][0]["decomposition"]["c"].size(), 13u);
}

TEST_F(ExperimentFile, MinimalHandWrittenExerciseTakesDefaultsForTheRest) {
    kv::TExperimentFile file;
    std::string error;
    ASSERT_TRUE(kv::ExperimentFromJson(R"({"format": "WinVELMAR experiment", "version": 1,
        "database": [{"row": 1, "column": 1, "value": 12}], "shocks": {"t2": -10}})",
                                       file, error))
        << error;
    kv::TExperiment expected;
    expected.SetDataCell(1, 1, 12);
    expected.SetShock(kv::FindVariable("t2"), -10);
    expected.NewData = expected.BaseData;
    EXPECT_TRUE(file.State == expected.State());
}

struct HostileCase {
    const char* name;
    std::string text;
    const char* error; // the start of the message
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

std::string WithField(const std::string& field) {
    return R"({"format": "WinVELMAR experiment", "version": 1, )" + field + "}";
}

std::string Garbage() {
    std::string text(10u << 20, '\0');
    unsigned x = 12345;
    for (char& ch : text) {
        x = x * 1103515245u + 12345u;
        ch = static_cast<char>(x >> 24);
    }
    return text;
}

class Hostile : public ExperimentFile, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(Hostile, IsRefusedWithItsPlaceAndReasonAndChangesNothing) {
    kv::TExperimentFile file;
    file.Page = 3;
    file.State.Title = "kept";
    std::string error;
    EXPECT_FALSE(kv::ExperimentFromJson(GetParam().text, file, error));
    EXPECT_EQ(error.substr(0, std::string(GetParam().error).size()), GetParam().error) << error;
    EXPECT_EQ(file.Page, 3);
    EXPECT_EQ(file.State.Title, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Files, Hostile,
    ::testing::Values(
        HostileCase{"empty", "  \n", "the file is empty"},
        HostileCase{"truncated", R"({"format": "WinVELMAR experiment", "version": 1, "sho)",
                    "not a JSON document (line 1, column 54"},
        HostileCase{"garbage", Garbage(), "not a JSON document"},
        HostileCase{"not_an_object", "[1, 2]", "not a WinVELMAR experiment (the file holds a list"},
        HostileCase{"other_format", R"({"format": "spreadsheet", "version": 1})",
                    "format: not a WinVELMAR experiment"},
        HostileCase{"newer_version", R"({"format": "WinVELMAR experiment", "version": 2})",
                    "version: written by a newer WinVELMAR (format version 2)"},
        HostileCase{"version_as_text", R"({"format": "WinVELMAR experiment", "version": "1"})",
                    "version: must be a whole number, not text"},
        HostileCase{"unknown_field", WithField(R"("shock": {})"), "shock: unknown field"},
        HostileCase{"nan_as_text", WithField(R"("shocks": {"t2": "NaN"})"),
                    "shocks.t2: must be a number, not text"},
        HostileCase{"huge_number", WithField(R"("shocks": {"t2": 1e999})"),
                    "not a readable JSON document (number overflow"},
        HostileCase{"shock_out_of_range", WithField(R"("shocks": {"t2": -150})"),
                    "shocks.t2: -150 is outside -99 to 500"},
        HostileCase{"unknown_variable", WithField(R"("shocks": {"t9": 1})"),
                    "shocks.t9: unknown variable \"t9\""},
        HostileCase{"shock_of_an_endogenous", WithField(R"("shocks": {"c": 1})"),
                    "shocks.c: \"c\" is endogenous in this closure"},
        HostileCase{"cell_out_of_range",
                    WithField(R"("database": [{"row": 12, "column": 1, "value": 1}])"),
                    "database[1].row: 12 is outside 1 to 11"},
        HostileCase{"derived_cell",
                    WithField(R"("database": [{"row": 7, "column": 1, "value": 1}])"),
                    "database[1]: row 7, column 1 is not an entered cell"},
        HostileCase{"cell_value_out_of_range",
                    WithField(R"("database": [{"row": 1, "column": 1, "value": 501}])"),
                    "database[1].value: 501 is outside -100 to 500"},
        HostileCase{"fraction_as_row",
                    WithField(R"("database": [{"row": 1.5, "column": 1, "value": 1}])"),
                    "database[1].row: must be a whole number, not a fraction"},
        HostileCase{"undefined_coefficients",
                    WithField(R"("database": [{"row": 1, "column": 1, "value": 0},
                                              {"row": 3, "column": 1, "value": 0}])"),
                    "database: the database makes coefficients of the model undefined"},
        HostileCase{"twelve_exogenous",
                    WithField(R"j("exogenous": ["p*(12)", "p*(22)", "t1", "t2", "k1", "k2",
                               "f(31)", "v1", "x(21)4", "cR", "f(11)4", "f(21)4"])j"),
                    "exogenous: a closure has 13 exogenous variables, not 12"},
        HostileCase{"exogenous_twice",
                    WithField(R"j("exogenous": ["p*(12)", "p*(22)", "t1", "t2", "k1", "k2",
                               "f(31)", "v1", "x(21)4", "cR", "f(11)4", "f(21)4", "t1"])j"),
                    "exogenous[13]: \"t1\" is listed twice"},
        HostileCase{"seven_solutions", WithField(R"("solutions": [{}, {}, {}, {}, {}, {}, {}])"),
                    "solutions: at most 6 solutions are stored, not 7"},
        HostileCase{"result_missing",
                    WithField(R"j("solutions": [{"title": "A", "method": 1, "results": {},
                               "exogenous": ["p*(12)", "p*(22)", "t1", "t2", "k1", "k2",
                               "f(31)", "v1", "x(21)4", "cR", "f(11)4", "f(21)4", "phi"]}])j"),
                    "solutions[1].results.x(11)3: missing"},
        HostileCase{"method_out_of_range", WithField(R"("solutions": [{"title": "A", "method": 6,
                               "exogenous": [], "results": {}}])"),
                    "solutions[1].method: 6 is outside 1 to 5"},
        HostileCase{"updated_data_short", WithField(R"("updated_database": [[1, 2, 3]])"),
                    "updated_database: must have 11 rows, not 1"},
        HostileCase{"long_title", WithField(R"("title": "123456789")"),
                    "title: a title has at most 8 characters"},
        HostileCase{"page_out_of_range", WithField(R"("page": 8)"), "page: 8 is outside 0 to 7"},
        HostileCase{"huge_integer", WithField(R"("solutions_made": 18446744073709551615)"),
                    "solutions_made: 18446744073709551615 is outside 0 to 1000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExperimentFile, ReadsFilesAndRefusesOnesTooLargeToBeAnExperiment) {
    const kv::TExperiment E = Rich();
    const std::string text = kv::ExperimentToJson({E.State(), 0, {}}, "test");
    std::string error;
    ASSERT_TRUE(kv::WriteFileAtomically((dir / "a.kvx").string(), text, error)) << error;
    EXPECT_EQ(Read(dir / "a.kvx"), text);
    kv::TExperimentFile back;
    ASSERT_TRUE(kv::ReadExperimentFile((dir / "a.kvx").string(), back, error)) << error;
    EXPECT_TRUE(back.State == E.State());

    EXPECT_FALSE(kv::ReadExperimentFile((dir / "missing.kvx").string(), back, error));
    EXPECT_EQ(error, "No such file or directory");
    fs::resize_file(dir / "a.kvx", kv::MaxExperimentFileSize + 1);
    EXPECT_FALSE(kv::ReadExperimentFile((dir / "a.kvx").string(), back, error));
    EXPECT_EQ(error.rfind("the file is too large to be an experiment", 0), 0u) << error;
}

TEST_F(ExperimentFile, FailedWriteLeavesTheOldFileWhole) {
    const fs::path path = dir / "old.kvx";
    std::string error;
    ASSERT_TRUE(kv::WriteFileAtomically(path.string(), "old contents\n", error));

    // A file-size limit makes the write fail part-way, as a full disk would,
    // whatever the user's rights.
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = kv::WriteFileAtomically(path.string(), std::string(4096, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(Read(path), "old contents\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "the temporary file is left behind";

    EXPECT_FALSE(kv::WriteFileAtomically((dir / "no" / "such.kvx").string(), "x", error));
    EXPECT_EQ(error, "No such file or directory");
}

} // namespace
