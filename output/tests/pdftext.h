// Reads a PDF file back as text with pdftotext (poppler-utils), for tests of
// printouts made to a PDF file.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kvtest {

struct PdfText {
    bool Ok = false;
    QString Error;
    QStringList Pages; // text of each page, in layout mode
};

// args go before the file name, e.g. {"-layout"}.
inline PdfText ReadPdfText(const QString& fileName,
                           const QStringList& args = {QStringLiteral("-layout")}) {
    PdfText result;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args + QStringList{fileName, QStringLiteral("-")});
    if (!p.waitForStarted(10000)) {
        result.Error = QStringLiteral("pdftotext could not be started (poppler-utils missing?)");
        return result;
    }
    p.waitForFinished(30000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        result.Error =
            QStringLiteral("pdftotext failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return result;
    }
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    // pdftotext ends every page with a form feed.
    result.Pages = text.split(QChar(12));
    if (!result.Pages.isEmpty() && result.Pages.last().trimmed().isEmpty()) {
        result.Pages.removeLast();
    }
    result.Ok = true;
    return result;
}

} // namespace kvtest
