#include "TRpBand.h"

TRpElement* TRpBand::find(const QString& name) const
{
    for (const auto& e : elements) {
        if (e->Name.compare(name, Qt::CaseInsensitive) == 0)
            return e.get();
    }
    return nullptr;
}
