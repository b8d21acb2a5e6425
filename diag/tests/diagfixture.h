// Helpers shared by the diagnostics tests: the lines of one report section,
// and files and small shell scripts written for a test.
#pragma once

#include "../../frame/tests/framefixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// The lines of report section number section, without its title and without
// the empty lines that close it.
inline QStringList SectionLines(const QStringList& report, int section) {
    const QString head = QStringLiteral("SECTION %1: ").arg(section);
    const QString next = QStringLiteral("SECTION %1: ").arg(section + 1);
    QStringList lines;
    bool in = false;
    for (const QString& line : report) {
        if (line.startsWith(head)) {
            in = true;
        } else if (line.startsWith(next)) {
            break;
        } else if (in) {
            lines << line;
        }
    }
    while (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// Writes bytes to path, creating its folder, as a plain file that only its
// owner may read and write (also where a program of that name was before);
// true when all was written.
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            return false;
        }
    }
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Writes text to path as a program that its owner may run.
inline bool WriteScript(const QString& path, const QByteArray& text) {
    return WriteFile(path, text) &&
           QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
}
