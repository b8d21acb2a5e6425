// Memory and processors.
#include "diagfacts.h"

#include <QSysInfo>

namespace {

QString operatingSystem() {
    return QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelType() +
           QLatin1Char(' ') + QSysInfo::kernelVersion() + QStringLiteral(" (") +
           QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
}

} // namespace

const TProcessorCounts& ProcessorCounts() {
    static const TProcessorCounts counts = DiagProbes::CountProcessors();
    return counts;
}

void GatherSystemFacts(TDiagFacts& f) {
    f.SystemVersion = operatingSystem();
    f.SystemName = DiagProbes::SystemName();
    f.ProgramBits = int(sizeof(void*) * 8);
    f.SystemBits = QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? 64 : 32;
    f.WineVersion = DiagProbes::CompatibilityLayerVersion();
    const TMemoryFacts memory = DiagProbes::Memory();
    f.TotalPhysMB = memory.TotalPhysMB;
    f.AvailPhysMB = memory.AvailPhysMB;
    f.TotalVirtualMB = memory.TotalVirtualMB;
    f.AvailVirtualMB = memory.AvailVirtualMB;
    f.WorkingSetMB = memory.WorkingSetMB;
    f.HeapUsedKB = memory.HeapUsedKB;
    f.HeapUnusedKB = memory.HeapUnusedKB;
    f.Processor = DiagProbes::Processor();
    const TProcessorCounts& counts = ProcessorCounts();
    f.Sockets = counts.Sockets;
    f.Cores = counts.Cores;
    f.LogicalCpus = counts.LogicalCpus;
}
