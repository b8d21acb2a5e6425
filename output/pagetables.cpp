#include "pagetables.h"

#include "celltext.h"

namespace kv {

TPageTable BaseDataPageTable(const TExperiment& E) {
    return {DataRows + 1, DataCols + 1,
            [&E](int r, int c) { return DataCellText(E.BaseData, r, c); },
            QStringLiteral("Base Data")};
}

TPageTable TableauPageTable(const TExperiment& E) {
    return {NumEqs + 1, NumVars + 1,
            [&E](int r, int c) { return TableauCellText(E.Tableau, r, c); },
            QStringLiteral("Coefficient Matrix")};
}

TPageTable ResultsPageTable(const TExperiment& E) {
    return {NumVars + 1, E.Solutions.Count + 1,
            [&E](int r, int k) { return ResultsCellText(E.Solutions, r, k); },
            QStringLiteral("Simulation Results")};
}

TPageTable UpdatedDataPageTable(const TExperiment& E) {
    return {DataRows + 1, DataCols + 1,
            [&E](int r, int c) { return DataCellText(E.NewData, r, c); },
            QStringLiteral("Updated Data")};
}

bool MakePageSimTab(TSimTab& T, const TPageTable& page, QString& Msg) {
    return MakeSimTabFromRule(T, page.Rows, page.Cols, page.CellRule, Msg);
}

namespace {
// The locale's long time format without its time-zone part: Qt's long format
// appends the zone ("14:05:07 UTC"), which a printout header does not show.
QString LongTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar ch : format) {
        if (ch == QLatin1Char('\'')) {
            quoted = !quoted;
        }
        if (!quoted && ch == QLatin1Char('t')) {
            continue;
        }
        result += ch;
    }
    return result.simplified();
}
} // namespace

QString PrintoutHeader(const QDateTime& now, const QLocale& locale) {
    QString text =
        QStringLiteral("WinVELMAR Printout: ") + locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() != QTime(0, 0)) {
        text += QLatin1Char(' ') + locale.toString(now.time(), LongTimeFormatWithoutZone(locale));
    }
    return text;
}

} // namespace kv
