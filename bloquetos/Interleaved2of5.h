#pragma once

#include <QList>
#include <QString>

// The Interleaved 2 of 5 symbol of a string of digits, as the bars to fill. Widths are in
// micrometres so that the narrow bar (0.254 mm, three dots at 300 dpi) keeps its exact
// width and the wide-to-narrow ratio stays true on any device.
class Interleaved2of5 {
public:
    struct Bar {
        int x;     // micrometres from the left edge of the start pattern
        int width; // micrometres
        bool operator==(const Bar&) const = default;
    };

    static constexpr int kNarrow = 254; // micrometres
    static constexpr int kRatio = 3;    // wide = 3 x narrow
    static constexpr int kLightMargin = 10 * kNarrow;

    // The bars of the start pattern, of every pair of digits (first digit in the bars,
    // second in the spaces) and of the stop pattern. An odd last digit is dropped; a
    // character that is not a digit raises KvConversionError.
    static QList<Bar> bars(const QString& digits, int narrow = kNarrow, int ratio = kRatio);
    // Width from the first bar to the end of the last, without the light margins.
    static int symbolWidth(qsizetype digitCount, int narrow = kNarrow, int ratio = kRatio);
};
