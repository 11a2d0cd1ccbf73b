#include "TitleDetail.h"

#include "BeneficiaryPix.h"
#include "BloquetoCode.h"
#include "BloquetoPix.h"
#include "KvError.h"
#include "UpdatedValue.h"

TitleDetail TitleDetail::of(const BlqTitle& t, const QDate& today)
{
    TitleDetail d;
    if (!BlqTitle::isSet(t.regVal))
        return d;
    d.updatedValue = UpdatedValue::sentence(UpdatedValue::compute(t, today));
    // What would stop the printing of this page is told here instead of the codes.
    try {
        const BloquetoCode::Input in = BloquetoCode::inputOf(t);
        d.typeableLine = BloquetoCode::compose(in, today).typeableLine();

        const BeneficiaryPix settings = BeneficiaryPix::read(t.nomCed);
        d.pixPayload = BloquetoPix::payload(
            BloquetoPix::titleOf(t), BloquetoPix::checkedKey(t.nomCed, settings), settings.cidade);
    } catch (const KvError& e) {
        d.problem = e.message();
    }
    return d;
}
