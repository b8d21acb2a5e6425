// The documents that the Help menu opens in the user's own viewer, in the
// program's data folder (beside the executable in the build tree).
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

inline const QString BookChapterFile = QStringLiteral("KRTW-Chapter-2.pdf");
inline const QString EquationsFile = QStringLiteral("EQUATION.pdf");
inline const QString VariablesFile = QStringLiteral("VARS.pdf");

// The full path of a document in the program's data folder.
QString DocumentPath(const QString& fileName);

// Opens the document with the user's viewer without waiting for it. A missing
// file shows "Could not locate " and its path, a file that the desktop cannot
// open "Could not launch " and its path; both as an error with one OK button.
// Where the desktop's launcher tells only later that it found no viewer (it
// fails or ends with an exit code other than 0), "Could not launch " shows
// then. Returns whether the viewer was asked to open it.
bool OpenDocument(const QString& fileName, QWidget* parent = nullptr);

// The desktop's launcher of documents where its open action cannot report a
// failure: a program run with the document's path as its one argument
// ("xdg-open" unless a test sets another; empty restores it). Windows and
// macOS use their own open action, which reports at once.
void SetDocumentLauncher(const QString& program);

// Tests replace the desktop's open action (the launcher or
// QDesktopServices::openUrl) and the folder the documents are looked for in.
using DocumentOpener = std::function<bool(const QUrl& url)>;
void SetDocumentOpener(DocumentOpener opener);
void SetDocumentFolder(const QString& folder); // empty: the program's data folder
