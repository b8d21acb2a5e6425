// Small builders shared by the text-table tests.
#pragma once

#include "simtab.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace kvtest {

using Rows = std::vector<QStringList>;

// A filled and measured table; every row must have the same number of cells.
inline kv::TSimTab MakeTable(const Rows& rows) {
    kv::TSimTab T;
    QString msg;
    const int nRow = static_cast<int>(rows.size()) - 1;
    const int nCol = rows.empty() ? -1 : static_cast<int>(rows.front().size()) - 1;
    EXPECT_TRUE(kv::InitSimTab(T, nRow, nCol, 1, 1, msg)) << msg.toStdString();
    for (int r = 0; r <= nRow; ++r) {
        for (int c = 0; c <= nCol; ++c) {
            EXPECT_TRUE(kv::SetSimTabString(T, r, c, rows[r][c], msg)) << msg.toStdString();
        }
    }
    kv::SetUpSimTab(T, msg);
    return T;
}

// A table of nRow + 1 rows and nCol + 1 columns whose cell (r, c) reads "r.c".
inline kv::TSimTab MakeNumberedTable(int nRow, int nCol) {
    Rows rows;
    for (int r = 0; r <= nRow; ++r) {
        QStringList row;
        for (int c = 0; c <= nCol; ++c) {
            row << QStringLiteral("%1.%2").arg(r).arg(c);
        }
        rows.push_back(row);
    }
    return MakeTable(rows);
}

// Sets the default locale for the lifetime of the object.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) : FOld(QLocale()) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(FOld); }

private:
    QLocale FOld;
};

inline std::string Str(const QString& s) {
    return s.toStdString();
}

} // namespace kvtest

#include "decimalsep.h"

namespace kvtest {

class ScopedForceDecimalPoint {
public:
    explicit ScopedForceDecimalPoint(bool force) : FOld(kv::ForceDecimalPoint()) {
        kv::SetForceDecimalPoint(force);
    }
    ~ScopedForceDecimalPoint() { kv::SetForceDecimalPoint(FOld); }

private:
    bool FOld;
};

} // namespace kvtest
