// The environment and the session: the user, the command interpreter, the
// environment variables and the settings store.
#include "diagfacts.h"

#include "factfiles.h"
#include "launch.h"
#include "settings.h"
#include "suite.h"
#include "vkdebuginfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>
#include <algorithm>

using DiagFiles::Shown;

namespace {

QString userName() {
    QString name = DebugInfoCofig().UserName;
    if (name.isEmpty()) {
        name = DiagProbes::LoginName();
    }
    if (name.isEmpty()) {
        name = qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
    }
    return name;
}

// Writes the platform's two-line script into the temporary folder and runs it
// hidden with a time limit of 5 seconds; the script ends with a code of its
// own so that a run that never happened cannot pass.
QString runTestScript() {
    const QString folder = WithoutTrailingSeparator(TemporaryFolder());
    const TTestScript test = DiagProbes::TestScript(folder);
    const QString& path = test.Path;
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        script.write(test.Text) != test.Text.size()) {
        return QStringLiteral("Cannot write ") + Shown(path);
    }
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    TCmdRec rec;
    rec.Command = path;
    rec.WinTitle = path;
    rec.WorkDir = folder;
    rec.ShowCmd = 0;
    rec.CmdMaxSec = 5;
    const bool ran = RunCmdRec(rec);
    QFile::remove(path);
    if (rec.TimedOut) {
        return QStringLiteral("Time limit of 5 seconds exceeded running ") + Shown(path);
    }
    if (!ran) {
        return QStringLiteral("Cannot run ") + Shown(path);
    }
    if (rec.errcode != 7) {
        return QStringLiteral("Unexpected exit code %1 from ").arg(rec.errcode) + Shown(path);
    }
    return QStringLiteral("OK");
}

bool canWriteSettingsFile(const QString& file) {
    const QFileInfo info(file);
    if (info.exists()) {
        return info.isWritable();
    }
    // The file would be created in its folder, or in the nearest existing
    // folder above it.
    QDir dir = info.absoluteDir();
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp()) {
            break;
        }
    }
    return QFileInfo(dir.absolutePath()).isWritable();
}

} // namespace

void GatherSessionFacts(TDiagFacts& f) {
    f.UserName = userName();
    f.IsAdmin = DiagProbes::UserIsAdmin();
    f.ComspecLines = DiagProbes::ShellLines();
    f.BatchResult = runTestScript();
}

QStringList EnvironmentEntries() {
    QStringList entries = QProcessEnvironment::systemEnvironment().toStringList();
    std::sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

QStringList SettingsStoreLines() {
    QStringList lines;
    const QSettings machine(QSettings::NativeFormat, QSettings::SystemScope,
                            QStringLiteral("VARNOK"));
    const QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNOK"));
    lines << (canWriteSettingsFile(machine.fileName())
                  ? QStringLiteral("User can write to the machine-wide settings: ")
                  : QStringLiteral("User cannot write to the machine-wide settings: ")) +
                 Shown(machine.fileName());
    lines << (canWriteSettingsFile(user.fileName())
                  ? QStringLiteral("User can write to the per-user settings: ")
                  : QStringLiteral("User cannot write to the per-user settings: ")) +
                 VKRegKeyLocation();
    lines << DiagProbes::StoredPathLines();
    return lines;
}
