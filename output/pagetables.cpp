#include "pagetables.h"

#include "celltext.h"

namespace kv {

TPageTable BaseDataPageTable(const TExperiment& E) {
    return {DataRows + 1,
            DataCols + 1,
            [&E](int r, int c) { return DataCellText(E.BaseData, r, c); },
            QStringLiteral("Base Data"),
            0,
            0,
            [](int r, int c) {
                const bool entered =
                    r >= 1 && r <= DataRows && c >= 1 && c <= DataCols && EditMask(r, c);
                return entered ? TCellRole::Entry : TCellRole::Number;
            }};
}

TPageTable TableauPageTable(const TExperiment& E) {
    return {NumEqs + 1,
            NumVars + 1,
            [&E](int r, int c) { return TableauCellText(E.Tableau, r, c); },
            QStringLiteral("Coefficient Matrix"),
            1,
            1,
            {}};
}

TPageTable ShocksPageTable(const TExperiment& E) {
    return {NumExo + 1,
            2,
            [&E](int r, int c) { return ShocksCellText(E.Closure, E.ShockVec, r, c); },
            QString(),
            1,
            1,
            [](int r, int c) { return c == 1 && r >= 1 ? TCellRole::Entry : TCellRole::Name; }};
}

TPageTable ResultsPageTable(const TExperiment& E) {
    return {NumVars + 1,
            E.Solutions.Count + 1,
            [&E](int r, int k) { return ResultsCellText(E.Solutions, r, k); },
            QStringLiteral("Simulation Results"),
            1,
            E.Solutions.Count > 0 ? 1 : 0,
            [](int r, int k) { return k == 0 && r > 0 ? TCellRole::Name : TCellRole::Title; }};
}

TPageTable UpdatedDataPageTable(const TExperiment& E) {
    return {DataRows + 1,
            DataCols + 1,
            [&E](int r, int c) { return DataCellText(E.NewData, r, c); },
            QStringLiteral("Updated Data"),
            0,
            0,
            {}};
}

namespace {

QString Name(Variable v) {
    return QString::fromStdString(VarName(v));
}

// The variable column of the explanation tables, as on the Results page.
QString VariableCell(int r) {
    return r == 0 ? QStringLiteral("Variable ") : VariableLabel(r);
}

TCellRole ExplanationRole(int r, int c) {
    return c == 0 && r > 0 ? TCellRole::Name : TCellRole::Number;
}

} // namespace

TPageTable DecompositionTable(const TSolution& sol) {
    std::vector<Variable> shocked;
    for (Variable j : sol.Inputs.ExoList) {
        if (j >= 1 && j <= NumVars && sol.Inputs.Shocks(j) != 0) {
            shocked.push_back(j);
        }
    }
    const int total = static_cast<int>(shocked.size()) + 1;
    auto rule = [shocked, total, d = sol.Decomposition, result = sol.SolValue](int r, int c) {
        if (r < 0 || r > NumVars || c < 0 || c > total) {
            return QStringLiteral(" ");
        }
        if (c == 0) {
            return VariableCell(r);
        }
        if (r == 0) {
            return c == total ? QStringLiteral("Total")
                              : Name(shocked[static_cast<std::size_t>(c - 1)]);
        }
        if (c == total) {
            return FormatReal(result(r), 0, 4);
        }
        return d ? FormatReal((*d)(r, shocked[static_cast<std::size_t>(c - 1)]), 0, 4)
                 : QStringLiteral(" ");
    };
    return {NumVars + 1,
            total + 1,
            rule,
            QStringLiteral("contributions to ") + QString::fromStdString(sol.Soltitle),
            1,
            1,
            ExplanationRole};
}

TPageTable ConvergenceTable(const TSolution& sol, const TConvergence& conv) {
    constexpr int first248 = ConvergenceRuns + 1;
    constexpr int figures = ConvergenceRuns + 3;
    const std::optional<Variable_Real> error = EstimatedError(conv, sol.Method);
    auto rule = [conv, error, result = sol.SolValue](int r, int c) {
        if (r < 0 || r > NumVars || c < 0 || c > figures) {
            return QStringLiteral(" ");
        }
        if (c == 0) {
            return VariableCell(r);
        }
        if (r == 0) {
            if (c < first248) {
                return QStringLiteral("Euler %1").arg(ConvergenceSteps(c));
            }
            if (c == first248) {
                return QStringLiteral("2-4-8");
            }
            if (c == first248 + 1) {
                return QStringLiteral("8-16-32");
            }
            return QStringLiteral("Figures");
        }
        const std::optional<Variable_Real>* run = c < first248        ? &conv.Euler(c)
                                                  : c == first248     ? &conv.Extrapolation248
                                                  : c == first248 + 1 ? &conv.Extrapolation81632
                                                                      : nullptr;
        if (run) {
            return *run ? FormatReal((**run)(r), 0, 6) : QStringLiteral("failed");
        }
        return error ? QString::number(AccurateFigures(result(r), (*error)(r)))
                     : QStringLiteral("-");
    };
    return {NumVars + 1,
            figures + 1,
            rule,
            QStringLiteral("convergence of ") + QString::fromStdString(sol.Soltitle) +
                QStringLiteral(" (") + QString::fromStdString(MethodCaption(sol.Method)) +
                QLatin1Char(')'),
            1,
            1,
            ExplanationRole};
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
