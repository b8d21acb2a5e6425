// Small file helpers shared by the fact gatherers of the diagnostics report
// and the platform probes.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace DiagFiles {

// A path as the report shows it: with the system's own separators.
inline QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The whole text of a file in the system's 8-bit encoding; empty when it
// cannot be read.
inline QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLocal8Bit(file.readAll());
}

// The lines of a text, LF or CR LF ended; a final line break adds no line.
inline QStringList TextLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The folder of the running executable.
inline QString ExecutableFolder() {
    return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
}

} // namespace DiagFiles
