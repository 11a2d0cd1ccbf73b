#include "BlqTitle.h"

#include "Regional.h"

qint64 BlqTitle::cents(const std::optional<double>& amount)
{
    return Regional::toCents(amount.value_or(0.0));
}
