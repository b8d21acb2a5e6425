#include "decimalsep.h"

#include <QLocale>
#include <QString>

#include <atomic>

namespace kv {

namespace {
std::atomic<bool> forceDecimalPoint{false};
} // namespace

void SetForceDecimalPoint(bool force) {
    forceDecimalPoint.store(force);
}

bool ForceDecimalPoint() {
    return forceDecimalPoint.load();
}

QChar ProgramDecimalSeparator() {
    if (ForceDecimalPoint()) {
        return QLatin1Char('.');
    }
    // Qt 6 gives the separator as a string (it may be more than one code unit
    // in a few locales); only its first character can be a comma.
    const QString sep = QLocale().decimalPoint();
    return sep.isEmpty() ? QLatin1Char('.') : sep.front();
}

QChar CsvSeparator() {
    return ProgramDecimalSeparator() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace kv
