// Shared fixture: a fresh experiment and a private folder for the check file.
#pragma once

#include "model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& ch : name) {
            if (ch == '/') {
                ch = '_';
            }
        }
        dir_ = std::filesystem::temp_directory_path() / ("kvmodel_" + name);
        std::filesystem::create_directories(dir_);
        kv::TemFileName = (dir_ / "TEM").string();
        std::filesystem::remove(kv::TemFileName);
    }
    void TearDown() override {
        kv::TemFileName = "TEM";
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static std::string TemContents() {
        std::ifstream in(kv::TemFileName, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Index of the exogenous-list place that holds variable v, 0 if none.
    int ExoPlace(kv::Variable v) {
        for (int j = 1; j <= kv::NumExo; ++j) {
            if (E.Closure.ExoList(j) == v) {
                return j;
            }
        }
        return 0;
    }
    // Exchanges two variables by name through the list items the Closure page uses.
    int Swap(const char* endoName, const char* exoName) {
        const kv::Variable out = kv::FindVariable(endoName);
        const kv::Variable in = kv::FindVariable(exoName);
        return kv::ExchangeVariables(E.Closure, E.Closure.EndoPos(out), ExoPlace(in));
    }
    double& Shock(const char* name) { return E.ShockVec(kv::FindVariable(name)); }

    kv::TExperiment E;
    std::filesystem::path dir_;
};
