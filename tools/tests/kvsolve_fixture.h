// Runs kvsolve in-process, writing its check file to a private folder.
#pragma once

#include "kvsolve_run.h"
#include "model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

class KvSolveFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / "kvsolve_tests";
        std::filesystem::create_directories(dir_);
        kv::TemFileName = (dir_ / "TEM").string();
    }
    void TearDown() override { kv::TemFileName = "TEM"; }
    static RunResult Run(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = kvsolve::Run(args, out, err);
        return {status, out.str(), err.str()};
    }
    std::filesystem::path dir_;
};
