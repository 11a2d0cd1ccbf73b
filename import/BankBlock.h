#pragma once

#include "BankLayout.h"

#include <QByteArrayView>
#include <QString>
#include <array>

// One block of the bank file: 400 characters of record and the two-byte line end, which
// is never looked at. Its fields are read by the columns of BankLayout.
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

    char type() const { return at(BankLayout::kType); }
    // The one character of a one-column field.
    char at(BankLayout::Field field) const { return m_bytes[field.first - 1]; }
    QByteArrayView columns(BankLayout::Field field) const
    {
        return QByteArrayView(m_bytes.data() + field.first - 1, field.width());
    }
    bool columnsAre(BankLayout::Field field, QByteArrayView text) const
    {
        return columns(field) == text;
    }
    // The field as text, Windows-1252 decoded, blanks kept.
    QString text(BankLayout::Field field) const;

private:
    std::array<char, kSize> m_bytes;
};
