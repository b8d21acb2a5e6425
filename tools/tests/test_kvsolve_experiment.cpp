// kvsolve and experiment files: --save writes a file the window opens, with
// the new solution added; --experiment solves a file's experiment (changed by
// the other options) and solves each stored solution again from its own
// inputs; several files give one JSON document each, in a list.
#include "experimentfile.h"
#include "kvsolve_fixture.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class KvSolveExperiment : public KvSolveFixture {
protected:
    std::string File(const char* name) const { return (dir_ / name).string(); }

    static kv::TExperimentFile Read(const std::string& path) {
        kv::TExperimentFile file;
        std::string error;
        EXPECT_TRUE(kv::ReadExperimentFile(path, file, error)) << error;
        return file;
    }
};

TEST_F(KvSolveExperiment, SixSolutionsSavedOneByOneAreReproducedFromTheFile) {
    const std::string path = File("lesson.kvx");
    fs::remove(path);
    RunResult r = Run({"--data", "1,1=11", "--swap", "cpi:phi", "--swap", "l:f(31)", "--shock",
                       "t2=-10", "--method", "1", "--title", "J", "--save", path});
    ASSERT_EQ(r.status, kvsolve::ExitOk) << r.err;
    // Each further call takes the file's experiment, shocks one more
    // variable, and adds a solution by another method.
    const char* more[][2] = {
        {"k1=2", "2"}, {"k2=1", "3"}, {"t1=3", "4"}, {"p*(12)=1", "5"}, {"f(11)4=1", "9"}};
    for (const auto& [shock, method] : more) {
        r = Run({"--experiment", path, "--shock", shock, "--method", method, "--save", path});
        ASSERT_EQ(r.status, kvsolve::ExitOk) << r.err;
    }
    const kv::TExperimentFile file = Read(path);
    const kv::TSolutionStore& store = file.State.Solutions;
    ASSERT_EQ(store.Count, 6);
    EXPECT_EQ(store.Items(1).Soltitle, "J");
    EXPECT_EQ(store.Items(2).Soltitle, "Sim 2"); // the file's next title
    EXPECT_EQ(store.Items(6).Method, 4);         // method 9 runs method 4
    EXPECT_EQ(store.Items(6).Inputs.DataEdits, (std::vector<kv::TDataEdit>{{1, 1, 11.0}}));
    EXPECT_TRUE(store.Items(6).Decomposition);

    r = Run({"--experiment", path});
    ASSERT_EQ(r.status, kvsolve::ExitOk) << r.err;
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["file"], path);
    ASSERT_EQ(doc["stored_solutions"].size(), 6u);
    for (int k = 1; k <= 6; ++k) {
        const json& stored = doc["stored_solutions"][k - 1];
        EXPECT_EQ(stored["title"], store.Items(k).Soltitle);
        EXPECT_TRUE(stored["reproduced"].get<bool>()) << k;
        EXPECT_EQ(stored["largest_difference"], 0.0);
        EXPECT_EQ(stored["results"]["c"], store.Items(k).SolValue(kv::FindVariable("c")));
    }
    // The six are stored: a seventh cannot be, and the file stays as it is.
    const std::string before = [&path] {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    r = Run({"--experiment", path, "--save", path});
    EXPECT_EQ(r.status, kvsolve::ExitUsage);
    EXPECT_NE(r.err.find("holds 6 solutions already"), std::string::npos) << r.err;
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
}

TEST_F(KvSolveExperiment, SeveralFilesGiveAListAndTheFirstFailuresStatus) {
    const std::string good = File("good.kvx");
    const std::string singular = File("singular.kvx");
    const std::string bad = File("bad.kvx");
    ASSERT_EQ(Run({"--shock", "t2=-10", "--save", good}).status, kvsolve::ExitOk);
    {
        std::ofstream out(singular);
        out << R"j({"format": "WinVELMAR experiment", "version": 1,
            "exogenous": ["p*(12)", "p*(22)", "t1", "t2", "k1", "k2", "f(31)", "v1",
                          "x(21)4", "cR", "f(11)4", "f(21)4", "x(11)3"]})j";
        std::ofstream(bad) << R"({"format": "WinVELMAR experiment", "version": 7})";
    }
    const RunResult r =
        Run({"--experiment", good, "--experiment", singular, "--experiment", bad, "--method", "2"});
    EXPECT_EQ(r.status, kvsolve::ExitSingular);
    const json docs = json::parse(r.out);
    ASSERT_TRUE(docs.is_array());
    ASSERT_EQ(docs.size(), 3u);
    EXPECT_EQ(docs[0]["status"], "ok");
    EXPECT_EQ(docs[0]["file"], good);
    EXPECT_EQ(docs[0]["method"], 2);
    EXPECT_EQ(docs[1]["status"], "singular");
    EXPECT_EQ(docs[2]["status"], "unreadable");
    EXPECT_EQ(docs[2]["error"],
              "version: written by a newer WinVELMAR (format version 7); this version reads "
              "format version 1");
    EXPECT_NE(r.err.find("kvsolve: --experiment '" + bad + "': version: written by a newer"),
              std::string::npos)
        << r.err;

    EXPECT_EQ(Run({"--experiment", bad}).status, kvsolve::ExitNoInput);
}

TEST_F(KvSolveExperiment, UsageAndSaveErrors) {
    const std::string good = File("usage.kvx");
    ASSERT_EQ(Run({"--save", good}).status, kvsolve::ExitOk);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--experiment", good, "--experiment", good, "--format", "long-csv"},
         kvsolve::ExitUsage,
         "kvsolve: --experiment: several experiment files need --format json"},
        {{"--experiment", good, "--experiment", good, "--save", good},
         kvsolve::ExitUsage,
         "kvsolve: --save '" + good + "': one experiment is saved at a time, not 2"},
        {{"--experiment", good, "--shock", "c=1"},
         kvsolve::ExitUsage,
         "kvsolve: --shock 'c=1': 'c' is not exogenous"},
        {{"--save", (dir_ / "no" / "such.kvx").string()},
         kvsolve::ExitCannotSave,
         "kvsolve: --save '" + (dir_ / "no" / "such.kvx").string() +
             "': No such file or directory"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    }
}

} // namespace
