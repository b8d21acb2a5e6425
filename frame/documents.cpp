#include "documents.h"

#include "datafolder.h"
#include "workarea.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QWidget>
#include <utility>

namespace {

DocumentOpener& opener() {
    static DocumentOpener o;
    return o;
}
QString& folderOverride() {
    static QString f;
    return f;
}
QString& launcherOverride() {
    static QString l;
    return l;
}

void showCouldNotLaunch(const QString& path, QWidget* parent) {
    ShowMessageDialog(QStringLiteral("Could not launch ") + path, mkError, mbOK, 0, parent);
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// Runs the launcher on path without waiting for the viewer; a launcher that
// cannot start is reported at once (false), one that fails or ends with an
// exit code other than 0 when it ends. The launcher may run as long as the
// viewer does; it has no parent, so that the program's end does not end it.
bool launchWatched(const QString& path, QWidget* parent) {
    const QString program =
        launcherOverride().isEmpty() ? QStringLiteral("xdg-open") : launcherOverride();
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments({QDir::fromNativeSeparators(path)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const QPointer<QWidget> owner(parent);
    QObject::connect(process, &QProcess::finished, process,
                     [process, path, owner](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0) {
                             showCouldNotLaunch(path, owner.data());
                         }
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}
#endif

bool desktopOpen(const QString& path, QWidget* parent) {
    const QUrl url = QUrl::fromLocalFile(QDir::fromNativeSeparators(path));
    if (opener()) {
        return opener()(url);
    }
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    Q_UNUSED(parent)
    return QDesktopServices::openUrl(url);
#else
    return launchWatched(path, parent);
#endif
}

} // namespace

QString DocumentPath(const QString& fileName) {
    QString folder = folderOverride().isEmpty() ? ProgramDataFolder() : folderOverride();
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\'))) {
        folder += QLatin1Char('/');
    }
    return QDir::toNativeSeparators(folder + fileName);
}

bool OpenDocument(const QString& fileName, QWidget* parent) {
    const QString path = DocumentPath(fileName);
    // A link counts as the file it points to: a dangling link is missing.
    if (!QFileInfo(path).isFile()) {
        ShowMessageDialog(QStringLiteral("Could not locate ") + path, mkError, mbOK, 0, parent);
        return false;
    }
    if (!desktopOpen(path, parent)) {
        showCouldNotLaunch(path, parent);
        return false;
    }
    return true;
}

void SetDocumentLauncher(const QString& program) {
    launcherOverride() = program;
}

void SetDocumentOpener(DocumentOpener o) {
    opener() = std::move(o);
}

void SetDocumentFolder(const QString& folder) {
    folderOverride() = folder;
}
