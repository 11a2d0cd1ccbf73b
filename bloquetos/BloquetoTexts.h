#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The texts that the single-sheet bloqueto computes for each row, apart from the digits.
namespace BloquetoTexts {

inline constexpr int kSliceLength = 65;
inline constexpr int kSliceCount = 6;

// "À Vista", else "C/Apres.", else the due date as "dd/mm/yyyy"; empty when the row has
// neither flag nor a due date.
QString dueDateCaption(bool aVista, bool contraApresentacao, const QDate& datVen);

// The six printed lines of a message or instruction text: 65 characters each, blanks
// and control characters dropped at both ends; later lines empty for a short text and
// anything after the 390th character left out.
QStringList slices(const QString& text);

struct Charges {
    qint64 jurosDia = 0; // centavos
    qint64 multa = 0;
    QDate datMulta;
    qint64 desconto = 0;
    QDateTime descontoLimite;
    qint64 abatimento = 0;
};
// Always four lines in their fixed places (interest, fine, discount, rebate); a charge of
// zero leaves a single blank so the lines below keep their places. Amounts are formatted
// by the regional settings, the literal "R$" being the only currency symbol.
QStringList chargeInstructions(const Charges& c);

} // namespace BloquetoTexts
