#include "experimentfiles.h"

#include "experimentdoc.h"
#include "workarea.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString Filter = QStringLiteral("WinVELMAR experiments (*.kvx);;All files (*)");
const QString RecentKey = QStringLiteral("RecentExperiments");
// The help topic of the file messages.
constexpr int FileHelpContext = 307;

// The program's own list, apart from the integer settings of the suite.
QSettings RecentSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNOK"),
                     QStringLiteral("WinVELMAR"));
}

QString Quoted(const QString& path) {
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

} // namespace

TExperimentFiles::TExperimentFiles(TExperimentDoc& doc, QWidget* window,
                                   std::function<int()> currentPage,
                                   std::function<void(int)> showPage)
    : QObject(window), FDoc(doc), FWindow(window), FCurrentPage(std::move(currentPage)),
      FShowPage(std::move(showPage)) {}

void TExperimentFiles::SetFileName(const QString& fileName) {
    if (fileName != FFileName) {
        FFileName = fileName;
        emit FileNameChanged();
    }
}

QString TExperimentFiles::DisplayName() const {
    return FFileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FFileName).fileName();
}

QString TExperimentFiles::ProgramName() {
    const QString version = QCoreApplication::applicationVersion();
    return QStringLiteral("WinVELMAR") +
           (version.isEmpty() ? QString() : QLatin1Char(' ') + version);
}

kv::TExperimentFile TExperimentFiles::Snapshot() const {
    kv::TExperimentFile file;
    file.State = FDoc.Experiment().State();
    file.Page = FCurrentPage ? FCurrentPage() : 0;
    return file;
}

bool TExperimentFiles::MaybeSave() {
    if (!FDoc.IsModified()) {
        return true;
    }
    const int answer = ShowMessageDialog(
        QStringLiteral("The experiment %1 has changes that are not saved.\r\n"
                       "Save them?  Yes: save, No: discard them, Cancel: go back.")
            .arg(FFileName.isEmpty() ? DisplayName() : Quoted(FFileName)),
        mkConfirmation, mbYes | mbNo | mbCancel, 0, FWindow);
    switch (answer) {
    case 6: // Yes
        return Save();
    case 7: // No
        return true;
    default:
        return false;
    }
}

bool TExperimentFiles::New() {
    if (!MaybeSave()) {
        return false;
    }
    FDoc.Replace(kv::TExperiment().State());
    SetFileName(QString());
    if (FShowPage) {
        FShowPage(0);
    }
    return true;
}

bool TExperimentFiles::Open() {
    if (!MaybeSave()) {
        return false;
    }
    const QString path = chooseFile(false);
    return !path.isEmpty() && Load(path);
}

bool TExperimentFiles::OpenFile(const QString& path) {
    return MaybeSave() && Load(path);
}

bool TExperimentFiles::Load(const QString& path) {
    QString reason;
    kv::TExperimentFile file;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        reason = in.errorString();
    } else if (in.size() > static_cast<qint64>(kv::MaxExperimentFileSize)) {
        reason =
            QStringLiteral("the file is too large to be an experiment (%1 bytes)").arg(in.size());
    } else {
        const QByteArray bytes = in.readAll();
        std::string error;
        if (in.error() != QFileDevice::NoError) {
            reason = in.errorString();
        } else if (!kv::ExperimentFromJson(bytes.toStdString(), file, error)) {
            reason = QString::fromStdString(error);
        }
    }
    if (!reason.isEmpty()) {
        ShowMessageDialog(QStringLiteral("The file %1 cannot be opened:\r\n%2\r\n"
                                         "The open experiment is unchanged.")
                              .arg(Quoted(path), reason),
                          mkError, mbOK | mbHelp, FileHelpContext, FWindow);
        return false;
    }
    FDoc.Replace(file.State);
    SetFileName(QFileInfo(path).absoluteFilePath());
    addRecent(FFileName);
    if (FShowPage) {
        FShowPage(file.Page);
    }
    return true;
}

bool TExperimentFiles::Save() {
    return FFileName.isEmpty() ? SaveAs() : SaveTo(FFileName);
}

bool TExperimentFiles::SaveAs() {
    QString path = chooseFile(true);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('.'))) {
        path += QLatin1String(kv::ExperimentSuffix);
    }
    return SaveTo(path);
}

bool TExperimentFiles::SaveTo(const QString& path) {
    const std::string text = kv::ExperimentToJson(Snapshot(), ProgramName().toStdString());
    QSaveFile out(path);
    bool ok = out.open(QIODevice::WriteOnly);
    ok = ok && out.write(text.data(), static_cast<qint64>(text.size())) ==
                   static_cast<qint64>(text.size());
    ok = ok && out.commit();
    if (!ok) {
        const QString reason = out.errorString();
        out.cancelWriting();
        ShowMessageDialog(QStringLiteral("The experiment could not be saved to %1:\r\n%2\r\n"
                                         "Any earlier file of that name is unchanged.")
                              .arg(Quoted(path), reason),
                          mkError, mbOK | mbHelp, FileHelpContext, FWindow);
        return false;
    }
    SetFileName(QFileInfo(path).absoluteFilePath());
    FDoc.SetSaved();
    addRecent(FFileName);
    return true;
}

QString TExperimentFiles::chooseFile(bool save) {
    // An untitled experiment starts in the user's documents folder.
    const QString start =
        FFileName.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                                  (save ? QStringLiteral("/experiment.kvx") : QStringLiteral("/"))
                            : FFileName;
    if (ChooseFile) {
        return ChooseFile(save, start);
    }
    QFileDialog dialog(nullptr, save ? QStringLiteral("Save Experiment")
                                     : QStringLiteral("Open Experiment"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(Filter);
    dialog.setDefaultSuffix(QStringLiteral("kvx"));
    TCommonDialogHelper helper(dialog);
    helper.SetFileName(start);
    if (!helper.Execute(FWindow)) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

QStringList TExperimentFiles::RecentFiles() const {
    return RecentSettings().value(RecentKey).toStringList().mid(0, MaxRecentFiles);
}

void TExperimentFiles::addRecent(const QString& path) {
    QStringList list = RecentFiles();
    list.removeAll(path);
    list.prepend(path);
    RecentSettings().setValue(RecentKey, list.mid(0, MaxRecentFiles));
    emit RecentFilesChanged();
}
