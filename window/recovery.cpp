#include "recovery.h"

#include "experimentdoc.h"
#include "experimentfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString CopyPrefix = QStringLiteral("recovery-");
const QString CopySuffix = QStringLiteral(".kvx");
const QString LockSuffix = QStringLiteral(".lock");

QString LockPathOf(const QString& copyPath) {
    return copyPath.left(copyPath.size() - CopySuffix.size()) + LockSuffix;
}

} // namespace

TRecovery::TRecovery(TExperimentDoc& doc, const QString& folder,
                     std::function<kv::TExperimentFile()> snapshot, QObject* parent)
    : QObject(parent), FDoc(doc), FFolder(folder), FSnapshot(std::move(snapshot)) {
    QDir().mkpath(FFolder);
    FLock = std::make_unique<QLockFile>(LockPathOf(CopyPath()));
    // A session may run for days: only a lock whose process is gone is stale.
    FLock->setStaleLockTime(0);
    FLock->tryLock(0);
    FTimer.setSingleShot(true);
    FTimer.setInterval(DelayMs);
    connect(&FTimer, &QTimer::timeout, this, [this] { WriteNow(); });
    connect(&doc, &TExperimentDoc::Changed, this, [this] { FTimer.start(); });
    connect(&doc, &TExperimentDoc::ModifiedChanged, this, [this] { FTimer.start(); });
}

TRecovery::~TRecovery() = default;

QString TRecovery::DefaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/recovery");
}

QString TRecovery::CopyPath() const {
    return FFolder + QLatin1Char('/') + CopyPrefix +
           QString::number(QCoreApplication::applicationPid()) + CopySuffix;
}

bool TRecovery::WriteNow() {
    FTimer.stop();
    if (!FDoc.IsModified()) {
        QFile::remove(CopyPath());
        return true;
    }
    const std::string text =
        kv::ExperimentToJson(FSnapshot(), TExperimentFiles::ProgramName().toStdString());
    QSaveFile out(CopyPath());
    return out.open(QIODevice::WriteOnly) &&
           out.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size()) &&
           out.commit();
}

void TRecovery::Finish() {
    FTimer.stop();
    QFile::remove(CopyPath());
    FLock->unlock();
}

std::vector<TRecovery::TOrphan> TRecovery::Orphans(const QString& folder) {
    std::vector<TOrphan> orphans;
    const QString own =
        CopyPrefix + QString::number(QCoreApplication::applicationPid()) + CopySuffix;
    const QFileInfoList copies = QDir(folder).entryInfoList(
        {CopyPrefix + QLatin1Char('*') + CopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : copies) {
        if (info.fileName() == own) {
            continue;
        }
        // A lock that can be taken belongs to a session that is gone.
        QLockFile lock(LockPathOf(info.absoluteFilePath()));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock();
            orphans.push_back({info.absoluteFilePath(), info.lastModified()});
        }
    }
    // Locks of sessions that ended without a copy to keep go too.
    const QFileInfoList locks =
        QDir(folder).entryInfoList({CopyPrefix + QLatin1Char('*') + LockSuffix}, QDir::Files);
    for (const QFileInfo& info : locks) {
        const QString copy = info.absoluteFilePath().chopped(LockSuffix.size()) + CopySuffix;
        if (!QFile::exists(copy)) {
            QLockFile lock(info.absoluteFilePath());
            lock.setStaleLockTime(0);
            if (lock.tryLock(0)) {
                lock.unlock();
            }
        }
    }
    return orphans;
}

void TRecovery::Discard(const QString& path) {
    QFile::remove(path);
    QFile::remove(LockPathOf(path));
}
