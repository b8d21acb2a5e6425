#include "fontnames.h"

#include <QApplication>
#include <QFontDatabase>

QString FirstInstalledFont(const QStringList& wanted, const QStringList& installed,
                           const QString& fallback) {
    for (const QString& name : wanted) {
        for (const QString& family : installed) {
            if (family.compare(name, Qt::CaseInsensitive) == 0) {
                return family;
            }
        }
    }
    return fallback;
}

QString MenuFontName() {
    return QApplication::font("QMenu").family();
}

QString UIFontName() {
    return FirstInstalledFont(
        {QStringLiteral("Segoe UI"), QStringLiteral("Arial"), QStringLiteral("Calibri")},
        QFontDatabase::families(), MenuFontName());
}

QString FixedFontName() {
    return FirstInstalledFont({QStringLiteral("Consolas"), QStringLiteral("Courier New")},
                              QFontDatabase::families(), MenuFontName());
}
