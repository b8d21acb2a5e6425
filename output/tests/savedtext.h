// Reading back what Save and Print wrote: the fields of a saved line and the
// lines of a printout, for the text-table tests and the output commands' tests.
#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace kvtest {

// Splits a saved line into fields, each closed by the separator; a quoted
// field runs to the quote before a separator, and a doubled quote inside it
// stands for one quote.
inline QStringList Fields(const QString& line, QChar sep) {
    QStringList fields;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i] != QLatin1Char('"')) {
            const qsizetype end = line.indexOf(sep, i);
            if (end < 0) {
                return fields << QStringLiteral("<field without closing separator>");
            }
            fields << line.mid(i, end - i);
            i = end + 1;
            continue;
        }
        QString field;
        qsizetype j = i + 1;
        for (;; ++j) {
            if (j >= line.size()) {
                return fields << QStringLiteral("<quoted field without closing quote>");
            }
            if (line[j] == QLatin1Char('"')) {
                if (j + 1 < line.size() && line[j + 1] == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++j;
                    continue;
                }
                break;
            }
            field += line[j];
        }
        if (j + 1 >= line.size() || line[j + 1] != sep) {
            return fields << QStringLiteral("<quoted field without closing separator>");
        }
        fields << field;
        i = j + 2;
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
