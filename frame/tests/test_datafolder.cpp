// The data folder: share/winvelmar of an installed program, the executable's
// own folder in the build tree.
#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(DataFolder, InstalledBesideBinElseTheExecutablesFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("usr/bin") && dir.mkpath("build/app"));
    const QString bin = dir.filePath("usr/bin");
    const QString rel = QStringLiteral("../share/winvelmar");

    // Nothing installed yet: the executable's folder.
    EXPECT_EQ(DataFolderFor(bin, rel), bin);
    // A file of that name is no folder.
    ASSERT_TRUE(dir.mkpath("usr/share"));
    QFile file(dir.filePath("usr/share/winvelmar"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(DataFolderFor(bin, rel), bin);
    ASSERT_TRUE(file.remove());
    // Installed: the share folder, as a clean absolute path.
    ASSERT_TRUE(dir.mkpath("usr/share/winvelmar"));
    EXPECT_EQ(DataFolderFor(bin, rel), dir.filePath("usr/share/winvelmar"));
    // The build tree has no share folder beside its executables.
    EXPECT_EQ(DataFolderFor(dir.filePath("build/app"), rel), dir.filePath("build/app"));
    EXPECT_EQ(DataFolderFor(bin, QString()), bin);
}

} // namespace
