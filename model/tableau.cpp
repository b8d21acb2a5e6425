#include "tableau.h"

#include "errors.h"

namespace kv {

namespace {
// Column of each variable in the tableau (its index in VarName).
enum : Variable {
    x11_3 = 1,
    x12_3,
    x21_3,
    x22_3,
    c_,
    p11,
    p12,
    p21,
    p22,
    ps11,
    ps21,
    ps12,
    ps22,
    x11_4,
    x21_4,
    f11_4,
    f21_4,
    z1,
    z2,
    y11_1,
    y21_1,
    y11_2,
    y21_2,
    x11_1,
    x12_1,
    x21_1,
    x22_1,
    x31_1,
    x32_1,
    x11_2,
    x12_2,
    x21_2,
    x22_2,
    x31_2,
    x32_2,
    p31,
    p32_1,
    p32_2,
    phi,
    v1,
    v2,
    t1,
    t2,
    l_,
    k1,
    k2,
    m_,
    e_,
    delB,
    cpi,
    f31,
    cR
};
static_assert(cR == NumVars);
} // namespace

double SafeRatio(double num, double den, double dflt) {
    if (den == 0.0) {
        return dflt;
    }
    return CheckedDiv(num, den);
}

void BuildTableau(const Data_Real& D, Tableau_Real& M) {
    M.Cells.fill(0.0);

    const double H = D(7, 3);
    const double S11 = SafeRatio(D(1, 3), H, 0.25);
    const double S21 = SafeRatio(D(2, 3), H, 0.25);
    const double S12 = SafeRatio(D(3, 3), H, 0.25);
    const double S22 = 1 - S11 - S21 - S12;
    const double sd1 = SafeRatio(D(1, 3), D(1, 3) + D(3, 3), 0.5);
    const double si1 = SafeRatio(D(3, 3), D(1, 3) + D(3, 3), 0.5);
    const double sd2 = SafeRatio(D(2, 3), D(2, 3) + D(4, 3), 0.5);
    const double si2 = SafeRatio(D(4, 3), D(2, 3) + D(4, 3), 0.5);
    const double r1 = SafeRatio(1, D(10, 4), 1000);
    const double r2 = SafeRatio(1, D(11, 4), 1000);
    const double q1 = SafeRatio(D(9, 1), D(7, 1), 0.5);
    const double q2 = SafeRatio(D(9, 2), D(7, 2), 0.5);
    const double a11 = CheckedDiv(D(3, 1), D(3, 1) + D(1, 1));
    const double a21 = CheckedDiv(D(4, 1), D(4, 1) + D(2, 1));
    const double a12 = CheckedDiv(D(3, 2), D(3, 2) + D(1, 2));
    const double a22 = CheckedDiv(D(4, 2), D(4, 2) + D(2, 2));
    const double b1 = SafeRatio(D(6, 1), D(5, 1) + D(6, 1), 0.5);
    const double b2 = SafeRatio(D(6, 2), D(5, 2) + D(6, 2), 0.5);
    const double T1 = D(7, 1);
    const double T2 = D(7, 2);
    const double R1 = D(1, 6);
    const double R2 = D(2, 6);
    const double g1 = SafeRatio(D(8, 1), R1, 0.5);
    const double g2 = SafeRatio(D(9, 1), R2, 0.5);
    const double h = SafeRatio(D(5, 1), D(5, 1) + D(5, 2), 0.5);
    const double MT = D(3, 6) + D(4, 6);
    const double u1 = D(3, 6) - D(3, 5);
    const double u2 = D(4, 6) - D(4, 5);
    const double E1 = D(1, 4) + D(10, 1);
    const double E2 = D(2, 4) + D(11, 1);
    const double ET = E1 + E2;

    // Household demands.
    M(1, x11_3) = 1;
    M(1, c_) = -1;
    M(1, p11) = 1 + S11 - sd1;
    M(1, p12) = S12 - si1;
    M(1, p21) = S21;
    M(1, p22) = S22;

    M(2, x12_3) = 1;
    M(2, c_) = -1;
    M(2, p11) = S11 - sd1;
    M(2, p12) = 1 + S12 - si1;
    M(2, p21) = S21;
    M(2, p22) = S22;

    M(3, x21_3) = 1;
    M(3, c_) = -1;
    M(3, p11) = S11;
    M(3, p12) = S12;
    M(3, p21) = 1 + S21 - sd2;
    M(3, p22) = S22 - si2;

    M(4, x22_3) = 1;
    M(4, c_) = -1;
    M(4, p11) = S11;
    M(4, p12) = S12;
    M(4, p21) = S21 - sd2;
    M(4, p22) = 1 + S22 - si2;

    // Export demands.
    M(5, ps11) = 1;
    M(5, f11_4) = -1;
    M(5, x11_4) = r1;

    M(6, ps21) = 1;
    M(6, f21_4) = -1;
    M(6, x21_4) = r2;

    // Split of each industry's output between the two goods.
    M(7, y11_1) = 1;
    M(7, z1) = -1;
    M(7, p11) = -q1;
    M(7, p21) = q1;

    M(8, y21_1) = 1;
    M(8, z1) = -1;
    M(8, p11) = 1 - q1;
    M(8, p21) = -(1 - q1);

    M(9, y11_2) = 1;
    M(9, z2) = -1;
    M(9, p11) = -q2;
    M(9, p21) = q2;

    M(10, y21_2) = 1;
    M(10, z2) = -1;
    M(10, p11) = 1 - q2;
    M(10, p21) = -(1 - q2);

    // Input demands of industry 1.
    M(11, x11_1) = 1;
    M(11, z1) = -1;
    M(11, p11) = a11;
    M(11, p12) = -a11;

    M(12, x12_1) = 1;
    M(12, z1) = -1;
    M(12, p11) = -(1 - a11);
    M(12, p12) = 1 - a11;

    M(13, x21_1) = 1;
    M(13, z1) = -1;
    M(13, p21) = a21;
    M(13, p22) = -a21;

    M(14, x22_1) = 1;
    M(14, z1) = -1;
    M(14, p21) = -(1 - a21);
    M(14, p22) = 1 - a21;

    M(15, x31_1) = 1;
    M(15, z1) = -1;
    M(15, p31) = b1;
    M(15, p32_1) = -b1;

    M(16, x32_1) = 1;
    M(16, z1) = -1;
    M(16, p31) = -(1 - b1);
    M(16, p32_1) = 1 - b1;

    // Input demands of industry 2.
    M(17, x11_2) = 1;
    M(17, z2) = -1;
    M(17, p11) = a12;
    M(17, p12) = -a12;

    M(18, x12_2) = 1;
    M(18, z2) = -1;
    M(18, p11) = -(1 - a12);
    M(18, p12) = 1 - a12;

    M(19, x21_2) = 1;
    M(19, z2) = -1;
    M(19, p21) = a22;
    M(19, p22) = -a22;

    M(20, x22_2) = 1;
    M(20, z2) = -1;
    M(20, p21) = -(1 - a22);
    M(20, p22) = 1 - a22;

    M(21, x31_2) = 1;
    M(21, z2) = -1;
    M(21, p31) = b2;
    M(21, p32_2) = -b2;

    M(22, x32_2) = 1;
    M(22, z2) = -1;
    M(22, p31) = -(1 - b2);
    M(22, p32_2) = 1 - b2;

    // Zero pure profits.
    M(23, p11) = CheckedDiv(D(8, 1) - D(1, 1), T1);
    M(23, p12) = CheckedDiv(-D(3, 1), T1);
    M(23, p21) = CheckedDiv(D(9, 1) - D(2, 1), T1);
    M(23, p22) = CheckedDiv(-D(4, 1), T1);
    M(23, p31) = CheckedDiv(-D(5, 1), T1);
    M(23, p32_1) = CheckedDiv(-D(6, 1), T1);

    M(24, p11) = CheckedDiv(D(8, 2) - D(1, 2), T2);
    M(24, p12) = CheckedDiv(-D(3, 2), T2);
    M(24, p21) = CheckedDiv(D(9, 2) - D(2, 2), T2);
    M(24, p22) = CheckedDiv(-D(4, 2), T2);
    M(24, p31) = CheckedDiv(-D(5, 2), T2);
    M(24, p32_2) = CheckedDiv(-D(6, 2), T2);

    // Foreign and domestic prices.
    M(25, ps11) = 1;
    M(25, phi) = 1;
    M(25, v1) = 1;
    M(25, p11) = -1;

    M(26, ps21) = 1;
    M(26, phi) = 1;
    M(26, v2) = 1;
    M(26, p21) = -1;

    M(27, ps12) = 1;
    M(27, phi) = 1;
    M(27, t1) = 1;
    M(27, p12) = -1;

    M(28, ps22) = 1;
    M(28, phi) = 1;
    M(28, t2) = 1;
    M(28, p22) = -1;

    // Market clearing for the domestic goods.
    M(29, x11_3) = CheckedDiv(-D(1, 3), R1);
    M(29, x11_4) = CheckedDiv(-D(1, 4), R1);
    M(29, y11_1) = g1;
    M(29, y11_2) = 1 - g1;
    M(29, x11_1) = CheckedDiv(-D(1, 1), R1);
    M(29, x11_2) = CheckedDiv(-D(1, 2), R1);

    M(30, x21_3) = CheckedDiv(-D(2, 3), R2);
    M(30, x21_4) = CheckedDiv(-D(2, 4), R2);
    M(30, y21_1) = g2;
    M(30, y21_2) = 1 - g2;
    M(30, x21_1) = CheckedDiv(-D(2, 1), R2);
    M(30, x21_2) = CheckedDiv(-D(2, 2), R2);

    // Employment and capital supply.
    M(31, x31_1) = h;
    M(31, x31_2) = 1 - h;
    M(31, l_) = -1;

    M(32, x32_1) = 1;
    M(32, k1) = -1;

    M(33, x32_2) = 1;
    M(33, k2) = -1;

    // Aggregate imports and exports in foreign currency.
    const double share1 = CheckedDiv(D(3, 6), MT);
    const double share2 = CheckedDiv(D(4, 6), MT);
    M(34, m_) = 1;
    M(34, ps12) = CheckedDiv(-D(3, 6), MT);
    M(34, ps22) = CheckedDiv(-D(4, 6), MT);
    M(34, x12_1) = -CheckedResult(share1 * CheckedDiv(D(3, 1), u1));
    M(34, x12_2) = -CheckedResult(share1 * CheckedDiv(D(3, 2), u1));
    M(34, x12_3) = -CheckedResult(share1 * CheckedDiv(D(3, 3), u1));
    M(34, x22_1) = -CheckedResult(share2 * CheckedDiv(D(4, 1), u2));
    M(34, x22_2) = -CheckedResult(share2 * CheckedDiv(D(4, 2), u2));
    M(34, x22_3) = -CheckedResult(share2 * CheckedDiv(D(4, 3), u2));

    const double exportShare1 = CheckedDiv(-E1, ET);
    M(35, e_) = 1;
    M(35, ps11) = exportShare1;
    M(35, x11_4) = exportShare1;
    M(35, ps21) = -1 - exportShare1;
    M(35, x21_4) = -1 - exportShare1;

    // Balance of trade, in money units.
    M(36, delB) = 1;
    M(36, m_) = MT / 100;
    M(36, e_) = -ET / 100;

    // Consumer prices, wage indexation and real consumption.
    M(37, cpi) = 1;
    M(37, p11) = -S11;
    M(37, p12) = -S12;
    M(37, p21) = -S21;
    M(37, p22) = -S22;

    M(38, p31) = 1;
    M(38, cpi) = -1;
    M(38, f31) = -1;

    M(39, cR) = 1;
    M(39, cpi) = 1;
    M(39, c_) = -1;

    // Sums and differences of finite shares can still overflow with extreme data.
    for (double& v : M.Cells) {
        CheckedResult(v);
    }
}

} // namespace kv
