#pragma once

#include <QRectF>

class QPainter;
class QPrinter;
class TRpPrinter;

// Draws a stored page on any painter: the preview widget, a printer, a PDF, an image.
// The page fills `target` (device coordinates of the painter); pens are dots of a device
// of `penDpi` dots per inch (the output's resolution; Rp::kOutputDpi for PDF, images and
// the preview), never thinner than one device pixel.
namespace RpPagePainter {
void paint(QPainter& painter, const TRpPrinter& store, int pageIndex, const QRectF& target,
           int penDpi);
// Prints one page of the store on a printer, filling its paper: begins the painter on the
// first page, starts a new sheet for the others. Raises KvError when the printer cannot
// start.
void printPage(QPainter& painter, QPrinter& printer, const TRpPrinter& store, int pageIndex);
} // namespace RpPagePainter
