// The program's decimal separator, decided in one place: the user's locale,
// or a point when the "ForceDecimalPoint" setting asks for it. The CSV writer
// derives its field separator from it.
#pragma once

#include <QChar>

namespace kv {

// Set by the settings layer at start-up; false until then.
void SetForceDecimalPoint(bool force);
bool ForceDecimalPoint();

// The locale's decimal separator (of the default QLocale), or '.' when
// ForceDecimalPoint is set.
QChar ProgramDecimalSeparator();

// ';' where the program's decimal separator is a comma, ',' otherwise.
QChar CsvSeparator();

} // namespace kv
