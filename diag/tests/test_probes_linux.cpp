// The Linux probes that read the kernel's folders, on made-up folders and on
// this computer's.
#if defined(__linux__)
#include "diagfacts.h"
#include "diagfixture.h"
#include "probes_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A fake /sys/devices/system/cpu: one topology per logical CPU.
struct CpuTopology {
    int package;
    int die;
    int core;
};

TEST(Processors, CountsFromTopology) {
    QTemporaryDir sys;
    ASSERT_TRUE(sys.isValid());
    // Two packages with two cores each, two threads per core; cpu7 offline.
    const CpuTopology cpus[] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 0, 1},
                                {1, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, 0, 1}};
    for (int i = 0; i < 8; ++i) {
        const QString t = sys.filePath(QStringLiteral("cpu%1/topology/").arg(i));
        ASSERT_TRUE(WriteFile(t + "physical_package_id", QByteArray::number(cpus[i].package)));
        ASSERT_TRUE(WriteFile(t + "die_id", QByteArray::number(cpus[i].die)));
        ASSERT_TRUE(WriteFile(t + "core_id", QByteArray::number(cpus[i].core)));
    }
    ASSERT_TRUE(QDir(sys.path()).mkpath("cpufreq")); // not a CPU
    ASSERT_TRUE(WriteFile(sys.filePath("online"), "0-6\n"));
    TProcessorCounts c = ReadProcessorCounts(sys.path());
    EXPECT_EQ(c.Sockets, 2);
    EXPECT_EQ(c.Cores, 4);
    EXPECT_EQ(c.LogicalCpus, 7);

    // Only package 1 online: the same core numbers do not merge packages.
    ASSERT_TRUE(WriteFile(sys.filePath("online"), "4-5,7\n"));
    c = ReadProcessorCounts(sys.path());
    EXPECT_EQ(c.Sockets, 1);
    EXPECT_EQ(c.Cores, 2);
    EXPECT_EQ(c.LogicalCpus, 3);

    // Without the online list every cpuN folder counts.
    QFile::remove(sys.filePath("online"));
    c = ReadProcessorCounts(sys.path());
    EXPECT_EQ(c.LogicalCpus, 8);

    c = ReadProcessorCounts(sys.filePath("missing"));
    EXPECT_EQ(c.Sockets + c.Cores + c.LogicalCpus, 0);

    // This computer: at least one of each, cores no more than CPUs.
    const TProcessorCounts& real = ::ProcessorCounts();
    EXPECT_GE(real.Sockets, 1);
    EXPECT_GE(real.Cores, real.Sockets);
    EXPECT_GE(real.LogicalCpus, real.Cores);
}

TEST(Processes, ListedFromProc) {
    QTemporaryDir proc;
    const auto process = [&proc](const QString& pid, const QByteArray& cmdline,
                                 const QByteArray& comm) {
        return WriteFile(proc.filePath(pid + "/cmdline"), cmdline) &&
               WriteFile(proc.filePath(pid + "/comm"), comm + "\n");
    };
    ASSERT_TRUE(process("1", QByteArray("/sbin/init\0", 11), "init"));
    ASSERT_TRUE(process("2", "", "kthreadd")); // a kernel thread
    ASSERT_TRUE(process("42", QByteArray("-bash\0", 6), "bash"));
    ASSERT_TRUE(process("43", QByteArray("bash\0-l\0", 8), "bash"));
    ASSERT_TRUE(QDir(proc.path()).mkpath("44")); // ended meanwhile
    ASSERT_TRUE(process("sys", "x", "not a process"));
    QStringList names;
    ASSERT_TRUE(RunningProcessesList(proc.path(), names));
    names.sort();
    EXPECT_EQ(names, QStringList({"bash", "bash", "init"}));

    QTemporaryDir empty;
    EXPECT_FALSE(RunningProcessesList(empty.path(), names));

    ASSERT_TRUE(RunningProcessesList("/proc", names));
    EXPECT_TRUE(names.contains("diag_tests"));
}
#endif
