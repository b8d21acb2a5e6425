// kvsolve's explanations of a result: --decompose (the part of every result
// due to each exogenous variable), --steps (Euler with any number of steps)
// and --explain (what a singular closure leaves undetermined, and the
// exchanges that cure it).
#include "kvsolve_fixture.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace {

using nlohmann::json;
using Args = std::vector<std::string>;

class KvSolveExplain : public KvSolveFixture {
protected:
    static json Solved(Args args) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, kvsolve::ExitOk) << r.err;
        return r.status == kvsolve::ExitOk ? json::parse(r.out) : json::object();
    }
};

TEST_F(KvSolveExplain, ContributionsAddUpToEveryResultForEveryMethod) {
    for (const char* method : {"1", "2", "3", "4", "5"}) {
        SCOPED_TRACE(method);
        const json doc = Solved({"--shock", "t2=-10", "--shock", "k1=5", "--shock", "p*(12)=3",
                                 "--method", method, "--decompose"});
        const json& parts = doc["decomposition"];
        ASSERT_EQ(parts.size(), std::size_t(kv::NumVars));
        for (const auto& [name, result] : doc["results"].items()) {
            const json& row = parts[name];
            ASSERT_EQ(row.size(), std::size_t(kv::NumExo)) << name;
            double sum = 0;
            for (const auto& [exo, part] : row.items()) {
                sum += part.get<double>();
                if (exo != "t2" && exo != "k1" && exo != "p*(12)") {
                    EXPECT_EQ(part.get<double>(), 0.0) << name << " " << exo;
                }
            }
            const double value = result.get<double>();
            EXPECT_NEAR(sum, value, 1e-9 * std::max(1.0, std::fabs(value))) << name;
        }
        // An exogenous variable's whole result is its own part.
        EXPECT_EQ(parts["t2"]["t2"], doc["results"]["t2"]);
        EXPECT_EQ(parts["t2"]["k1"], 0.0);
    }
}

TEST_F(KvSolveExplain, JohansenPartOfAShockIsTheResultOfThatShockAlone) {
    const json both =
        Solved({"--shock", "t2=-10", "--shock", "k1=5", "--method", "1", "--decompose"});
    const json alone = Solved({"--shock", "t2=-10", "--method", "1"});
    for (const auto& [name, result] : alone["results"].items()) {
        const double value = result.get<double>();
        EXPECT_NEAR(both["decomposition"][name]["t2"].get<double>(), value,
                    1e-12 * std::max(1.0, std::fabs(value)))
            << name;
    }
}

TEST_F(KvSolveExplain, EulerStepsMatchTheMethodsWithThoseSteps) {
    const json doc = Solved(
        {"--shock", "t2=-10", "--steps", "1", "--steps", "4", "--steps", "16", "--steps", "3"});
    const json& euler = doc["euler"];
    ASSERT_EQ(euler.size(), 4u);
    const std::pair<const char*, const char*> same[] = {{"1", "1"}, {"4", "2"}, {"16", "3"}};
    for (const auto& [steps, method] : same) {
        const json byMethod = Solved({"--shock", "t2=-10", "--method", method});
        EXPECT_EQ(euler[steps], byMethod["results"]) << steps;
    }
    // Three steps lie between one and four, nearer four.
    const double e1 = euler["1"]["l"], e3 = euler["3"]["l"], e4 = euler["4"]["l"];
    EXPECT_LT(std::fabs(e3 - e4), std::fabs(e1 - e4));

    // A singular closure has no Euler runs either.
    const RunResult r = Run({"--swap", "x(11)3:phi", "--steps", "2"});
    EXPECT_EQ(r.status, kvsolve::ExitSingular);
    EXPECT_TRUE(json::parse(r.out)["euler"]["2"].is_null());
}

TEST_F(KvSolveExplain, SingularClosureNamesThePriceLevelAndEveryListedExchangeCuresIt) {
    const RunResult r = Run({"--swap", "x(11)3:phi", "--explain"});
    ASSERT_EQ(r.status, kvsolve::ExitSingular) << r.err;
    const json singular = json::parse(r.out)["singular"];
    ASSERT_EQ(singular["null_directions"].size(), 1u);
    const json& direction = singular["null_directions"][0];
    double largest = 0;
    for (const auto& [name, weight] : direction.items()) {
        largest = std::max(largest, std::fabs(weight.get<double>()));
    }
    EXPECT_EQ(largest, 1.0);
    for (const char* name : {"c", "p(11)", "phi", "cpi"}) {
        EXPECT_TRUE(direction.contains(name)) << name;
    }
    EXPECT_FALSE(direction.contains("x(11)3"));
    EXPECT_NE(singular["explanation"].get<std::string>().find("price level"), std::string::npos);

    const json& fixes = singular["fixing_exchanges"];
    ASSERT_FALSE(fixes.empty());
    EXPECT_EQ(fixes[0], json::array({"phi", "x(11)3"})); // undoing the exchange comes first
    // Every single exchange, solved: those listed cure the closure, no other does.
    const json doc = json::parse(r.out);
    const json& exogenous = doc["exogenous"];
    int cures = 0;
    for (const auto& [endo, ignored] : doc["results"].items()) {
        if (std::find(exogenous.begin(), exogenous.end(), endo) != exogenous.end()) {
            continue;
        }
        for (const json& exo : exogenous) {
            const std::string swap = endo + ":" + exo.get<std::string>();
            const bool listed =
                std::find(fixes.begin(), fixes.end(), json::array({endo, exo})) != fixes.end();
            const int status = Run({"--swap", "x(11)3:phi", "--swap", swap}).status;
            EXPECT_EQ(status, listed ? kvsolve::ExitOk : kvsolve::ExitSingular) << swap;
            cures += listed;
        }
    }
    EXPECT_EQ(cures, int(fixes.size()));

    // Without --explain, or for a closure that solves, there is nothing to explain.
    EXPECT_FALSE(json::parse(Run({"--swap", "x(11)3:phi"}).out).contains("singular"));
    const json sound = Solved({"--explain"});
    EXPECT_FALSE(sound.contains("singular"));
    EXPECT_FALSE(sound.contains("warning"));
}

TEST_F(KvSolveExplain, OptionsOnlyInJsonAndStepsInRange) {
    const std::pair<Args, const char*> cases[] = {
        {{"--decompose", "--format", "long-csv"}, "kvsolve: --decompose: only with --format json"},
        {{"--explain", "--format", "long-csv"}, "kvsolve: --explain: only with --format json"},
        {{"--steps", "2", "--format", "long-csv"}, "kvsolve: --steps: only with --format json"},
        {{"--steps", "0"}, "kvsolve: --steps 0: the number of steps is from 1 to 10000"},
        {{"--steps", "10001"}, "kvsolve: --steps 10001: the number of steps is from 1 to 10000"},
    };
    for (const auto& [args, message] : cases) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, kvsolve::ExitUsage) << message;
        EXPECT_EQ(r.err, std::string(message) + "\n");
        EXPECT_EQ(r.out, "");
    }
}

} // namespace
