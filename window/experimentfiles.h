// The experiment's file: New, Open, Save and Save As, the list of recent
// files, and the question about unsaved changes. Files are read strictly
// (a refused file leaves the open experiment as it is) and written
// atomically (a failed save leaves the old file whole).
#pragma once

#include "experimentfile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class TExperimentDoc;

class TExperimentFiles : public QObject {
    Q_OBJECT
public:
    // window: owner of the dialogs; currentPage tells the page to remember in
    // a file, showPage shows the page a file was saved on.
    TExperimentFiles(TExperimentDoc& doc, QWidget* window, std::function<int()> currentPage,
                     std::function<void(int)> showPage);

    // The file the experiment was read from or saved to; empty when untitled.
    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& fileName);
    // The name the window title shows: the file's name, or "Untitled".
    QString DisplayName() const;

    // Menu commands; each returns false when it did not happen (cancelled,
    // refused or failed; a message says why).
    bool New();
    bool Open();
    bool OpenFile(const QString& path); // asks about unsaved changes first
    bool Save();
    bool SaveAs();
    // Unsaved changes: asks Save (Yes) / Discard (No) / Cancel; true when the
    // caller may go on.
    bool MaybeSave();

    // The file as it would be written now (also the recovery copy).
    kv::TExperimentFile Snapshot() const;
    // Reads and opens path without asking; false with a message when refused.
    bool Load(const QString& path);
    // Writes the experiment to path and makes it the experiment's file.
    bool SaveTo(const QString& path);

    // Up to MaxRecentFiles paths, the latest first.
    QStringList RecentFiles() const;
    static constexpr int MaxRecentFiles = 8;

    // The file dialog, replaced by tests: returns the chosen path, empty when
    // cancelled.
    std::function<QString(bool save, const QString& start)> ChooseFile;

    static QString ProgramName();

signals:
    void FileNameChanged();
    void RecentFilesChanged();

private:
    QString chooseFile(bool save);
    void addRecent(const QString& path);

    TExperimentDoc& FDoc;
    QWidget* FWindow;
    std::function<int()> FCurrentPage;
    std::function<void(int)> FShowPage;
    QString FFileName;
};
