#pragma once

#include <QDate>
#include <QString>

struct BlqTitle;

// The check digits of the bloqueto. Each character must be a decimal digit: anything else
// (a blank included) raises KvConversionError "'c' is not a valid integer value".

// The digits followed by their modulo-10 check digit (weights 2, 1, 2, ... from the right,
// the two digits of every product added).
QString AnexaDigitoModulo10(const QString& digits);
// The modulo-11 general check digit of the barcode, '1' to '9' (weights 2..9 from the
// right; remainders 0 and 1 give '1').
QChar DigitoModulo11(const QString& digits);
// The text a barcode font would print for the digits: '(' start, one character per pair
// of digits (codes 60..119 and 180..219), ')' stop. An odd last digit is dropped.
QString CodificaBarras(const QString& digits);

// The 44-digit barcode and the typeable line of one title, made from the row's agency,
// nosso número, contract, value and due date.
class BloquetoCode {
public:
    struct Input {
        QString ageCod;
        QString nosNum;
        QString ctrCod;
        qint64 cents = 0;
        QDate datVen; // null for titles without a due date
    };

    // Uses Clock::today() for the switch date and for titles without a due date.
    // The fields of a stored title the codes are made of.
    static Input inputOf(const BlqTitle& title);

    static BloquetoCode compose(const Input& in);
    static BloquetoCode compose(const Input& in, const QDate& today);

    // Days from the factor's base date to the due date, kept within 1000..9999 by taking
    // 9000 off as often as needed (the banks' cycle); a null due date counts today + 15.
    static int dueDateFactor(const QDate& datVen, const QDate& today);

    static constexpr qint64 kValueCeilingCents = 9999999999LL; // 99.999.999,99
    static QDate factorBaseDate() { return QDate(1997, 10, 7); }
    static QDate switchDate() { return QDate(2000, 7, 4); }

    const QString& barcode() const { return m_barcode; }       // normally 44 digits
    const QString& typeableLine() const { return m_typeable; } // printed form, 54 characters
    const QString& valueBlock() const { return m_valueBlock; } // 14 characters, blanks kept

private:
    QString m_barcode;
    QString m_typeable;
    QString m_valueBlock;
};
