#include "celltext.h"

#include "errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kv {

namespace {

constexpr int MaxDecimals = 100;

// Whether value lies exactly halfway between two numbers with `decimals`
// digits: value * 10^decimals has the fraction one half exactly when
// value * 2^(decimals + 1) is an odd integer (the power of five is odd).
bool IsExactHalf(double value, int decimals) {
    const double scaled = std::ldexp(std::fabs(value), decimals + 1);
    return std::isfinite(scaled) && std::fmod(scaled, 2.0) == 1.0;
}

QString Blank() {
    return QStringLiteral(" ");
}

QString FromStd(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QString FormatReal(double value, int width, int decimals) {
    if (std::isnan(value)) {
        throw EInvalidOp();
    }
    if (std::isinf(value)) {
        throw EOverflow();
    }
    decimals = std::clamp(decimals, 0, MaxDecimals);
    double v = value;
    if (IsExactHalf(v, decimals)) {
        // Step off the tie away from zero; the fixed-point conversion below is
        // exact, so the rounding then goes away from zero as well.
        v = std::nextafter(v, v > 0 ? std::numeric_limits<double>::infinity()
                                    : -std::numeric_limits<double>::infinity());
    }
    // Largest double: 309 digits before the point.
    std::string buf(static_cast<std::size_t>(320 + decimals), '\0');
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    if (!buf.empty() && buf.front() == '-' && buf.find_first_not_of("-0.") == std::string::npos) {
        buf.erase(0, 1); // -0.000 reads as 0.000
    }
    QString text = QString::fromLatin1(buf.data(), static_cast<qsizetype>(buf.size()));
    if (width > text.size()) {
        text.prepend(QString(width - text.size(), QLatin1Char(' ')));
    }
    return text;
}

QString FormatReal(float value, int width, int decimals) {
    return FormatReal(static_cast<double>(value), width, decimals);
}

QString VariableLabel(Variable v) {
    return FromStd(VarName(v)) + QStringLiteral("  ") + FromStd(VarDesc(v));
}

QString DataCellText(const Data_Real& D, int r, int c) {
    if (r < 0 || r > DataRows || c < 0 || c > DataCols) {
        return Blank();
    }
    if (r == 0 && c == 0) {
        return Blank();
    }
    if (r == 0) {
        return FromStd(ColLabel(c));
    }
    if (r == 10 && c == 3) {
        return QStringLiteral("Export");
    }
    if (r == 11 && c == 3) {
        return QStringLiteral("elasticities");
    }
    if (c == 0) {
        return FromStd(RowLabel(r));
    }
    if (ShowMask(r, c)) {
        return FormatReal(D(r, c), 0, 2);
    }
    return Blank();
}

QString TableauCellText(const Tableau_Real& M, int r, int c) {
    if (r < 0 || r > NumEqs || c < 0 || c > NumVars) {
        return Blank();
    }
    if (r == 0 && c == 0) {
        return Blank();
    }
    if (r == 0) {
        return FromStd(VarName(c));
    }
    if (c == 0) {
        return QString::number(r);
    }
    const double m = M(r, c);
    if (m != 0.0) {
        return FormatReal(m, 0, 3);
    }
    return Blank();
}

QString ResultsCellText(const TSolutionStore& S, int r, int k) {
    const int count = std::clamp(S.Count, 0, MaxSolutions);
    if (r < 0 || r > NumVars || k < 0) {
        return Blank();
    }
    if (r == 0 && k == 0) {
        return QStringLiteral("Variable ");
    }
    if (r == 0) {
        return k > count ? Blank() : FromStd(S.Items(k).Soltitle);
    }
    if (k == 0) {
        return VariableLabel(r);
    }
    if (k > count) {
        return Blank();
    }
    const TSolution& sol = S.Items(k);
    QString text = FormatReal(sol.SolValue(r), 0, 3);
    if (!sol.SolEndo(r)) {
        text.prepend(QLatin1Char('#'));
    }
    return text;
}

QString ShocksCellText(const TClosure& closure, const Variable_Real& shocks, int r, int c) {
    if (r == 0) {
        return c == 0 ? QStringLiteral("Exogenous Variable ") : QStringLiteral("Shock");
    }
    const int v = r >= 1 && r <= NumExo ? closure.ExoList(r) : 0;
    if (v == 0) {
        return QStringLiteral(" ");
    }
    if (c == 0) {
        return VariableLabel(v);
    }
    return FormatReal(shocks(v), 0, 2);
}

} // namespace kv
