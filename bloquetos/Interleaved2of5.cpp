#include "Interleaved2of5.h"

#include "KvError.h"

namespace {
// Wide elements of each digit's five, one bit per element from the left.
constexpr bool kWide[10][5] = {
    {false, false, true, true, false}, {true, false, false, false, true},
    {false, true, false, false, true}, {true, true, false, false, false},
    {false, false, true, false, true}, {true, false, true, false, false},
    {false, true, true, false, false}, {false, false, false, true, true},
    {true, false, false, true, false}, {false, true, false, true, false},
};

int digitValue(QChar c)
{
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        throw KvConversionError(QStringLiteral("'%1' is not a valid integer value").arg(c));
    return c.unicode() - '0';
}
} // namespace

QList<Interleaved2of5::Bar> Interleaved2of5::bars(const QString& digits, int narrow, int ratio)
{
    const int wide = narrow * ratio;
    const qsizetype pairs = digits.size() / 2;
    QList<Bar> out;
    out.reserve(pairs * 5 + 3);
    int x = 0;
    auto bar = [&](int width) {
        out.append({x, width});
        x += width;
    };
    auto space = [&](int width) { x += width; };

    bar(narrow); // start: narrow bar, space, bar, space
    space(narrow);
    bar(narrow);
    space(narrow);
    for (qsizetype p = 0; p < pairs; ++p) {
        const int first = digitValue(digits.at(2 * p));
        const int second = digitValue(digits.at(2 * p + 1));
        for (int e = 0; e < 5; ++e) {
            bar(kWide[first][e] ? wide : narrow);
            space(kWide[second][e] ? wide : narrow);
        }
    }
    bar(wide); // stop: wide bar, narrow space, narrow bar
    space(narrow);
    bar(narrow);
    return out;
}

int Interleaved2of5::symbolWidth(qsizetype digitCount, int narrow, int ratio)
{
    const int perPair = 2 * (3 * narrow + 2 * narrow * ratio);
    return int(digitCount / 2) * perPair + 4 * narrow + narrow * ratio + 2 * narrow;
}
