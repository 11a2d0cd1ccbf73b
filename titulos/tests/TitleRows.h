#pragma once

// The titles the tests of the titles' search start from, and the code each one's bloqueto
// carries, as the search window and the batch tool show it.

#include "BloquetoCode.h"
#include "BlqTitle.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"

#include <QList>

namespace TitleRows {
// Titles 1 to `count` of BlqTitles::numbered, on a store brought up to date; not stored yet.
inline QList<BlqTitle> numbered(int count)
{
    BlqUpgrade::upgradeIfNeeded();
    QList<BlqTitle> rows;
    for (int n = 1; n <= count; ++n)
        rows << BlqTitles::numbered(n);
    return rows;
}

// The code of the bloqueto of `t`: its bar code and its typeable line.
inline BloquetoCode codeOf(const BlqTitle& t)
{
    BloquetoCode::Input in;
    in.ageCod = t.ageCod;
    in.nosNum = t.nosNum;
    in.ctrCod = t.ctrCod;
    in.cents = BlqTitle::cents(t.titVal);
    in.datVen = t.datVen;
    return BloquetoCode::compose(in);
}
} // namespace TitleRows
