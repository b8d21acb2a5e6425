#include "helpselector.h"

#include "datafolder.h"
#include "helpwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpLink>
#include <QPointer>
#include <utility>

namespace HelpSelector {

namespace {

QString& helpFile() {
    static QString name;
    return name;
}
TopicHook& topicHook() {
    static TopicHook hook;
    return hook;
}
QPointer<THelpWindow>& window() {
    static QPointer<THelpWindow> w;
    return w;
}

// The help window for the current help file, created on first need.
THelpWindow* helpWindow() {
    if (!window()) {
        window() = new THelpWindow(QtHelpFilePath());
    }
    return window();
}

QString missingTopicNote(int context) {
    return QStringLiteral("The help file %1 has no topic for context number %2.")
        .arg(QDir::toNativeSeparators(QtHelpFilePath()))
        .arg(context);
}

} // namespace

void SetHelpFile(const QString& fileName) {
    if (fileName != helpFile()) {
        CloseAll();
    }
    helpFile() = fileName;
}

QString HelpFile() {
    return helpFile();
}

QString QtHelpFilePath() {
    const QFileInfo named(helpFile());
    const QString folder =
        named.path() == QLatin1String(".") && !helpFile().startsWith(QLatin1Char('.'))
            ? ProgramDataFolder()
            : named.absolutePath();
    return QDir(folder).filePath(named.completeBaseName() + QStringLiteral(".qch"));
}

QString ContextId(int context) {
    return QStringLiteral("context.") + QString::number(context);
}

QUrl TopicUrl(int context) {
    if (window() && window()->isUsable()) {
        const QList<QHelpLink> links =
            window()->engine()->documentsForIdentifier(ContextId(context));
        return links.isEmpty() ? QUrl() : links.first().url;
    }
    const QString qch = QtHelpFilePath();
    QHelpEngineCore engine(CollectionFileFor(qch));
    QString error;
    if (!SetUpHelpEngine(engine, qch, error)) {
        return {};
    }
    const QList<QHelpLink> links = engine.documentsForIdentifier(ContextId(context));
    return links.isEmpty() ? QUrl() : links.first().url;
}

void ShowTopic(int context) {
    if (topicHook()) {
        topicHook()(context);
        return;
    }
    if (context <= 0) {
        return;
    }
    THelpWindow* w = helpWindow();
    w->showUrl(TopicUrl(context), missingTopicNote(context));
    w->present();
}

void ShowContents() {
    if (topicHook()) {
        topicHook()(0);
        return;
    }
    THelpWindow* w = helpWindow();
    w->showContentsTab();
    w->present();
    w->showUrl(TopicUrl(10), missingTopicNote(10));
}

void CloseAll() {
    if (THelpWindow* w = window()) {
        window() = nullptr;
        w->close();
        delete w;
    }
}

QWidget* HelpWindow() {
    return window();
}

QUrl CurrentTopicUrl() {
    return window() ? window()->currentUrl() : QUrl();
}

void SetTopicHook(TopicHook hook) {
    topicHook() = std::move(hook);
}

} // namespace HelpSelector
