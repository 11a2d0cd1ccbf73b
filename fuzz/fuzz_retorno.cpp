// libFuzzer target: any bytes as a bank return file through the reader. A bad file is
// refused with a message (KvError); it must never crash or hang, and what it accepts must
// agree with itself.
#include "KvError.h"
#include "RetReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const RetFile file = RetReader::read(bytes);
        qint64 sum = 0;
        for (const RetOccurrence& o : file.occurrences) {
            if (o.line < 2 || o.codOco.size() != 2 || o.valPag < 0)
                std::abort();
            sum += o.valPag;
        }
        if (sum != file.sumPaid)
            std::abort();
        // At least a header and a trailer around the occurrences, one line each (400) or
        // two (240) at least 240 bytes long.
        if (qint64(file.occurrences.size()) * 240 > qint64(size))
            std::abort();
    } catch (const KvError& e) {
        if (e.message().isEmpty())
            std::abort(); // a refusal without a reason would leave the user guessing
    }
    return 0;
}
