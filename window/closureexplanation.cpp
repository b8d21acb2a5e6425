#include "closureexplanation.h"

#include <QList>
#include <QStringList>

namespace {

QString Name(kv::Variable v) {
    return QString::fromStdString(kv::VarName(v));
}

// "a" or "any of a, b, c".
QString Choice(const QStringList& names) {
    return names.size() == 1 ? names[0]
                             : QStringLiteral("any of ") + names.join(QStringLiteral(", "));
}

// The curing exchanges under their heading, grouped; empty when there are none.
QString FixingExchangesText(const kv::TClosureCheck& check,
                            const std::optional<kv::TExchange>& lastExchange) {
    if (check.FixingExchanges.empty()) {
        return {};
    }
    // The partners of each variable that may leave the endogenous list, then
    // the variables with the same partners together.
    QList<kv::Variable> endos;
    QList<QStringList> partners;
    for (const kv::TExchange& x : check.FixingExchanges) {
        qsizetype at = endos.indexOf(x.Endogenous);
        if (at < 0) {
            endos << x.Endogenous;
            partners << QStringList();
            at = endos.size() - 1;
        }
        partners[at] << Name(x.Exogenous);
    }
    QList<QStringList> groupEndos;
    QList<QStringList> groupExos;
    for (qsizetype i = 0; i < endos.size(); ++i) {
        const qsizetype at = groupExos.indexOf(partners[i]);
        if (at < 0) {
            groupEndos << QStringList{Name(endos[i])};
            groupExos << partners[i];
        } else {
            groupEndos[at] << Name(endos[i]);
        }
    }
    QString text = check.Unreliable ? QStringLiteral("Exchanges that make the closure reliable:")
                                    : QStringLiteral("Exchanges that make the closure solvable:");
    const kv::TExchange& first = check.FixingExchanges.front();
    if (lastExchange && first.Endogenous == lastExchange->Exogenous &&
        first.Exogenous == lastExchange->Endogenous) {
        text += QStringLiteral("\r\n- ") + Name(first.Endogenous) + QStringLiteral(" and ") +
                Name(first.Exogenous) + QStringLiteral(" (undoes your last exchange)");
    }
    for (qsizetype g = 0; g < groupEndos.size(); ++g) {
        text += QStringLiteral("\r\n- ") + Choice(groupEndos[g]) +
                QStringLiteral(" (made exogenous) with ") + Choice(groupExos[g]) +
                QStringLiteral(" (made endogenous)");
    }
    return text;
}

} // namespace

QString ClosureExplanationText(const kv::TClosureCheck& check,
                               const std::optional<kv::TExchange>& lastExchange) {
    QString text = QString::fromStdString(check.Explanation);
    const QString exchanges = FixingExchangesText(check, lastExchange);
    if (!exchanges.isEmpty()) {
        text += QStringLiteral("\r\n\r\n") + exchanges;
    }
    return text;
}
