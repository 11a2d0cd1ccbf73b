#pragma once

// The beneficiaries the settings window's tests start from: rows of the titles table that
// only name the beneficiary, the window's choice of whose settings to edit.

#include "DbTable.h"

#include <QString>
#include <QStringList>

namespace BeneficiaryRows {
inline const QString kAcme = QStringLiteral("ACME LTDA");
inline const QString kBeta = QStringLiteral("BETA COMERCIO SA");

inline void addBeneficiaries(const QStringList& names)
{
    DbTable t;
    t.open();
    for (const QString& name : names) {
        t.append();
        t.setText(t.fieldIndex(QStringLiteral("BlqNomCed")), name);
        t.post();
    }
    t.close();
}
} // namespace BeneficiaryRows
