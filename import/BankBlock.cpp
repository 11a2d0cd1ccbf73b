#include "BankBlock.h"

#include "Cp1252.h"

QString BankBlock::text(BankLayout::Field field) const
{
    return Cp1252::decode(m_bytes.data() + field.first - 1, field.width());
}
