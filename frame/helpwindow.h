// The program's help window: a Qt help file shown with its contents, index
// and full-text search beside a text browser.
#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QHelpEngine;
class QHelpEngineCore;
class QTabWidget;
class QToolButton;

namespace HelpSelector {

// Makes sure that the collection engine knows the help file qchPath: registers
// it, or registers it again when the file has changed since. False with the
// reason in error when the help file cannot be used.
// registered tells whether the file was (re)registered just now.
bool SetUpHelpEngine(QHelpEngineCore& engine, const QString& qchPath, QString& error,
                     bool* registered = nullptr);

// Where the help collection of a help file is kept: a per-user cache folder,
// because the program's own folder may not be writable.
QString CollectionFileFor(const QString& qchPath);

// Shows the pages of the help file; links to other places open in the user's
// own programs.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpBrowser(QHelpEngineCore* engine, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);
    QHelpEngineCore* FEngine;
};

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(const QString& qchPath, QWidget* parent = nullptr);

    // Shows the page at url; a note when url is empty.
    void showUrl(const QUrl& url, const QString& missingNote);
    void showContentsTab();
    QUrl currentUrl() const;
    QHelpEngine* engine() const { return FEngine; }
    bool isUsable() const { return FUsable; }

    // Puts the window on screen. While a modal dialog is open, the window is
    // made a window of that dialog so that it takes input, and it becomes a
    // window of its own again when the dialog goes.
    void present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detachFromModal();
    void syncContents(const QUrl& url);

    QHelpEngine* FEngine = nullptr;
    THelpBrowser* FBrowser = nullptr;
    QTabWidget* FTabs = nullptr;
    QPointer<QWidget> FModal;
    bool FUsable = false;
    QString FError;
};

} // namespace HelpSelector
