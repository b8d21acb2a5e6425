// The Linux probes of the diagnostics report read the kernel's own folders;
// these two readers take the folder as an argument so that tests can hand
// them a made-up one.
#pragma once

#include "diagprobes.h"

#include <QString>
#include <QStringList>

// Counts the online logical CPUs under cpuFolder (normally
// "/sys/devices/system/cpu"), the distinct packages they sit on and the
// distinct cores of those packages. All zero when the folder cannot be read.
TProcessorCounts ReadProcessorCounts(const QString& cpuFolder);

// The names of the running programs found under procFolder (normally
// "/proc"), unsorted and with duplicates; kernel threads are left out. False
// when none can be listed.
bool RunningProcessesList(const QString& procFolder, QStringList& names);
