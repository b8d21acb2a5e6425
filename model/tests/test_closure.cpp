#include "model_fixture.h"

#include <vector>

namespace {

std::vector<int> ExoList(const kv::TExperiment& E) {
    return {E.Closure.ExoList.begin(), E.Closure.ExoList.end()};
}

TEST_F(ModelTest, DefaultClosureListsAndPositions) {
    std::vector<int> endo(E.Closure.EndoVar.begin(), E.Closure.EndoVar.end());
    std::vector<int> expected;
    for (int v = 1; v <= 11; ++v) {
        expected.push_back(v);
    }
    expected.push_back(14);
    for (int v = 18; v <= 38; ++v) {
        expected.push_back(v);
    }
    for (int v : {41, 44, 47, 48, 49, 50}) {
        expected.push_back(v);
    }
    EXPECT_EQ(endo, expected);
    EXPECT_EQ(E.Closure.EndoPos(14), 12);
    EXPECT_EQ(ExoList(E), (std::vector<int>{12, 13, 42, 43, 45, 46, 51, 40, 15, 52, 16, 17, 39}));
    for (int k = 1; k <= kv::NumEndo; ++k) {
        EXPECT_EQ(E.Closure.EndoPos(E.Closure.EndoVar(k)), k);
    }
    for (int v : ExoList(E)) {
        EXPECT_FALSE(E.Closure.Endo(v));
        EXPECT_EQ(E.Closure.EndoPos(v), 0);
    }
}

TEST_F(ModelTest, ExchangeTakesTheListPlaceAndReturnsNewPosition) {
    EXPECT_EQ(kv::ExchangeVariables(E.Closure, 1, 13), 33);
    EXPECT_EQ(ExoList(E), (std::vector<int>{12, 13, 42, 43, 45, 46, 51, 40, 15, 52, 16, 17, 1}));
    EXPECT_TRUE(E.Closure.Endo(39));
    EXPECT_EQ(E.Closure.EndoVar(33), 39);
    // The same pair exchanged back restores the closure and the list order.
    EXPECT_EQ(kv::ExchangeVariables(E.Closure, 33, 13), 1);
    kv::TClosure fresh;
    kv::DefaultClosure(fresh);
    EXPECT_EQ(E.Closure.Endo, fresh.Endo);
    EXPECT_EQ(E.Closure.ExoList, fresh.ExoList);
    EXPECT_EQ(E.Closure.EndoVar, fresh.EndoVar);
}

TEST_F(ModelTest, VariableMadeExogenousAfterASolveKeepsItsResultAsShock) {
    Shock("t2") = -10;
    ASSERT_TRUE(kv::SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    const double cpi = Shock("cpi");
    Swap("cpi", "phi");
    EXPECT_FALSE(E.Closure.Endo(kv::FindVariable("cpi")));
    EXPECT_EQ(Shock("cpi"), cpi);
}

TEST(SolutionStore, AddMoveDeleteKeepTitlesWithTheirSolutions) {
    kv::TSolutionStore S;
    kv::Variable_Real vec;
    kv::Variable_Bool endo;
    for (const char* title : {"A", "B", "C"}) {
        kv::AddSolution(S, title, vec, endo);
    }
    auto titles = [&S] {
        std::string t;
        for (int i = 1; i <= S.Count; ++i) {
            t += S.Items(i).Soltitle;
        }
        return t;
    };
    kv::MoveSolutionRight(S, 1);
    EXPECT_EQ(titles(), "BAC");
    kv::MoveSolutionLeft(S, 3);
    EXPECT_EQ(titles(), "BCA");
    kv::MoveSolutionLeft(S, 1);  // no-op on the first column
    kv::MoveSolutionRight(S, 3); // no-op on the last column
    EXPECT_EQ(titles(), "BCA");
    kv::DeleteSolution(S, 2);
    EXPECT_EQ(titles(), "BA");
    EXPECT_EQ(S.SimCount, 3);
    kv::AddSolution(S, "", vec, endo); // empty titles are stored as they are
    EXPECT_EQ(S.Count, 3);
    EXPECT_EQ(S.Items(3).Soltitle, "");
    EXPECT_EQ(S.SimCount, 4);
}

TEST(Variables, NamesLookUp) {
    EXPECT_EQ(kv::FindVariable("x(11)3"), 1);
    EXPECT_EQ(kv::FindVariable("delB"), kv::DelB);
    EXPECT_EQ(kv::FindVariable("cR"), 52);
    EXPECT_EQ(kv::FindVariable("CR"), 0);
    EXPECT_EQ(kv::VarDesc(39), "Exchange rate");
}

} // namespace
