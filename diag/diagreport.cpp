#include "diagreport.h"

#include "celltext.h"

#include <QLocale>
#include <algorithm>

namespace {

const QString Indent = QStringLiteral("    ");

QString plural(int count) {
    return count > 1 ? QStringLiteral("s") : QString();
}

QString megabytes(qint64 mb, const char* label) {
    return QString::number(mb) + QLatin1String(label);
}

class TReport {
public:
    void section(const QString& title) {
        ++FSection;
        FLines << QString() << QStringLiteral("SECTION %1: %2").arg(FSection).arg(title);
    }
    TReport& operator<<(const QString& line) {
        FLines << line;
        return *this;
    }
    TReport& operator<<(const QStringList& lines) {
        FLines << lines;
        return *this;
    }
    QStringList lines() const { return FLines; }

private:
    int FSection = 0;
    QStringList FLines;
};

void programSection(TReport& r, const TDiagFacts& f) {
    r << QStringLiteral("Program: ") + f.ProgramName;
    r << ProductVersionText(f.Version);
    // The path as it is, as in the about box: in lower case it could name a
    // file that does not exist.
    r << QStringLiteral("File: ") + f.ExePath +
             QStringLiteral(" (%1-bit, %2)")
                 .arg(f.ExeBits)
                 .arg(f.LargeAddressAware ? QStringLiteral("large address aware")
                                          : QStringLiteral("not large address aware"));
    r << QStringLiteral("Help File: ") + f.HelpFile +
             (f.HelpFileExists ? QStringLiteral(" [exists]") : QStringLiteral(" [not found]"));
    r << f.BuildLines;
    r << PadRight(QStringLiteral("Program Keep Dir:"), 23) + QLatin1Char('\t') + f.KeepDir;
    r << PadRight(QStringLiteral("Program Ini Name:"), 23) + QLatin1Char('\t') + f.IniName;
    r << PadRight(QStringLiteral("Program Temp Dir:"), 23) + QLatin1Char('\t') + f.TempDir;
    if (f.TempDir.size() > 40) {
        r << QStringLiteral("**** WARNING **** Temp Dir is longer than 40 characters");
    }
    if (f.TempDir.contains(QLatin1Char(' '))) {
        r << QStringLiteral("**** WARNING **** Temp Dir contains a blank");
    }
}

void systemSection(TReport& r, const TDiagFacts& f) {
    r << QStringLiteral("Command Line: ") + f.CommandLine;
    r << QStringLiteral("Operating System: ") + f.SystemVersion;
    if (f.ProgramBits < f.SystemBits) {
        r << QStringLiteral("Program runs as a %1-bit process on a %2-bit system")
                 .arg(f.ProgramBits)
                 .arg(f.SystemBits);
    } else {
        r << QStringLiteral("Program runs as a %1-bit process on a %2-bit system (native)")
                 .arg(f.ProgramBits)
                 .arg(f.SystemBits);
    }
    if (!f.WineVersion.isEmpty()) {
        r << QStringLiteral("Running under Wine Version ") + f.WineVersion;
    }
    r << megabytes(f.TotalPhysMB, " megabytes physical RAM [TotalPhys]");
    r << megabytes(f.AvailPhysMB, " megabytes free RAM [AvailPhys]");
    r << megabytes(f.TotalVirtualMB, " megabytes address space [TotalVirtual]");
    r << megabytes(f.AvailVirtualMB, " megabytes free address space [AvailVirtual]");
    r << QStringLiteral("Memory Used [working set]: %1 MB").arg(f.WorkingSetMB);
    r << QStringLiteral("Memory [WorkingSet + AvailVirtual]: %1 MB")
             .arg(f.WorkingSetMB + f.AvailVirtualMB);
    r << QStringLiteral("Heap Used: %1 Kb").arg(f.HeapUsedKB);
    r << QStringLiteral("Heap Unused: %1 Kb").arg(f.HeapUnusedKB);
    r << QStringLiteral("Processor: ") + f.Processor;
    r << ProcessorCountLine(f.SystemName, f.Sockets, f.Cores, f.LogicalCpus);
    r << QStringLiteral("User name: ") + f.UserName;
    r << (f.IsAdmin ? QStringLiteral("User has Administrator rights")
                    : QStringLiteral("User does NOT have Administrator rights"));
    r << f.ComspecLines;
    r << QStringLiteral("Running batch file from temp dir: ") + f.BatchResult;
}

void appearanceSection(TReport& r, const TDiagFacts& f) {
    r << QStringLiteral("Screen DPI: %1").arg(f.ScreenDpi);
    r << QStringLiteral("Screen size: %1x%2 pixels").arg(f.ScreenWidth).arg(f.ScreenHeight);
    r << QStringLiteral("Locale language: ") + f.LocaleLanguage;
    r << QStringLiteral("GetACP codepage: ") + f.AnsiCodePage;
    r << QStringLiteral("GetOemCP codepage: ") + f.OemCodePage;
    r << QStringLiteral("System menufont: ") + f.MenuFontName +
             QStringLiteral("  size: %1").arg(f.MenuFontSize) +
             (f.MenuFontFixed ? QStringLiteral(" (fixed width)")
                              : QStringLiteral(" (variable width)"));
    r << QStringLiteral("VARNOK default font: ") + f.UIFont;
    r << QStringLiteral("VARNOK default monospace font: ") + f.FixedFont;
    r << QStringLiteral("Default system monospace font: ") + f.SystemMonoFont;
    r << f.SystemName + QStringLiteral(" Locale decimal separator: ") + f.LocaleDecimal;
    r << QStringLiteral("Program decimal separator: ") + f.ProgramDecimal;
    r << f.HiddenExtensions;
    r << QStringLiteral("No of monitors detected: %1").arg(f.Monitors.size());
    for (int k = 0; k < f.Monitors.size(); ++k) {
        const TMonitorFact& m = f.Monitors[k];
        r << QStringLiteral("Monitor %1 Width %2 Height %3 Top %4 Left %5")
                     .arg(k + 1)
                     .arg(m.Width)
                     .arg(m.Height)
                     .arg(m.Top)
                     .arg(m.Left) +
                 (m.Primary ? QStringLiteral(" (primary monitor)")
                            : QStringLiteral(" (not the primary monitor)"));
    }
}

void associationSection(TReport& r, const TDiagFacts& f) {
    for (const auto& [extension, association] : f.Associations) {
        r << extension + QLatin1Char('\t') +
                 (association.isEmpty() ? QStringLiteral("No file association") : association);
    }
}

void suiteSection(TReport& r, const TDiagFacts& f) {
    if (f.SuiteFolder.isEmpty()) {
        r << QStringLiteral("Cannot locate VARNOK folder");
    } else {
        r << QStringLiteral("VARNOK folder: ") + f.SuiteFolder;
        const TProgramFlavour* first = nullptr;
        for (const TProgramFlavour& p : f.Flavours) {
            r << p.FileName + QStringLiteral(": ") + p.Flavour;
        }
        for (const TProgramFlavour& p : f.Flavours) {
            if (!p.Found) {
                continue;
            }
            if (first == nullptr) {
                first = &p;
            } else if (p.Flavour != first->Flavour) {
                r << QStringLiteral("**** WARNING **** VARNOK programs of different builds: ") +
                         first->FileName + QStringLiteral(" is ") + first->Flavour +
                         QStringLiteral(", ") + p.FileName + QStringLiteral(" is ") + p.Flavour;
            }
        }
    }
    r << f.UseSparseLine;
    if (f.SuiteFolder.isEmpty()) {
        return;
    }
    if (f.CompilerNote.isEmpty()) {
        r << QStringLiteral("No compiler note file ") + f.CompilerNoteFile;
    } else {
        r << QStringLiteral("Compiler note file ") + f.CompilerNoteFile + QLatin1Char(':');
        for (const QString& line : f.CompilerNote) {
            r << Indent + line;
        }
    }
    if (f.CompilerConfigs.isEmpty()) {
        r << QStringLiteral("No compiler configuration files");
    }
    for (const auto& [file, contents] : f.CompilerConfigs) {
        r << QStringLiteral("Compiler configuration file ") + file + QLatin1Char(':');
        for (const QString& line : contents) {
            r << Indent + line;
        }
    }
}

void pathSection(TReport& r, const TDiagFacts& f) {
    r << QStringLiteral("Current path is:");
    for (const QString& folder : f.PathFolders) {
        r << Indent + folder;
    }
    for (const TPathHit& hit : f.PathHits) {
        r << hit.FileName + QStringLiteral(": ") +
                 (hit.Folders.isEmpty()
                      ? QStringLiteral("not found on PATH")
                      : QStringLiteral("found in ") + hit.Folders.join(QStringLiteral("; ")));
    }
}

void processSection(TReport& r, const TDiagFacts& f) {
    if (!f.ProcessesOk) {
        r << QStringLiteral("RunningProcessesList failed");
        return;
    }
    QStringList names = f.Processes;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    r << names;
}

void filesSection(TReport& r, const TDiagFacts& f) {
    r << f.AppFiles;
    r << QString();
    if (f.SuiteFolder.isEmpty()) {
        r << QStringLiteral("Cannot locate any VARNOK folder");
    } else if (f.SuiteFolder == f.AppFolder) {
        r << QStringLiteral("Files in VARNOK folder  ") + f.SuiteFolder;
        r << QStringLiteral("The VARNOK folder is the application folder: see the list above");
    } else {
        r << QStringLiteral("Files in VARNOK folder  ") + f.SuiteFolder;
        r << f.SuiteFiles;
    }
}

void praxelSection(TReport& r, const TDiagFacts& f) {
    if (!f.PraxelOk) {
        r << QStringLiteral("Error making PRAXEL RPT file:") << f.PraxelError;
        return;
    }
    // The report ends with two closing lines of its own that say nothing.
    r << f.PraxelReport.mid(0, std::max<qsizetype>(0, f.PraxelReport.size() - 2));
}

} // namespace

QString ProductVersionText(double version) {
    return QStringLiteral("Version ") + kv::FormatReal(version, 0, 2) + QStringLiteral(",  ") +
           QLatin1String(ProgramDate);
}

QString DiagDateLine(const QDateTime& when) {
    const QLocale locale;
    const QDate d = when.date();
    const QTime t = when.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1, %2 %3, %4, %5:%6 %7")
        .arg(locale.dayName(d.dayOfWeek(), QLocale::LongFormat))
        .arg(locale.monthName(d.month(), QLocale::LongFormat))
        .arg(d.day())
        .arg(d.year())
        .arg(hour12)
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString ProcessorCountLine(const QString& systemName, int sockets, int cores, int logicalCpus) {
    return QStringLiteral("%1 detected %2 socket%3 with %4 core%5 and %6 logical CPU%7")
        .arg(systemName)
        .arg(sockets)
        .arg(plural(sockets))
        .arg(cores)
        .arg(plural(cores))
        .arg(logicalCpus)
        .arg(plural(logicalCpus));
}

QString PadRight(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

QString SpecialFolderLine(const TSpecialFolder& folder) {
    const QString label = PadRight(folder.Label, 16) + QLatin1Char('\t');
    if (!folder.Defined) {
        return label + QStringLiteral("UNDEFINED");
    }
    QString line = label + PadRight(folder.Path, 17) + QLatin1Char('\t');
    if (!folder.Exists) {
        return line + QStringLiteral("  NonExistent");
    }
    return line + QStringLiteral("  Exists,") +
           (folder.Writeable ? QStringLiteral(" Writeable") : QStringLiteral(" Non-Writeable"));
}

QString ShownEnvironmentEntry(const QString& entry) {
    // The name ends at the first "=" after its first character (a name of
    // Windows' own may begin with one).
    const qsizetype eq = entry.indexOf(QLatin1Char('='), 1);
    if (eq < 0) {
        return entry;
    }
    static const QLatin1String secretWords[] = {
        QLatin1String("TOKEN"),  QLatin1String("SECRET"), QLatin1String("PASSWORD"),
        QLatin1String("PASSWD"), QLatin1String("KEY"),    QLatin1String("CREDENTIAL")};
    const QStringView name = QStringView(entry).left(eq);
    for (const QLatin1String word : secretWords) {
        if (name.contains(word, Qt::CaseInsensitive)) {
            return entry.left(eq + 1) + QStringLiteral("(hidden)");
        }
    }
    return entry;
}

QStringList DiagSectionTitles(const TDiagFacts& f) {
    return {QStringLiteral("Program and compiler"),
            QStringLiteral("Operating system, hardware, session"),
            QStringLiteral("Appearance"),
            QStringLiteral("File Associations"),
            QStringLiteral("VARNOK Installation"),
            QStringLiteral("Path"),
            QStringLiteral("Special Folders:"),
            QStringLiteral("Registry Settings"),
            QStringLiteral("Complete Contents of Environment"),
            QStringLiteral("INI file"),
            QStringLiteral("Running Processes"),
            QStringLiteral("Files in application folder  ") + f.AppFolder,
            QStringLiteral("Location of LIBIOMP5MD.DLL"),
            QStringLiteral("Contents of RPT file from PRAXEL: ") + f.PraxelReportFile};
}

QStringList BuildDiagReport(const TDiagFacts& f) {
    const QStringList titles = DiagSectionTitles(f);
    TReport r;
    r << DiagDateLine(f.Now);
    using Writer = void (*)(TReport&, const TDiagFacts&);
    const Writer writers[] = {
        programSection,
        systemSection,
        appearanceSection,
        associationSection,
        suiteSection,
        pathSection,
        [](TReport& rep, const TDiagFacts& facts) {
            for (const TSpecialFolder& folder : facts.SpecialFolders) {
                rep << SpecialFolderLine(folder);
            }
        },
        [](TReport& rep, const TDiagFacts& facts) { rep << facts.RegistryLines; },
        [](TReport& rep, const TDiagFacts& facts) {
            for (const QString& entry : facts.Environment) {
                rep << ShownEnvironmentEntry(entry);
            }
        },
        [](TReport& rep, const TDiagFacts&) { rep << QStringLiteral("No INI file"); },
        processSection,
        filesSection,
        [](TReport& rep, const TDiagFacts& facts) { rep << facts.RuntimeLibraryLines; },
        praxelSection,
    };
    static_assert(std::size(writers) == 14);
    for (int i = 0; i < 14; ++i) {
        r.section(titles[i]);
        writers[i](r, f);
    }
    return r.lines();
}
