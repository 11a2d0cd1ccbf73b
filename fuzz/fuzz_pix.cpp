// libFuzzer target over PIX: any bytes as an imported payload (the check a bank file's
// payload passes), as a typed key (the check of the customisation window), and as the data
// of a QR code (the encoder and its choice of mask). A payload made from a key that passed
// must pass the payload check; a key stored must read back as itself; a symbol must have
// its version's size, the mask of least penalty, and its finder patterns in place.
#include "FuzzHarness.h"
#include "PixKey.h"
#include "PixPayload.h"
#include "QrEncoder.h"
#include "QrPenalty.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {
void checkKey(const QString& text)
{
    const std::optional<PixKey> key = PixKey::parse(text);
    if (!key)
        return;
    if (key->value().isEmpty())
        fuzzFail("a key stored empty");
    const std::optional<PixKey> again = PixKey::parse(key->value());
    if (!again || again->value() != key->value() || again->type() != key->type())
        fuzzFail("a stored key does not read back as itself");
    // A payload of a good key passes the check every imported payload passes.
    const QStringList parts = text.split(QLatin1Char('|'));
    PixPayload::Static s{key->value(), 1 + text.size() * 12345, parts.value(1), parts.value(2),
                         parts.value(3)};
    if (!PixPayload::isValid(PixPayload::build(s)))
        fuzzFail("a payload built from a good key fails the payload check");
}

void checkSymbol(QByteArrayView bytes)
{
    const QrEncoder::Symbol s = QrEncoder::encode(bytes);
    const int version = QrEncoder::versionFor(bytes.size());
    if (version == 0) {
        if (s.size != 0)
            fuzzFail("a symbol for data too long");
        return;
    }
    if (s.version != version || s.size != version * 4 + 17 ||
        s.dark.size() != size_t(s.size) * size_t(s.size) || s.mask < 0 || s.mask > 7)
        fuzzFail("a symbol of the wrong shape");
    // The three finder patterns' centres and separators.
    const auto dark = [&](int x, int y) { return s.dark[size_t(y * s.size + x)] != 0; };
    const int far = s.size - 4;
    if (!dark(3, 3) || !dark(far, 3) || !dark(3, far) || dark(7, 7) || dark(s.size - 8, 7) ||
        dark(7, s.size - 8))
        fuzzFail("a finder pattern out of place");
    // The mask chosen has the least penalty of the eight, the lowest of equals.
    if (bytes.size() <= 60) { // larger ones cost the fuzzer more than they teach it
        const int chosen = QrPenalty::score(s.dark, s.size);
        for (int mask = 0; mask < 8; ++mask) {
            const QrEncoder::Symbol other = QrEncoder::encode(bytes, mask);
            const int score = QrPenalty::score(other.dark, other.size);
            if (score < chosen || (score == chosen && mask < s.mask))
                fuzzFail("a mask of less penalty was left");
            if (mask == s.mask && other.dark != s.dark)
                fuzzFail("the mask chosen does not give the symbol made with it given");
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    PixPayload::isValid(text);
    checkKey(text.section(QLatin1Char('|'), 0, 0));
    checkSymbol(bytes);
    return 0;
}
