#pragma once

#include "RpElements.h"

#include <functional>
#include <memory>
#include <vector>

class TRpBand;

// Handler of a band's BeforePrint: runs with the current row in place, may change the
// band's elements; setting printBand false leaves the band out.
using RpBeforePrintHandler = std::function<void(TRpBand& sender, bool& printBand)>;

// A band of a report: a strip of the page holding elements, printed in the order listed.
class TRpBand {
public:
    QString Name;
    RpBandType BandType = RpBandType::Detail;
    double Height = 0; // tenths of a millimetre; the width is the page's between margins
    QColor Color = Qt::white;
    QString BeforePrintName; // handler bound by TRpReport::bindBeforePrint
    RpBeforePrintHandler BeforePrint;

    std::vector<std::unique_ptr<TRpElement>> elements;

    // The element of that name on this band, or nullptr.
    TRpElement* find(const QString& name) const;
};
