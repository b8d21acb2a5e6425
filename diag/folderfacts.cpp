// Folders: the special folders, the PATH, the files of a folder, executables
// and where the threading runtime library lies.
#include "diagfacts.h"

#include "factfiles.h"
#include "suite.h"
#include "workarea.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QtEndian>

using DiagFiles::ExecutableFolder;
using DiagFiles::Shown;

namespace {

// A literal path of the table, on the Windows folder's drive.
QString onSystemDrive(const QString& path) {
    QString p = path;
    if (PathHasDriveLetter(p)) {
        p[0] = DiagProbes::SystemDriveLetter();
    }
    return p;
}

QString homeFolder() {
    const QString drive = qEnvironmentVariable("HOMEDRIVE");
    const QString path = qEnvironmentVariable("HOMEPATH");
    if (!drive.isEmpty() || !path.isEmpty()) {
        return drive + path;
    }
    return DiagProbes::HomeFolder();
}

} // namespace

// --- Special folders ---------------------------------------------------------------

QString NormaliseSpecialPath(const QString& path) {
    QString p = path.trimmed();
    if (p.isEmpty()) {
        return p;
    }
    if (PathHasDriveLetter(p)) {
        if (p.size() == 2) {
            p += QLatin1Char('\\');
        }
        return DiagProbes::AbsoluteDrivePath(WithoutTrailingSeparator(p));
    }
    p = WithoutTrailingSeparator(p);
    return Shown(QDir::cleanPath(QDir::current().absoluteFilePath(p)));
}

TSpecialFolder SpecialFolder(int sdt) {
    TSpecialFolder f;
    f.Index = sdt;
    QString path;
    switch (sdt) {
    case 0:
        return f;
    case 1:
        f.Label = QStringLiteral("Windows Folder");
        path = DiagProbes::WindowsFolder();
        break;
    case 2:
        f.Label = QStringLiteral("TMP Folder");
        path = qEnvironmentVariable("TMP");
        break;
    case 3:
        f.Label = QStringLiteral("TEMP Folder");
        path = qEnvironmentVariable("TEMP");
        break;
    case 4:
        f.Label = QStringLiteral("SYSTEMDRIVE");
        path = qEnvironmentVariable("SYSTEMDRIVE");
        break;
    case 5:
        f.Label = QStringLiteral("VKTEMP Folder");
        path = qEnvironmentVariable("VKTEMP");
        break;
    case 6:
        f.Label = QStringLiteral("VKKEEP Folder");
        path = qEnvironmentVariable("VKKEEP");
        break;
    case 7:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\temp"));
        break;
    case 8:
        f.Label = QStringLiteral("VKDIR Folder");
        path = qEnvironmentVariable("VKDIR");
        break;
    case 9:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\VK"));
        break;
    case 10:
        f.Label = QStringLiteral("Current Directory");
        path = QDir::currentPath();
        break;
    case 11:
        f.Label = QStringLiteral("Application Folder");
        path = ExecutableFolder();
        break;
    case 12:
        f.Label = path = onSystemDrive(QStringLiteral("C:\\"));
        break;
    case 13:
        f.Label = QStringLiteral("HOMEPATH Folder");
        path = homeFolder();
        break;
    case 14:
        f.Label = QStringLiteral("User Folder");
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    case 15:
        f.Label = QStringLiteral("AppData Folder");
        path = DiagProbes::AppDataFolder();
        break;
    default:
        ShowMessageDialog(QStringLiteral("program error: unexpected case of sdt"), mkError, mbOK,
                          0);
        return f;
    }
    f.Path = NormaliseSpecialPath(path);
    f.Defined = !f.Path.isEmpty();
    return f;
}

void ProbeFolder(TSpecialFolder& folder) {
    folder.Exists = folder.Defined && FolderExists(folder.Path);
    folder.Writeable = false;
    if (!folder.Exists) {
        return;
    }
    const QString scratch =
        QDir(folder.Path)
            .filePath(QStringLiteral("vkdiag_%1.tmp").arg(QCoreApplication::applicationPid()));
    QFile file(scratch);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        file.close();
        folder.Writeable = file.remove();
    }
}

QList<TSpecialFolder> SpecialFolders() {
    QList<TSpecialFolder> list;
    for (int sdt = 1; sdt <= SpecialFolderCount; ++sdt) {
        TSpecialFolder f = SpecialFolder(sdt);
        ProbeFolder(f);
        list << f;
    }
    return list;
}

// --- Executables and the PATH ----------------------------------------------------------

QString ExecutableFlavour(const QString& path) {
    if (!FileExists(path)) {
        return QStringLiteral("not found");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot be read");
    }
    const QByteArray head = file.read(64);
    if (head.startsWith("\x7f"
                        "ELF") &&
        head.size() > 4) {
        return head[4] == 2 ? QStringLiteral("ELF 64-bit") : QStringLiteral("ELF 32-bit");
    }
    if (head.startsWith("#!")) {
        return QStringLiteral("script");
    }
    if (head.startsWith("MZ") && head.size() >= 64) {
        const quint32 peOffset = qFromLittleEndian<quint32>(head.constData() + 0x3C);
        if (file.seek(peOffset)) {
            const QByteArray pe = file.read(6);
            if (pe.size() == 6 && pe.startsWith(QByteArray("PE\0\0", 4))) {
                const quint16 machine = qFromLittleEndian<quint16>(pe.constData() + 4);
                if (machine == 0x14c) {
                    return QStringLiteral("Windows 32-bit");
                }
                if (machine == 0x8664 || machine == 0xAA64) {
                    return QStringLiteral("Windows 64-bit");
                }
            }
        }
    }
    return QStringLiteral("unknown format");
}

QStringList FoldersHolding(const QStringList& folders, const QString& fileName) {
    QStringList found;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        // Name filters compare without regard to case.
        if (!dir.entryList({fileName}, QDir::Files | QDir::Hidden | QDir::System).isEmpty()) {
            found << Shown(folder);
        }
    }
    return found;
}

QStringList PathFolders() {
    QStringList folders;
    for (const QString& folder :
         qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << folder.trimmed();
    }
    return folders;
}

// --- Files -------------------------------------------------------------------------------

QStringList FolderFileList(const QString& folder) {
    QStringList lines;
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& file : files) {
        lines << PadRight(file.fileName(), 32) + QLatin1Char(' ') +
                     QStringLiteral("%1").arg(file.size(), 12) + QStringLiteral("  ") +
                     file.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("No files");
    }
    return lines;
}

QStringList RuntimeLibraryLines() {
    QList<QPair<QString, QString>> places;
    places.append({QStringLiteral("Application folder"), ExecutableFolder()});
    places.append({QStringLiteral("Current folder"), QDir::currentPath()});
    places.append(DiagProbes::LibraryFolders());
    for (const QString& folder : PathFolders()) {
        places.append({QStringLiteral("PATH folder"), folder});
    }
    QStringList lines;
    QSet<QString> seen;
    for (const auto& [label, folder] : places) {
        if (folder.isEmpty()) {
            continue;
        }
        for (const QString& name :
             {QStringLiteral("libiomp5md.dll"), QStringLiteral("libiomp5.so")}) {
            for (const QString& hit : FoldersHolding({folder}, name)) {
                const QString line = label + QStringLiteral(": ") + Shown(QDir(hit).filePath(name));
                if (!seen.contains(line)) {
                    seen.insert(line);
                    lines << line;
                }
            }
        }
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("LIBIOMP5MD.DLL not found in the application, current, system or "
                                "PATH folders");
    }
    return lines;
}
