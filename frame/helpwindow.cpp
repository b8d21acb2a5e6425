#include "helpwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace HelpSelector {

namespace {

const QString StampKey = QStringLiteral("WinVELMAR/stamp/");

// What identifies one build of a help file.
QString fileStamp(const QFileInfo& info) {
    return info.absoluteFilePath() + QLatin1Char('|') + QString::number(info.size()) +
           QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch());
}

QString notePage(const QString& title, const QString& text) {
    return QStringLiteral("<html><head><title>%1</title></head><body><h2>%1</h2><p>%2</p>"
                          "</body></html>")
        .arg(title.toHtmlEscaped(), text.toHtmlEscaped());
}

} // namespace

QString CollectionFileFor(const QString& qchPath) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    folder += QStringLiteral("/help");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + QFileInfo(qchPath).completeBaseName() +
           QStringLiteral(".qhc");
}

bool SetUpHelpEngine(QHelpEngineCore& engine, const QString& qchPath, QString& error,
                     bool* registered) {
    if (registered) {
        *registered = false;
    }
    const QFileInfo info(qchPath);
    if (!info.exists()) {
        error = QStringLiteral("The help file %1 could not be found.")
                    .arg(QDir::toNativeSeparators(qchPath));
        return false;
    }
    // The collection is ours to write: it records the help file.
    engine.setReadOnly(false);
    if (!engine.setupData()) {
        error = QStringLiteral("The help collection %1 could not be opened: %2")
                    .arg(QDir::toNativeSeparators(engine.collectionFile()), engine.error());
        return false;
    }
    const QString ns = QHelpEngineCore::namespaceName(info.absoluteFilePath());
    if (ns.isEmpty()) {
        error = QStringLiteral("The help file %1 could not be read.")
                    .arg(QDir::toNativeSeparators(qchPath));
        return false;
    }
    const QString stamp = fileStamp(info);
    const QStringList known = engine.registeredDocumentations();
    for (const QString& other : known) {
        if (other != ns || engine.customValue(StampKey + ns).toString() != stamp) {
            engine.unregisterDocumentation(other);
        }
    }
    if (!engine.registeredDocumentations().contains(ns)) {
        if (!engine.registerDocumentation(info.absoluteFilePath())) {
            error = QStringLiteral("The help file %1 could not be registered: %2")
                        .arg(QDir::toNativeSeparators(qchPath), engine.error());
            return false;
        }
        engine.setCustomValue(StampKey + ns, stamp);
        if (registered) {
            *registered = true;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------

THelpBrowser::THelpBrowser(QHelpEngineCore* engine, QWidget* parent)
    : QTextBrowser(parent), FEngine(engine) {
    // Links are followed here: the browser's own handling would send the
    // relative links of a help page to the desktop.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::followLink);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp")) {
        const QByteArray data = FEngine->fileData(name);
        if (type == QTextDocument::StyleSheetResource) {
            return QString::fromUtf8(data);
        }
        return data;
    }
    return QTextBrowser::loadResource(type, name);
}

void THelpBrowser::followLink(const QUrl& link) {
    const QUrl target = source().resolved(link);
    if (target.scheme() == QLatin1String("qthelp")) {
        if (target.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment) &&
            target.hasFragment()) {
            scrollToAnchor(target.fragment());
        } else {
            setSource(target);
        }
        return;
    }
    QDesktopServices::openUrl(target);
}

// ---------------------------------------------------------------------------

THelpWindow::THelpWindow(const QString& qchPath, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QFileInfo(qchPath).completeBaseName() + QStringLiteral(" Help"));

    FEngine = new QHelpEngine(CollectionFileFor(qchPath), this);
    bool registered = false;
    FUsable = SetUpHelpEngine(*FEngine, qchPath, FError, &registered);

    FBrowser = new THelpBrowser(FEngine, this);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));

    auto* back = new QToolButton(this);
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setText(QStringLiteral("Back"));
    back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back->setEnabled(false);
    auto* forward = new QToolButton(this);
    forward->setObjectName(QStringLiteral("HelpForward"));
    forward->setText(QStringLiteral("Forward"));
    forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    forward->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    forward->setEnabled(false);
    auto* home = new QToolButton(this);
    home->setObjectName(QStringLiteral("HelpHome"));
    home->setText(QStringLiteral("Contents"));
    home->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    home->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(back, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addWidget(home);
    bar->addStretch();

    FTabs = new QTabWidget(this);
    FTabs->setObjectName(QStringLiteral("HelpTabs"));

    // Contents
    QHelpContentWidget* contents = FEngine->contentWidget();
    contents->setObjectName(QStringLiteral("HelpContents"));
    FTabs->addTab(contents, QStringLiteral("Contents"));
    connect(contents, &QHelpContentWidget::linkActivated, FBrowser,
            [this](const QUrl& url) { FBrowser->setSource(url); });

    // Index
    auto* indexPage = new QWidget(FTabs);
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* lookFor = new QLineEdit(indexPage);
    lookFor->setObjectName(QStringLiteral("HelpIndexFilter"));
    lookFor->setPlaceholderText(QStringLiteral("Type the keyword to find"));
    QHelpIndexWidget* index = FEngine->indexWidget();
    index->setObjectName(QStringLiteral("HelpIndex"));
    indexLayout->addWidget(new QLabel(QStringLiteral("&Look for:"), indexPage));
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(index);
    qobject_cast<QLabel*>(indexLayout->itemAt(0)->widget())->setBuddy(lookFor);
    FTabs->addTab(indexPage, QStringLiteral("Index"));
    connect(lookFor, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(lookFor, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, FBrowser,
            [this](const QHelpLink& link, const QString&) { FBrowser->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, FBrowser,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty()) {
                    FBrowser->setSource(links.first().url);
                }
            });

    // Search
    auto* searchPage = new QWidget(FTabs);
    auto* searchLayout = new QVBoxLayout(searchPage);
    QHelpSearchEngine* search = FEngine->searchEngine();
    // The full-text index follows the help file: rebuilt when the file has
    // just been registered, brought up to date otherwise (in the background).
    if (FUsable) {
        if (registered) {
            search->reindexDocumentation();
        } else {
            search->scheduleIndexDocumentation();
        }
    }
    QHelpSearchQueryWidget* query = search->queryWidget();
    query->setObjectName(QStringLiteral("HelpSearchQuery"));
    QHelpSearchResultWidget* results = search->resultWidget();
    results->setObjectName(QStringLiteral("HelpSearchResults"));
    searchLayout->addWidget(query);
    searchLayout->addWidget(results, 1);
    FTabs->addTab(searchPage, QStringLiteral("Search"));
    connect(query, &QHelpSearchQueryWidget::search, search,
            [search, query] { search->search(query->searchInput()); });
    connect(results, &QHelpSearchResultWidget::requestShowLink, FBrowser,
            [this](const QUrl& url) { FBrowser->setSource(url); });

    connect(home, &QToolButton::clicked, this, [this] {
        showContentsTab();
        const QList<QHelpLink> links =
            FEngine->documentsForIdentifier(QStringLiteral("context.10"));
        if (!links.isEmpty()) {
            showUrl(links.first().url, QString());
        }
    });
    connect(FBrowser, &QTextBrowser::sourceChanged, this, &THelpWindow::syncContents);
    // The contents are built in the background; select the page shown once
    // they are there.
    connect(FEngine->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        FEngine->contentWidget()->expandToDepth(0);
        syncContents(FBrowser->source());
    });

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(FTabs);
    splitter->addWidget(FBrowser);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({270, 610});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
    resize(880, 620);

    if (!FUsable) {
        FBrowser->setHtml(notePage(QStringLiteral("Help is not available"), FError));
    }
}

void THelpWindow::showUrl(const QUrl& url, const QString& missingNote) {
    if (!FUsable) {
        FBrowser->setHtml(notePage(QStringLiteral("Help is not available"), FError));
        return;
    }
    if (url.isEmpty()) {
        FBrowser->setHtml(notePage(QStringLiteral("Topic not found"), missingNote));
        return;
    }
    FBrowser->setSource(url);
}

void THelpWindow::showContentsTab() {
    FTabs->setCurrentIndex(0);
}

QUrl THelpWindow::currentUrl() const {
    return FBrowser->source();
}

void THelpWindow::syncContents(const QUrl& url) {
    QHelpContentWidget* contents = FEngine->contentWidget();
    const QModelIndex index = contents->indexOf(url);
    if (index.isValid()) {
        contents->setCurrentIndex(index);
    }
}

void THelpWindow::present() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == this || (modal && modal->window() == this)) {
        modal = nullptr;
    }
    if (modal && modal != FModal) {
        const QRect frame = geometry();
        const bool wasVisible = isVisible();
        detachFromModal();
        setParent(modal, Qt::Window);
        if (wasVisible) {
            setGeometry(frame);
        }
        FModal = modal;
        modal->installEventFilter(this);
    }
    show();
    raise();
    activateWindow();
}

void THelpWindow::detachFromModal() {
    if (!FModal) {
        return;
    }
    FModal->removeEventFilter(this);
    FModal = nullptr;
    const QRect frame = geometry();
    const bool wasVisible = isVisible();
    setParent(nullptr, Qt::Window);
    setGeometry(frame);
    if (wasVisible) {
        show();
    }
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // The dialog is going: keep the help on screen as a window of its own.
    if (watched == FModal && (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        detachFromModal();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace HelpSelector
