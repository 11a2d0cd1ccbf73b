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

QList<QRectF> PixQrCode::squares(double side) const
{
    QList<QRectF> out;
    if (isEmpty())
        return out;
    const double module = side / (m_size + 2 * kQuietZone);
    // Edges from whole module counts, so that neighbouring marks share their edges exactly.
    const auto edge = [&](int k) { return (k + kQuietZone) * module; };
    // Runs of dark modules in a row; a run repeated exactly in the rows below grows into
    // one taller rectangle (the finder patterns' sides, the timing patterns' neighbours).
    struct Run {
        int x0, x1, y0;
    };
    std::vector<Run> open;
    std::vector<Run> next;
    const auto close = [&](const Run& r, int y1) {
        out.append(QRectF(QPointF(edge(r.x0), edge(r.y0)), QPointF(edge(r.x1), edge(y1))));
    };
    for (int y = 0; y <= m_size; ++y) {
        next.clear();
        size_t o = 0;
        int x = 0;
        while (y < m_size && x < m_size) {
            if (!dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < m_size && dark(x, y))
                ++x;
            while (o < open.size() && open[o].x0 < start)
                close(open[o++], y);
            if (o < open.size() && open[o].x0 == start && open[o].x1 == x) {
                next.push_back(open[o++]);
            } else {
                next.push_back({start, x, y});
            }
        }
        while (o < open.size())
            close(open[o++], y);
        open.swap(next);
    }
    return out;
}
