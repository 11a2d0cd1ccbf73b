#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>

// One block of the bank file: 400 characters of record and the two-byte line end, which
// is never looked at. Columns are numbered from 1 as the bank's layout numbers them.
//
// The buffer outlives each read on purpose: a final block shorter than 402 bytes is
// handled with the tail of the block before it still in place, as these files have
// always been read.
class BankBlock {
public:
    static constexpr qsizetype kSize = 402;

    BankBlock() { m_bytes.fill('\0'); }

    char* data() { return m_bytes.data(); }
    const char* data() const { return m_bytes.data(); }

    char type() const { return m_bytes[0]; }
    char at(int column) const { return m_bytes[column - 1]; }
    // Columns first to last, inclusive.
    QByteArrayView columns(int first, int last) const
    {
        return QByteArrayView(m_bytes.data() + first - 1, last - first + 1);
    }
    bool columnsAre(int first, int last, QByteArrayView text) const
    {
        return columns(first, last) == text;
    }
    // The columns as text, Windows-1252 decoded, blanks kept.
    QString text(int first, int last) const;

private:
    std::array<char, kSize> m_bytes;
};
