#pragma once

#include <QImage>
#include <QString>

// Reads the Interleaved 2 of 5 barcodes of a rendered image with zbarimg, as a bank's
// reader would: their digits, one code a line; empty when nothing scans.
namespace BarcodeScan {
bool available();
QString interleaved25(const QImage& image);
// The QR codes of the image as a payer's app reads them: their texts, one a line.
QString qrCodes(const QImage& image);
} // namespace BarcodeScan
