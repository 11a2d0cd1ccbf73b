#pragma once

#include <QByteArrayView>
#include <QString>

// The check value that closes every PIX payload: CRC-16/CCITT-FALSE (polynomial 0x1021,
// initial value 0xFFFF, no reflection, no final XOR), written as four upper-case hex digits.
namespace PixCrc {
quint16 compute(QByteArrayView bytes);
// The four hex digits of the CRC of the payload's UTF-8 bytes.
QString hex(QStringView text);
} // namespace PixCrc
