#include "PixQrCode.h"

#include "KvError.h"
#include "QrEncoder.h"

PixQrCode::PixQrCode(const QString& payload)
{
    if (payload.isEmpty())
        return;
    const QByteArray utf8 = payload.toUtf8();
    QrEncoder::Symbol symbol = QrEncoder::encode(utf8);
    if (symbol.size == 0)
        throw KvError(
            QStringLiteral("QR Code PIX longo demais (%1 caracteres)").arg(payload.size()));
    m_size = symbol.size;
    m_modules = std::move(symbol.dark);
}
