#include "BeneficiaryLogos.h"

#include "IniFile.h"

namespace {
QString reciboKey()
{
    return QStringLiteral("Recibo");
}
QString comprovanteKey()
{
    return QStringLiteral("Comprovante");
}
} // namespace

BeneficiaryLogos BeneficiaryLogos::read(const QString& beneficiary)
{
    const IniFile ini = KvSettings::file();
    return {ini.readString(beneficiary, reciboKey()),
            ini.readString(beneficiary, comprovanteKey())};
}

void BeneficiaryLogos::write(const QString& beneficiary) const
{
    const IniFile ini = KvSettings::file();
    ini.writeString(beneficiary, reciboKey(), recibo);
    ini.writeString(beneficiary, comprovanteKey(), comprovante);
}
