#include "documents.h"

#include "datafolder.h"
#include "workarea.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
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
    const QUrl url = QUrl::fromLocalFile(QDir::fromNativeSeparators(path));
    const bool opened = opener() ? opener()(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        ShowMessageDialog(QStringLiteral("Could not launch ") + path, mkError, mbOK, 0, parent);
        return false;
    }
    return true;
}

void SetDocumentOpener(DocumentOpener o) {
    opener() = std::move(o);
}

void SetDocumentFolder(const QString& folder) {
    folderOverride() = folder;
}
