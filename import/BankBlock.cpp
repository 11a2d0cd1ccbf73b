#include "BankBlock.h"

#include "Cp1252.h"

QString BankBlock::text(int first, int last) const
{
    return Cp1252::decode(m_bytes.data() + first - 1, last - first + 1);
}
