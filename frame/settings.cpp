#include "settings.h"

#include "decimalsep.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <limits>
#include <memory>

namespace {

const QString Organisation = QStringLiteral("VARNOK");

std::unique_ptr<QSettings> openSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\VARNOK"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, Organisation);
#endif
}

// Opens the key, creating it when it is missing; null when it cannot be
// opened.
std::unique_ptr<QSettings> openKey() {
    auto settings = openSettings();
#ifndef Q_OS_WIN
    // A configuration file only appears when something is written to it; the
    // key is created empty, as the registry would create it.
    const QString file = settings->fileName();
    if (!QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile create(file);
        if (!create.open(QIODevice::WriteOnly)) {
            return nullptr;
        }
    }
#endif
    if (settings->status() != QSettings::NoError) {
        return nullptr;
    }
    return settings;
}

// A stored value as a 32-bit integer; false when it is anything else.
bool toInteger32(const QVariant& value, qint64& result) {
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        result = value.toLongLong(&ok);
        break;
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong(&ok);
        ok = ok && u <= std::numeric_limits<quint32>::max();
        result = static_cast<qint64>(u);
        break;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        result = value.toString().trimmed().toLongLong(&ok, 10);
        break;
    default:
        return false;
    }
    return ok && result >= std::numeric_limits<qint32>::min() &&
           result <= static_cast<qint64>(std::numeric_limits<quint32>::max());
}

} // namespace

bool ReadVKRegKeyBool(const QString& Name, bool Default, bool& Exists) {
    Exists = false;
    const auto settings = openKey();
    if (!settings) {
        return Default;
    }
    if (!settings->contains(Name)) {
        return Default;
    }
    Exists = true;
    qint64 number = 0;
    if (!toInteger32(settings->value(Name), number)) {
        throw ERegistryException("Invalid data type for '" + Name.toStdString() + "'");
    }
    return number != 0;
}

QString DescribeVKRegKey(const QString& Name) {
    bool exists = false;
    const bool value = ReadVKRegKeyBool(Name, false, exists);
    const QString quoted = QLatin1Char('"') + Name + QLatin1Char('"');
    if (!exists) {
        return QStringLiteral("There is no VKRegKey setting for ") + quoted + QLatin1Char('.');
    }
    return QStringLiteral("VKRegKey setting for ") + quoted +
           (value ? QStringLiteral(" is true.") : QStringLiteral(" is false."));
}

QString VKRegKeyLocation() {
    const auto settings = openSettings();
    return QDir::toNativeSeparators(settings->fileName());
}

TStartupSettings ApplyStartupSettings(const QLocale& userLocale) {
    TStartupSettings result;
    const auto readSetting = [&result](const QString& name) {
        bool exists = false;
        try {
            return ReadVKRegKeyBool(name, false, exists);
        } catch (const ERegistryException& e) {
            if (!result.Error.isEmpty()) {
                result.Error += QStringLiteral("\r\n");
            }
            result.Error += QString::fromStdString(e.message());
            return false;
        }
    };
    result.ForceDecimalPoint = readSetting(QStringLiteral("ForceDecimalPoint"));
    result.FlashTaskBar = readSetting(QStringLiteral("FlashTaskBar"));

    // Qt cannot change one separator of a locale, so a forced point takes the
    // neutral "C" locale, whose decimal separator is '.', for everything that
    // formats or parses numbers through the default locale.
    kv::SetForceDecimalPoint(result.ForceDecimalPoint);
    if (result.ForceDecimalPoint && userLocale.decimalPoint() != QStringLiteral(".")) {
        QLocale::setDefault(QLocale::c());
    } else {
        QLocale::setDefault(userLocale);
    }
    return result;
}
