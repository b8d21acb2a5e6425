// Nothing lost on a crash: while the experiment has unsaved changes, a
// recovery copy of it is written (atomically, a moment after each change) to
// a folder of the user's, beside a lock that marks the session as running.
// A copy whose session is no longer running is one the program did not end
// normally with, and is offered at the next start.
#pragma once

#include "experimentfile.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class TExperimentDoc;

class TRecovery : public QObject {
    Q_OBJECT
public:
    // snapshot: the file as it would be saved now.
    TRecovery(TExperimentDoc& doc, const QString& folder,
              std::function<kv::TExperimentFile()> snapshot, QObject* parent = nullptr);
    ~TRecovery() override;

    // The per-user folder of the recovery copies.
    static QString DefaultFolder();

    // The copy of this session.
    QString CopyPath() const;
    // Writes the copy now when there are unsaved changes (and removes it when
    // there are none); false when it could not be written.
    bool WriteNow();
    // The program ends normally: the copy goes.
    void Finish();

    // A copy left by a session that did not end normally, the newest.
    struct TOrphan {
        QString Path;
        QDateTime Written;
    };
    static std::vector<TOrphan> Orphans(const QString& folder);
    // Removes an orphaned copy and its lock.
    static void Discard(const QString& path);

    // How long after a change the copy is written.
    static constexpr int DelayMs = 500;

private:
    TExperimentDoc& FDoc;
    QString FFolder;
    std::function<kv::TExperimentFile()> FSnapshot;
    std::unique_ptr<QLockFile> FLock;
    QTimer FTimer;
};
