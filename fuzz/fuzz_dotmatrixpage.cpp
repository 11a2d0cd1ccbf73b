// The fields of a bloqueto come from a table that other tools may have written: whatever
// they hold, a form keeps its 29 lines and sends no control byte of its own.
#include "ContinuoRow.h"
#include "Cp1252.h"
#include "DotMatrixPage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Fields are separated by 0xFF; the first bytes steer the numbers and flags.
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\xff');
    auto text = [&parts](int i) {
        return i < parts.size() ? Cp1252::decode(parts.at(i)) : QString();
    };
    auto number = [&parts](int i) {
        qint64 n = 0;
        if (i < parts.size())
            std::memcpy(&n, parts.at(i).constData(),
                        size_t(qMin<qsizetype>(8, parts.at(i).size())));
        return n;
    };
    ContinuoRow r;
    r.BlqSeuNum = text(0);
    r.BlqSacNom = text(1);
    r.BlqSacEnd = text(2);
    r.BlqSacBai = text(3);
    r.BlqSacCid = text(4);
    r.BlqSacCep = text(5);
    r.BlqSacAvl = text(6);
    r.BlqIns = text(7);
    r.BlqCpfCgcSac = text(8);
    r.BlqTitVal = number(9) % 100000000000000000LL;
    r.BlqJurDiaVal = number(10) % 100000000000000000LL;
    r.BlqDstVal = number(11) % 100000000000000000LL;
    r.BlqAbtAtrVal = number(12) % 100000000000000000LL;
    r.BlqSeq = qint32(number(13));
    r.BlqIdcAvi = number(14) & 1;
    r.BlqIdcCAp = number(14) & 2;
    r.BlqDatVen = QDate::fromJulianDay(number(15) % 5000000);
    r.BlqDatEmi = QDate::fromJulianDay(number(16) % 5000000);
    r.BlqDstDatLim = QDate::fromJulianDay(number(17) % 5000000);

    for (FormModel model : {FormModel::Small, FormModel::Large}) {
        const QList<QByteArray> lines = DotMatrixPage::layoutLines(r, model);
        if (lines.size() != DotMatrixPage::kLayoutLines)
            std::abort();
        for (const QByteArray& line : lines) {
            for (char c : line) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x20 || b == 0x7f)
                    std::abort();
            }
        }
    }
    return 0;
}
