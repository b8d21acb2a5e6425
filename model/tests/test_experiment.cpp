// The experiment object: its operations report what they changed, a solve
// stores the solution with the inputs that produced it, and a remembered
// state assigned back restores the experiment exactly.
#include "model_fixture.h"

#include <vector>

namespace {

class ExperimentTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        E.SetObserver([this](unsigned parts) { changes.push_back(parts); });
    }
    std::vector<unsigned> changes;
};

TEST_F(ExperimentTest, OperationsReportTheirParts) {
    const kv::Variable t2 = kv::FindVariable("t2");
    EXPECT_FALSE(E.SetDataCell(1, 1, 12));
    E.RebuildTableau();
    E.Exchange(E.Closure.EndoPos(kv::FindVariable("cpi")), ExoPlace(kv::FindVariable("phi")));
    E.SetShock(t2, -10);
    E.SetTitle("A");
    ASSERT_TRUE(E.Solve(1).success);
    E.Solve(1);
    E.MoveSolutionLeft(2);
    E.DeleteSolution(1);
    const std::vector<unsigned> expected{
        kv::chBaseData,
        kv::chTableau,
        kv::chClosure,
        kv::chShocks,
        kv::chTitle,
        kv::chNewData | kv::chShocks | kv::chSolutions | kv::chTitle,
        kv::chNewData | kv::chShocks | kv::chSolutions | kv::chTitle,
        kv::chSolutions,
        kv::chSolutions};
    EXPECT_EQ(changes, expected);
}

TEST_F(ExperimentTest, SolveStoresTitleMethodAndInputs) {
    E.SetDataCell(1, 1, 12);
    E.RebuildTableau();
    Swap("cpi", "phi");
    E.SetShock(kv::FindVariable("t2"), -10);
    ASSERT_TRUE(E.Solve(3).success);
    ASSERT_EQ(E.Solutions.Count, 1);
    const kv::TSolution& sol = E.Solutions.Items(1);
    EXPECT_EQ(sol.Soltitle, "Sim 1");
    EXPECT_EQ(sol.Method, 3);
    EXPECT_EQ(sol.SolValue, E.ShockVec);
    EXPECT_EQ(sol.SolEndo, E.Closure.Endo);
    EXPECT_EQ(sol.Inputs.DataEdits, (std::vector<kv::TDataEdit>{{1, 1, 12.0}}));
    EXPECT_EQ(sol.Inputs.ExoList, E.Closure.ExoList);
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        EXPECT_EQ(sol.Inputs.Shocks(v), v == kv::FindVariable("t2") ? -10.0 : 0.0) << v;
    }
    EXPECT_EQ(E.Title, "Sim 2");
}

TEST_F(ExperimentTest, FailedSolveStoresNothingAndKeepsTheTitle) {
    Swap("x(32)1", "phi");
    E.SetTitle("X");
    EXPECT_TRUE(E.Solve(1).singular);
    EXPECT_EQ(E.Solutions.Count, 0);
    EXPECT_EQ(E.Solutions.SimCount, 0);
    EXPECT_EQ(E.Title, "X");
}

TEST_F(ExperimentTest, AssignedStateRestoresEveryPartAndItsTableau) {
    const kv::TExperimentState start = E.State();
    const kv::Tableau_Real startTableau = E.Tableau;
    E.SetDataCell(1, 1, 11);
    E.RebuildTableau();
    Swap("cpi", "phi");
    E.SetShock(kv::FindVariable("t2"), -10);
    ASSERT_TRUE(E.Solve(5).success);
    const kv::TExperimentState later = E.State();
    const kv::Tableau_Real laterTableau = E.Tableau;

    E.Assign(start);
    EXPECT_EQ(E.State(), start);
    EXPECT_EQ(E.Tableau, startTableau);
    E.Assign(later, kv::chBaseData);
    EXPECT_EQ(E.BaseData, later.BaseData);
    EXPECT_EQ(E.Tableau, laterTableau);
    EXPECT_EQ(E.Closure, start.Closure);
    EXPECT_EQ(changes.back(), kv::chBaseData | kv::chTableau);
}

TEST(DataEdits, OnlyEnteredCellsThatDifferFromTheDefault) {
    kv::TExperiment E;
    EXPECT_TRUE(kv::DataEditsFromDefault(E.BaseData).empty());
    E.SetDataCell(10, 1, 3);
    E.SetDataCell(5, 2, 20); // the default value
    EXPECT_EQ(kv::DataEditsFromDefault(E.BaseData), (std::vector<kv::TDataEdit>{{10, 1, 3.0}}));
}

} // namespace
