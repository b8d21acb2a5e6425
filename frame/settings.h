// The per-user settings of the VARNOK suite ("VKRegKey" settings) and the
// settings the program makes at start-up.
//
// The settings live under the organisation "VARNOK" in the platform's native
// settings store: on Windows the registry key HKEY_CURRENT_USER\Software\VARNOK,
// elsewhere the per-user configuration file of that organisation. Each setting
// is a 32-bit integer; any non-zero value is true, a missing value is false.
#pragma once

#include "errors.h"

#include <QLocale>
#include <QString>

// A settings value that cannot be read as asked (a Boolean stored as anything
// but an integer).
class ERegistryException : public kv::Exception {
public:
    explicit ERegistryException(const std::string& message) : kv::Exception(message) {}
    const char* className() const noexcept override { return "ERegistryException"; }
};

// Reads a Boolean setting. Exists tells whether the value is stored; without
// it (or when the settings cannot be opened) the result is Default. Opening
// the settings creates the empty key when it is missing. A value that is not
// an integer raises ERegistryException.
bool ReadVKRegKeyBool(const QString& Name, bool Default, bool& Exists);

// One line on a setting, for the diagnostics report:
// VKRegKey setting for "Name" is true. / ... is false. /
// There is no VKRegKey setting for "Name".
QString DescribeVKRegKey(const QString& Name);

// Where the settings are kept (the configuration file, or the registry path).
QString VKRegKeyLocation();

struct TStartupSettings {
    bool ForceDecimalPoint = false;
    bool FlashTaskBar = false;
    QString Error; // why a setting could not be read; empty when all went well
};

// The start-up settings, made before the main window exists: the user's
// locale becomes the program's default locale, and "ForceDecimalPoint" makes
// '.' the program's decimal separator for locale-dependent formatting and
// parsing. A setting that cannot be read counts as false; the reason is
// returned so that the program can report it. "FlashTaskBar" is read for the
// diagnostics; the system settings it governs on Windows have no counterpart
// here.
TStartupSettings ApplyStartupSettings(const QLocale& userLocale = QLocale::system());
