// A fresh experiment for the tests that read the model through the cell-text
// rules and the page tables, with the model's check file in a private folder.
#pragma once

#include "model.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kvtest {

class FreshModel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        kv::TemFileName = dir.filePath(QStringLiteral("TEM")).toStdString();
    }
    void TearDown() override { kv::TemFileName = "TEM"; }

    QTemporaryDir dir;
    kv::TExperiment E; // the defaults
};

} // namespace kvtest
