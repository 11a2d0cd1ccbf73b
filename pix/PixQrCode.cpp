#include "PixQrCode.h"

#include "KvError.h"

#include <qrcodegen.hpp>

using qrcodegen::QrCode;
using qrcodegen::QrSegment;

PixQrCode::PixQrCode(const QString& payload)
{
    if (payload.isEmpty())
        return;
    const QByteArray utf8 = payload.toUtf8();
    try {
        // Level M exactly: the library would otherwise raise the level where the version
        // has room to spare, and a page must show what it promises.
        const QrCode code =
            QrCode::encodeSegments(QrSegment::makeSegments(utf8.constData()), QrCode::Ecc::MEDIUM,
                                   QrCode::MIN_VERSION, QrCode::MAX_VERSION, -1, false);
        m_size = code.getSize();
        m_modules.resize(size_t(m_size) * size_t(m_size));
        for (int y = 0; y < m_size; ++y) {
            for (int x = 0; x < m_size; ++x)
                m_modules[size_t(y) * size_t(m_size) + size_t(x)] = code.getModule(x, y);
        }
    } catch (const qrcodegen::data_too_long&) {
        throw KvError(
            QStringLiteral("QR Code PIX longo demais (%1 caracteres)").arg(payload.size()));
    }
}

QList<QRectF> PixQrCode::squares(double side) const
{
    QList<QRectF> out;
    if (isEmpty())
        return out;
    const double module = side / (m_size + 2 * kQuietZone);
    // Edges from whole module counts, so adjacent rows share their edges exactly.
    const auto edge = [&](int k) { return (k + kQuietZone) * module; };
    for (int y = 0; y < m_size; ++y) {
        int x = 0;
        while (x < m_size) {
            if (!dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < m_size && dark(x, y))
                ++x;
            out.append(QRectF(QPointF(edge(start), edge(y)), QPointF(edge(x), edge(y + 1))));
        }
    }
    return out;
}
