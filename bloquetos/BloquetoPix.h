#pragma once

#include "BeneficiaryPix.h"
#include "BlqTitle.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

class QFontMetricsF;
class RpTextWidths;

// What the PIX parts of a single-sheet bloqueto show for one title.
namespace BloquetoPix {

struct Title {
    QString imported; // the payload the bank file registered (BlqPixEmv); empty for none
    QString codMoe;   // BlqCodMoe
    qint64 cents = 0; // BlqTitVal
    QString nomCed;   // BlqNomCed
    QString nosNum;   // BlqNosNum
};

// The PIX fields of a stored title.
Title titleOf(const BlqTitle& t);

// The beneficiary's key in the form payloads carry it, or empty when none is set. A key
// the customisation window would refuse (a hand-edited file) stops the printing with
// "Chave PIX inválida para o beneficiário X": a payment to a wrong key is lost money.
QString checkedKey(const QString& beneficiary, const BeneficiaryPix& settings);

// The payload a title's page carries: the bank's own when the file brought one, else a
// static one from the beneficiary's key (already checked) and city, for a title in reais
// of a value above zero. Empty when the page gets no QR code. A stored payload that
// fails the import's checks (a table changed outside the program) stops the printing.
QString payload(const Title& title, const QString& key, const QString& city);

// Breaks a text into lines of the given widths (one width a line, in the units of the
// metrics) at any character, so that a long payload keeps every character; a blank is
// never left at either end of a line, where a reader copying the code would lose it.
// A text longer than all the lines ends the last one with "…".
QStringList lines(const QString& text, const QFontMetricsF& metrics, const QList<double>& widths);
// The same with the width of a text given by `measure` (the page's own measure).
QStringList lines(const QString& text, const std::function<double(QStringView)>& measure,
                  const QList<double>& widths);
// The same measured by the page's tables, a line grown a character at a time.
QStringList lines(const QString& text, RpTextWidths& measure, const QList<double>& widths);

} // namespace BloquetoPix
