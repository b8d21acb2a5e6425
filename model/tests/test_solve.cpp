#include "model_fixture.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <set>

namespace {

using Expect = std::map<std::string, double>;

class Methods : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(Methods, ZeroShocksGiveZeroResultsAndUnchangedData) {
    const auto res = kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure);
    EXPECT_TRUE(res.success);
    EXPECT_FALSE(res.singular || res.negativeFlow);
    for (double v : E.ShockVec) {
        EXPECT_NEAR(v, 0, 1e-12);
    }
    for (int i = 0; i < 66; ++i) {
        EXPECT_NEAR(E.NewData.Cells[i], E.BaseData.Cells[i], 1e-12);
    }
}

TEST_P(Methods, ExchangeRateShockIsNeutral) {
    Shock("phi") = 10;
    const auto res = kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure);
    ASSERT_TRUE(res.success);
    const std::set<std::string> nominal = {"c",     "p(11)",  "p(12)",  "p(21)", "p(22)",
                                           "p(31)", "p(32)1", "p(32)2", "phi",   "cpi"};
    for (kv::Variable v = 1; v <= kv::NumVars; ++v) {
        EXPECT_NEAR(E.ShockVec(v), nominal.count(kv::VarName(v)) ? 10 : 0, 1e-9) << kv::VarName(v);
    }
    for (int r = 1; r <= 11; ++r) {
        for (int c = 1; c <= 6; ++c) {
            const bool elasticity = (r == 10 || r == 11) && c == 4;
            EXPECT_NEAR(E.NewData(r, c), E.BaseData(r, c) * (elasticity ? 1 : 1.1), 1e-9)
                << r << "," << c;
        }
    }
}

TEST_P(Methods, SingularClosureLeavesTheVectorUnchanged) {
    Swap("x(32)1", "phi"); // equation 32 keeps no endogenous variable
    Shock("t2") = -10;
    const kv::Variable_Real before = E.ShockVec;
    const auto res = kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure);
    EXPECT_TRUE(res.singular);
    EXPECT_FALSE(res.success);
    EXPECT_EQ(E.ShockVec, before);
}

TEST_P(Methods, ShockOfMinus100RaisesAndLeavesTheVectorUnchanged) {
    Shock("t2") = -100;
    const kv::Variable_Real before = E.ShockVec;
    EXPECT_THROW(kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure),
                 kv::EInvalidOp);
    EXPECT_EQ(E.ShockVec, before);
}

TEST_P(Methods, ExogenousResultsReproduceTheirShocks) {
    Shock("t2") = -10;
    Shock("k1") = 25;
    Shock("phi") = 5;
    const kv::Variable_Real shocks = E.ShockVec;
    ASSERT_TRUE(kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    for (int j = 1; j <= kv::NumExo; ++j) {
        const kv::Variable v = E.Closure.ExoList(j);
        EXPECT_NEAR(E.ShockVec(v), shocks(v), 1e-9) << kv::VarName(v);
    }
}

TEST_P(Methods, UnwritableCheckFileRaisesInOutError) {
    kv::TemFileName = (dir_ / "missing-folder" / "TEM").string();
    Shock("t2") = -10;
    const kv::Variable_Real before = E.ShockVec;
    EXPECT_THROW(kv::SolveModel(GetParam(), E.BaseData, E.NewData, E.ShockVec, E.Closure),
                 kv::EInOutError);
    EXPECT_EQ(E.ShockVec, before);
}

INSTANTIATE_TEST_SUITE_P(AllMethods, Methods, ::testing::Values(1, 2, 3, 4, 5, 0, 9));

// A check file that cannot be written names its full path and the system's
// reason.
struct UnwritableTemCase {
    const char* name;
    // Points the check file somewhere it cannot be written, given the test's
    // folder; false when that cannot be arranged here.
    bool (*place)(const std::filesystem::path& dir);
    int method;
    const char* message; // with <path> for the check file's full path
};

void PrintTo(const UnwritableTemCase& c, std::ostream* os) {
    *os << c.name;
}

class UnwritableCheckFile : public ModelTest,
                            public ::testing::WithParamInterface<UnwritableTemCase> {};

TEST_P(UnwritableCheckFile, MessageNamesThePathAndTheReason) {
    if (!GetParam().place(dir_)) {
        GTEST_SKIP() << "cannot be arranged here (root ignores permissions)";
    }
    const std::string path = std::filesystem::absolute(kv::TemFileName).string();
    Shock("t2") = -10;
    std::string message = GetParam().message;
    message.replace(message.find("<path>"), 6, path);
    try {
        kv::SolveModel(GetParam().method, E.BaseData, E.NewData, E.ShockVec, E.Closure);
        ADD_FAILURE() << "no error";
    } catch (const kv::EInOutError& e) {
        EXPECT_EQ(e.message(), message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, UnwritableCheckFile,
    ::testing::Values(UnwritableTemCase{"missing_folder",
                                        [](const std::filesystem::path& dir) {
                                            kv::TemFileName =
                                                (dir / "missing-folder" / "TEM").string();
                                            return true;
                                        },
                                        1, "Cannot create file <path>: No such file or directory"},
                      UnwritableTemCase{"folder_in_the_way",
                                        [](const std::filesystem::path& dir) {
                                            kv::TemFileName = (dir / "TEM").string();
                                            return std::filesystem::create_directory(
                                                kv::TemFileName);
                                        },
                                        1, "Cannot create file <path>: Is a directory"},
                      UnwritableTemCase{"relative_name_in_a_missing_folder",
                                        [](const std::filesystem::path&) {
                                            kv::TemFileName = "no-such-folder-here/TEM";
                                            return !std::filesystem::exists("no-such-folder-here");
                                        },
                                        1, "Cannot create file <path>: No such file or directory"},
                      UnwritableTemCase{"read_only_folder",
                                        [](const std::filesystem::path& dir) {
                                            const auto ro = dir / "read-only";
                                            std::filesystem::create_directory(ro);
                                            std::filesystem::permissions(
                                                ro, std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
                                            kv::TemFileName = (ro / "TEM").string();
                                            std::FILE* probe =
                                                std::fopen(kv::TemFileName.c_str(), "wb");
                                            if (probe != nullptr) { // root writes anyway
                                                std::fclose(probe);
                                                std::filesystem::remove(kv::TemFileName);
                                                return false;
                                            }
                                            return true;
                                        },
                                        1, "Cannot create file <path>: Permission denied"},
                      // The extrapolation's final update writes lines, which a full disk refuses.
                      UnwritableTemCase{"disk_full",
                                        [](const std::filesystem::path&) {
                                            kv::TemFileName = "/dev/full";
                                            return std::filesystem::exists("/dev/full");
                                        },
                                        4, "Cannot write file <path>: No space left on device"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModelTest, ImportTaxCutUnderJohansen) {
    Shock("t2") = -10;
    ASSERT_TRUE(kv::SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    const Expect expected = {{"p(22)", -10},     {"p(11)", -3.8328}, {"p(21)", -4.5855},
                             {"v2", -4.5855},    {"c", -5.1785},     {"cpi", -5.1785},
                             {"p(31)", -5.1785}, {"p(32)1", 1.4837}, {"p(32)2", -7.2344},
                             {"x(11)4", 7.6655}, {"z1", 4.4415},     {"z2", -1.6447},
                             {"l", 2.3032},      {"m", 1.5110},      {"e", 3.6411},
                             {"delB", 0.4109},   {"t2", -10},        {"phi", 0}};
    for (const auto& [name, value] : expected) {
        EXPECT_NEAR(E.ShockVec(kv::FindVariable(name)), value, 0.00005) << name;
    }
}

TEST_F(ModelTest, ImportTaxCutWithTheCpiFixedMovesTheExchangeRate) {
    Swap("cpi", "phi");
    Shock("t2") = -10;
    ASSERT_TRUE(kv::SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    EXPECT_NEAR(Shock("phi"), 5.1785, 0.00005);
    EXPECT_NEAR(Shock("cpi"), 0, 1e-12);
}

TEST_F(ModelTest, TradeBalanceIsAddedAcrossSteps) {
    // delB exogenous: each step takes s/n and the steps add up to s.
    Swap("delB", "cR");
    Shock("delB") = 2;
    ASSERT_TRUE(kv::SolveModel(3, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    EXPECT_NEAR(Shock("delB"), 2, 1e-12);
}

TEST_F(ModelTest, EulerStepsConvergeAndExtrapolationImproves) {
    Shock("t2") = -10;
    const kv::Variable_Real shocks = E.ShockVec;
    std::map<int, kv::Variable_Real> results;
    for (int method = 1; method <= 5; ++method) {
        E.ShockVec = shocks;
        ASSERT_TRUE(kv::SolveModel(method, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
        results[method] = E.ShockVec;
    }
    const kv::Variable z1 = kv::FindVariable("z1");
    const double best = results[5](z1);
    EXPECT_GT(std::fabs(results[1](z1) - best), std::fabs(results[2](z1) - best));
    EXPECT_GT(std::fabs(results[2](z1) - best), std::fabs(results[3](z1) - best));
    EXPECT_LT(std::fabs(results[4](z1) - best), std::fabs(results[3](z1) - best));
}

struct TemCase {
    int method;
    bool empty;
};

class CheckFile : public ModelTest, public ::testing::WithParamInterface<TemCase> {};

TEST_P(CheckFile, EulerStepsLeaveItEmptyExtrapolationsReportCapital) {
    Shock("t2") = -10;
    ASSERT_TRUE(
        kv::SolveModel(GetParam().method, E.BaseData, E.NewData, E.ShockVec, E.Closure).success);
    ASSERT_TRUE(std::filesystem::exists(kv::TemFileName));
    const std::string tem = TemContents();
    if (GetParam().empty) {
        EXPECT_EQ(tem, "");
    } else {
        // Label, then two values each in 12 characters with 4 decimals.
        EXPECT_EQ(tem.rfind("cap1 update error     10.1616     10.1140\r\n"
                            "cap2 update error      4.6330      4.6224\r\n",
                            0),
                  0u)
            << tem;
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, CheckFile,
                         ::testing::Values(TemCase{1, true}, TemCase{2, true}, TemCase{3, true},
                                           TemCase{4, false}, TemCase{5, false}));

TEST_F(ModelTest, GaussJordanPivotsAlongTheRowAndReportsSingular) {
    kv::SquareMatrix A;
    kv::EndoVector b;
    kv::EndoVector x;
    for (int i = 1; i <= kv::NumEndo; ++i) {
        A(i)(kv::NumEndo + 1 - i) = 2.0; // anti-diagonal: the pivot lies off the diagonal
        b(i) = i;
    }
    ASSERT_FALSE(kv::GaussJordanSolve(A, b, x));
    for (int j = 1; j <= kv::NumEndo; ++j) {
        EXPECT_DOUBLE_EQ(x(j), (kv::NumEndo + 1 - j) / 2.0);
    }
    kv::SquareMatrix tiny;
    for (int i = 1; i <= kv::NumEndo; ++i) {
        tiny(i)(i) = i == 20 ? 0.000001 : 1.0; // at the absolute threshold: singular
    }
    EXPECT_TRUE(kv::GaussJordanSolve(tiny, b, x));
}

// The elimination as the procedure states it, every column of every row,
// kept here as the reference for the solver's own.
bool ReferenceGaussJordan(kv::SquareMatrix A, kv::EndoVector b, kv::EndoVector& x) {
    const int n = kv::NumEndo;
    kv::Vec1<int, kv::NumEndo> pivotRow;
    for (int i = 1; i <= n; ++i) {
        double best = -1;
        int p = 1;
        for (int j = 1; j <= n; ++j) {
            if (std::fabs(A(i)(j)) > best) {
                best = std::fabs(A(i)(j));
                p = j;
            }
        }
        if (best <= 0.000001) {
            return true;
        }
        pivotRow(p) = i;
        for (int k = 1; k <= n; ++k) {
            if (k != i && A(k)(p) != 0.0) {
                const double f = A(k)(p) / A(i)(p);
                for (int j = 1; j <= n; ++j) {
                    A(k)(j) = j == p ? 0.0 : A(k)(j) - f * A(i)(j);
                }
                b(k) = b(k) - f * b(i);
            }
        }
    }
    for (int j = 1; j <= n; ++j) {
        x(j) = b(pivotRow(j)) / A(pivotRow(j))(j);
    }
    return false;
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST_F(ModelTest, GaussJordanMatchesTheStatedEliminationBitForBit) {
    std::mt19937 rng(390039);
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int solved = 0;
    for (int trial = 0; trial < 60; ++trial) {
        // Step systems of the model under random closures, and dense random ones.
        E.Reset();
        for (int e = trial % 3; e > 0; --e) {
            kv::ExchangeVariables(E.Closure, 1 + static_cast<int>(unit(rng) * kv::NumEndo),
                                  1 + static_cast<int>(unit(rng) * kv::NumExo));
        }
        kv::SquareMatrix A;
        kv::AssembleEndogenous(E.Tableau, E.Closure, A);
        if (trial % 4 == 3) {
            for (auto& row : A) {
                for (double& a : row) {
                    a = normal(rng);
                }
            }
        }
        kv::RhsBlock B;
        kv::EndoVector b;
        for (int i = 1; i <= kv::NumEndo; ++i) {
            for (double& v : B(i)) {
                v = normal(rng);
            }
            b(i) = B(i)[0];
        }
        kv::EndoVector xRef;
        const bool singular = ReferenceGaussJordan(A, b, xRef);
        kv::SquareMatrix A1 = A;
        kv::SquareMatrix A2 = A;
        kv::SquareMatrix A3 = A;
        kv::EndoVector x;
        kv::EndoVector b1 = b;
        kv::RhsBlock B2 = B;
        kv::RhsBlock X;
        ASSERT_EQ(kv::GaussJordanSolve(A1, b1, x), singular) << "trial " << trial;
        ASSERT_EQ(kv::GaussJordanSolve(A2, B2, X), singular) << "trial " << trial;
        ASSERT_EQ(kv::GaussJordanSingular(A3), singular) << "trial " << trial;
        if (singular) {
            continue;
        }
        ++solved;
        for (int j = 1; j <= kv::NumEndo; ++j) {
            ASSERT_TRUE(SameBits(x(j), xRef(j))) << "trial " << trial << ", x" << j;
            ASSERT_TRUE(SameBits(X(j)[0], xRef(j))) << "trial " << trial << ", x" << j;
        }
        // Every other right-hand side as if solved alone.
        for (int c = 1; c < kv::StepRhsCount; ++c) {
            for (int i = 1; i <= kv::NumEndo; ++i) {
                b(i) = B(i)[static_cast<std::size_t>(c)];
            }
            ASSERT_FALSE(ReferenceGaussJordan(A, b, xRef));
            for (int j = 1; j <= kv::NumEndo; ++j) {
                ASSERT_TRUE(SameBits(X(j)[static_cast<std::size_t>(c)], xRef(j)))
                    << "trial " << trial << ", column " << c << ", x" << j;
            }
        }
    }
    EXPECT_GT(solved, 30);
}

TEST_F(ModelTest, NegativeFlowDuringComputationStopsTheRun) {
    // A fivefold rise in the world price of imported good 2 drives a flow below zero.
    Shock("p*(22)") = 500;
    const kv::Variable_Real before = E.ShockVec;
    const auto res = kv::SolveModel(1, E.BaseData, E.NewData, E.ShockVec, E.Closure);
    EXPECT_TRUE(res.negativeFlow);
    EXPECT_FALSE(res.success);
    EXPECT_EQ(E.ShockVec, before);
}

} // namespace
