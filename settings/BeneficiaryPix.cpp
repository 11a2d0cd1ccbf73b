#include "BeneficiaryPix.h"

#include "IniFile.h"

namespace {
QString chaveKey()
{
    return QStringLiteral("ChavePix");
}
QString cidadeKey()
{
    return QStringLiteral("CidadePix");
}
} // namespace

BeneficiaryPix BeneficiaryPix::read(const QString& beneficiary)
{
    const IniFile ini = KvSettings::file();
    return {ini.readString(beneficiary, chaveKey()), ini.readString(beneficiary, cidadeKey())};
}

void BeneficiaryPix::write(const QString& beneficiary) const
{
    const IniFile ini = KvSettings::file();
    ini.writeString(beneficiary, chaveKey(), chave);
    ini.writeString(beneficiary, cidadeKey(), cidade);
}
