// The fields of a bloqueto come from a table that other tools may have written: whatever
// they hold, a form keeps its 29 lines and sends no control byte of its own.
#include "BlqTitle.h"
#include "Cp1252.h"
#include "DotMatrixPage.h"
#include "Regional.h"

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
    BlqTitle r;
    r.seuNum = text(0);
    r.sacNom = text(1);
    r.sacEnd = text(2);
    r.sacBai = text(3);
    r.sacCid = text(4);
    r.sacCep = text(5);
    r.sacAvl = text(6);
    r.ins = text(7);
    r.cpfCgcSac = text(8);
    r.titVal = Regional::fromCents(number(9) % 100000000000000000LL);
    r.jurDiaVal = Regional::fromCents(number(10) % 100000000000000000LL);
    r.dstVal = Regional::fromCents(number(11) % 100000000000000000LL);
    r.abtAtrVal = Regional::fromCents(number(12) % 100000000000000000LL);
    r.seq = qint32(number(13));
    r.idcAvi = (number(14) & 1) != 0;
    r.idcCAp = (number(14) & 2) != 0;
    r.datVen = QDate::fromJulianDay(number(15) % 5000000);
    r.datEmi = QDate::fromJulianDay(number(16) % 5000000);
    r.dstDatLim = QDate::fromJulianDay(number(17) % 5000000);

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
