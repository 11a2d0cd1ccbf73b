// libFuzzer target: the saved-report (".kvr") reader must refuse any damaged or foreign
// file with an error, never crash, hang or read outside the bytes it was given.

#include "KvError.h"
#include "RpPageFile.h"
#include "TRpPrinter.h"

#include "RpPagePainter.h"
#include "RpPdfWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

// Drawing texts needs the fonts, and so a Gui application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: the fuzzer leaves through exit(), after Qt's own teardown.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    TRpPrinter store;
    try {
        RpPageFile::read(bytes, store);
    } catch (const KvError&) {
        return 0;
    }
    // What loads must also draw, save again and go to PDF.
    QImage img(64, 90, QImage::Format_RGB32);
    QPainter p(&img);
    for (int i = 0; i < store.pageCount() && i < 4; ++i)
        RpPagePainter::paint(p, store, i, QRectF(0, 0, 64, 90), 600);
    p.end();
    RpPageFile::write(store);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    RpPdfWriter writer(pdf);
    for (int i = 0; i < store.pageCount() && i < 4; ++i)
        writer.addPage(store, i);
    writer.finish();
    return 0;
}
