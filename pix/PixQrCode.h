#pragma once

#include <QString>
#include <vector>

// A PIX payload as a QR code (byte mode, error correction level M, the smallest version
// the payload needs, the mask of least penalty: QrEncoder): its modules, for a drawing
// element of the report engine, which keeps them as vector marks, sharp at every
// resolution, never as a picture.
class PixQrCode {
public:
    // Modules of light margin around the symbol on every side (the standard's four).
    static constexpr int kQuietZone = 4;

    // Encodes the payload's UTF-8 bytes. An empty payload gives an empty code.
    explicit PixQrCode(const QString& payload);

    bool isEmpty() const { return m_size == 0; }
    int size() const { return m_size; } // modules a side, without the quiet zone
    bool dark(int x, int y) const { return m_modules[size_t(y) * size_t(m_size) + size_t(x)] != 0; }
    // Row by row from the top, 1 for dark.
    const std::vector<unsigned char>& modules() const { return m_modules; }

private:
    int m_size = 0;
    std::vector<unsigned char> m_modules; // row by row, 1 for dark
};
