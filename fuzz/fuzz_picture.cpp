// libFuzzer target over the logo picture check: the first byte picks the kind the file
// name would promise, the rest is the file's contents. Any input must end in a picture
// or in the program's own message, within the size limits, never in a crash.
#include "KvError.h"
#include "LogoPicture.h"

#include <QCoreApplication>
#include <QImage>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv); // image plugins are found through it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const char* const kinds[] = {"bmp", "ico", "jpeg", "png"};
    const QByteArray format(kinds[data[0] % 4]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        const QImage image = LogoPicture::decode(bytes, format);
        if (image.isNull() || image.width() > LogoPicture::kMaxSide ||
            image.height() > LogoPicture::kMaxSide)
            std::abort(); // a picture came through that the check should have refused
    } catch (const KvError& e) {
        if (e.message() != LogoPicture::invalidKindMessage())
            std::abort();
    }
    return 0;
}
