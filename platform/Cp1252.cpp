#include "Cp1252.h"

#include <array>
#include <cstring>

namespace {
// 0x80..0x9F; 0 marks the unassigned positions (decoded as the control of the same value).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Whether any byte is in 0x80-0x9F (high bit set, the next two clear), eight at a time.
bool hasC1Bytes(const char* data, qsizetype size)
{
    constexpr quint64 high = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 v;
        std::memcpy(&v, data + i, 8);
        if (v & ~(v << 1) & ~(v << 2) & high)
            return true;
    }
    for (; i < size; ++i) {
        if ((static_cast<unsigned char>(data[i]) & 0xE0) == 0x80)
            return true;
    }
    return false;
}
} // namespace

QString Cp1252::decode(const char* data, qsizetype size)
{
    // Text without bytes 0x80-0x9F reads as Latin-1, which Qt widens many bytes at a time;
    // bank files are decoded field by field, and almost every field is such text.
    if (!hasC1Bytes(data, size))
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            c = kHigh[b - 0x80];
        dst[i] = QChar(c);
    }
    return out;
}

char Cp1252::encodeChar(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c && c != 0)
            return static_cast<char>(0x80 + i);
    }
    if (c >= 0x80 && c < 0xA0)
        return static_cast<char>(c); // unassigned controls round-trip
    return '?';
}

QByteArray Cp1252::encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeChar(text[i]);
    return out;
}
