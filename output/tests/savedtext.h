// Reading back what Save and Print wrote: the fields of a saved line and the
// lines of a printout, for the text-table tests and the output commands' tests.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace kvtest {

// Splits a saved line into fields, each closed by the separator; a field
// holding the separator is wrapped in double quotes.
inline QStringList Fields(const QString& line, QChar sep) {
    QStringList fields;
    qsizetype i = 0;
    while (i < line.size()) {
        const bool quoted = line[i] == QLatin1Char('"');
        const QString closing = quoted ? QStringLiteral("\"") + sep : QString(sep);
        const qsizetype end = line.indexOf(closing, quoted ? i + 1 : i);
        if (end < 0) {
            return fields << QStringLiteral("<field without closing separator>");
        }
        fields << (quoted ? line.mid(i + 1, end - i - 1) : line.mid(i, end - i));
        i = end + closing.size();
    }
    return fields;
}

// The non-empty lines of a text with their blanks collapsed.
inline QStringList Words(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r?\n")))) {
        const QString s = line.simplified();
        if (!s.isEmpty()) {
            lines << s;
        }
    }
    return lines;
}

} // namespace kvtest
