#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <vector>

// A PIX payload as a QR code (byte mode, error correction level M, the smallest version
// the payload needs, one fixed mask: QrEncoder), and its dark modules as rectangles for a drawing
// element of the report engine: the page keeps it as vector marks, sharp at every resolution, never
// as a picture.
class PixQrCode {
public:
    // Modules of light margin around the symbol on every side (the standard's four).
    static constexpr int kQuietZone = 4;

    // Encodes the payload's UTF-8 bytes. An empty payload gives an empty code.
    explicit PixQrCode(const QString& payload);

    bool isEmpty() const { return m_size == 0; }
    int size() const { return m_size; } // modules a side, without the quiet zone
    bool dark(int x, int y) const { return m_modules[size_t(y) * size_t(m_size) + size_t(x)] != 0; }

    // The dark modules inside a square of `side` (any unit) whose edge is the outer edge
    // of the quiet zone, as rectangles that neither overlap nor leave a seam between
    // neighbours: a run of dark modules in a row is one, grown down over the rows that
    // repeat it, so a page holds a few hundred marks rather than a thousand squares.
    QList<QRectF> squares(double side) const;

private:
    int m_size = 0;
    std::vector<unsigned char> m_modules; // row by row, 1 for dark
};
