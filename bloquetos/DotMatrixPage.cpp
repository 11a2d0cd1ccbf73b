#include "DotMatrixPage.h"

#include "BlqTitle.h"
#include "Cp1252.h"
#include "DotMatrixText.h"

using DotMatrixText::CompletaString;
using DotMatrixText::Espacos;

namespace {
// The large model leaves its value box empty from this amount up.
constexpr qint64 kLargeValueCeiling = 999999999999; // 9.999.999.999,99

const QByteArray kBlankLine = " ";

struct Widths {
    int numberLead;     // blanks before the bloqueto number
    int dueDateGap;     // blanks between number and due date
    int datePart;       // document date and its blanks
    int beforeDm;       // blanks between seu número and "DM"
    int beforeN;        // blanks between "DM" and "N"
    int beforeCurrency; // blanks before "R$"
    int afterCurrency;  // blanks between "R$" and the value
    int instruction;    // characters per instruction line
};

Widths widths(FormModel model)
{
    if (model == FormModel::Small)
        return {43, 6, 13, 4, 5, 17, 31, 48};
    return {54, 9, 23, 6, 6, 29, 33, 60};
}

QString right(const QString& text, int width)
{
    return CompletaString(text, width, QStringLiteral(" "), QStringLiteral("L"));
}

QString left(const QString& text, int width)
{
    return CompletaString(text, width, QStringLiteral(" "), QStringLiteral("R"));
}

// A field of the payer lines: cut to its first characters, then trimmed.
QString field(const QString& text, int width)
{
    return DotMatrixText::trimmed(left(DotMatrixText::printable(text), width));
}

QString bloquetoNumber(qint32 seq)
{
    // Pattern "######": no leading zeros, and nothing at all for zero.
    return seq == 0 ? QString() : QString::number(seq);
}

// The amount of an instruction line: cut to 15 as the value box, then trimmed.
QString instructionAmount(qint64 cents)
{
    return DotMatrixText::trimmed(right(DotMatrixText::money(cents), 15));
}

QByteArray encode(const QString& text)
{
    return Cp1252::encode(text);
}
} // namespace

QList<QByteArray> DotMatrixPage::initLines(const MatricialIni::Sequences& s)
{
    return {s.Reset + s.CancelaSaltoPagina + s.EspacamentoLinha + '.', kBlankLine};
}

QList<QByteArray> DotMatrixPage::separatorLines()
{
    return {kBlankLine, kBlankLine, kBlankLine};
}

QString DotMatrixPage::CalcDatVen(const BlqTitle& title)
{
    using DotMatrixText::CompletaString;
    const QString blank = QStringLiteral(" ");
    if (BlqTitle::isSet(title.idcAvi))
        return CompletaString(QStringLiteral("A vista"), 10, blank, QStringLiteral("R"));
    if (BlqTitle::isSet(title.idcCAp))
        return CompletaString(QStringLiteral("C/Apres."), 10, blank, QStringLiteral("R"));
    return DotMatrixText::date(title.datVen, 10);
}

QList<QByteArray> DotMatrixPage::layoutLines(const BlqTitle& row, FormModel model)
{
    const qint64 value = BlqTitle::cents(row.titVal);
    const qint64 interest = BlqTitle::cents(row.jurDiaVal);
    const qint64 discount = BlqTitle::cents(row.dstVal);
    const qint64 rebate = BlqTitle::cents(row.abtAtrVal);
    const Widths w = widths(model);
    QList<QByteArray> lines;
    lines.reserve(kLayoutLines);
    auto blank = [&lines](int count) {
        for (int i = 0; i < count; ++i)
            lines << kBlankLine;
    };

    // 1: bloqueto number and due date
    lines << encode(Espacos(w.numberLead) + right(bloquetoNumber(row.seq), 6) +
                    Espacos(w.dueDateGap) + CalcDatVen(row));
    blank(3);

    // 5: document date, seu número, kind and acceptance
    const QString issued = row.datEmi.isValid()
                               ? DotMatrixText::date(row.datEmi, 10) + Espacos(w.datePart - 10)
                               : Espacos(w.datePart);
    lines << encode(issued + left(DotMatrixText::printable(row.seuNum), 10) + Espacos(w.beforeDm) +
                    QStringLiteral("DM") + Espacos(w.beforeN) + QStringLiteral("N"));
    blank(1);

    // 7: the title's value
    if (model == FormModel::Large && value >= kLargeValueCeiling) {
        blank(1);
    } else {
        lines << encode(Espacos(w.beforeCurrency) + QStringLiteral("R$") +
                        Espacos(w.afterCurrency) + right(DotMatrixText::money(value), 15));
    }
    blank(1);

    // 9 to 11: interest, discount and rebate
    if (interest != 0)
        lines << encode(QStringLiteral("COBRAR JUROS MORA/DIA DE R$ ") +
                        instructionAmount(interest));
    else
        lines << kBlankLine;
    if (discount != 0)
        lines << encode(QStringLiteral("CONCEDER DESCONTO DE R$ ") + instructionAmount(discount) +
                        QStringLiteral(" ATE ") + DotMatrixText::date(row.dstDatLim, 10));
    else
        lines << QByteArray(); // an empty line, not a blank one
    if (rebate != 0)
        lines << encode(QStringLiteral("ABATIMENTO DE R$ ") + instructionAmount(rebate));
    else
        lines << kBlankLine;

    // 12 to 16: the instruction memo in five slices
    const QString memo = left(DotMatrixText::printable(row.ins), 350);
    for (int i = 0; i < 5; ++i)
        lines << encode(memo.mid(i * w.instruction, w.instruction));
    blank(2);

    // 19 to 21: payer, address, guarantor with city and postal code
    const QString dash = QStringLiteral(" - ");
    lines << encode(Espacos(3) + field(row.sacNom, 40) + dash + field(row.cpfCgcSac, 15));
    lines << encode(field(row.sacEnd, 40) + dash + field(row.sacBai, 12));
    lines << encode(field(row.sacAvl, 30) + dash + field(row.sacCid, 15) + dash +
                    QStringLiteral("CEP ") + left(DotMatrixText::printable(row.sacCep), 8));
    blank(8);
    return lines;
}

QByteArray DotMatrixPage::bytes(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}
