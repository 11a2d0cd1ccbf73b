#include "BloquetoCode.h"

#include "BlqTitle.h"

#include "Clock.h"
#include "KvError.h"

namespace {
const QString kBankAndCurrency = QStringLiteral("8429");
const QString kFreeFieldClosing = QStringLiteral("2");
constexpr int kDaysWithoutDueDate = 15;

// The strict conversion of one character, as every digit position is read.
int digitAt(const QString& digits, qsizetype i)
{
    const QChar c = digits.at(i);
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        throw KvConversionError(QStringLiteral("'%1' is not a valid integer value").arg(c));
    return c.unicode() - '0';
}

// The typeable-line fields show a dot after their fifth digit.
QString withDot(const QString& field, qsizetype maxLength)
{
    return (field.left(5) + QLatin1Char('.') + field.mid(5)).left(maxLength);
}
} // namespace

QString AnexaDigitoModulo10(const QString& digits)
{
    const qsizetype n = digits.size();
    int total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        // The last digit weighs 2, the one before it 1, and so on alternately.
        const int weight = (n - 1 - i) % 2 == 0 ? 2 : 1;
        const int product = digitAt(digits, i) * weight;
        total += product / 10 + product % 10;
    }
    const int r = total % 10;
    const int check = r == 0 ? 0 : 10 - r;
    return digits + QChar(u'0' + check);
}

QChar DigitoModulo11(const QString& digits)
{
    const qsizetype n = digits.size();
    int sum = 0;
    for (qsizetype i = 0; i < n; ++i)
        sum += digitAt(digits, i) * int(2 + (n - 1 - i) % 8);
    const int check = 11 - sum % 11;
    return check >= 10 ? QLatin1Char('1') : QChar(u'0' + check);
}

QString CodificaBarras(const QString& digits)
{
    QString text(QLatin1Char('('));
    text.reserve(digits.size() / 2 + 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        const int pair = digitAt(digits, i) * 10 + digitAt(digits, i + 1);
        text += QChar(pair < 60 ? pair + 60 : pair + 120);
    }
    text += QLatin1Char(')');
    return text;
}

int BloquetoCode::dueDateFactor(const QDate& datVen, const QDate& today)
{
    qint64 factor = datVen.isValid() ? factorBaseDate().daysTo(datVen)
                                     : factorBaseDate().daysTo(today) + kDaysWithoutDueDate;
    // The factor field has four digits; the banks start the count again at 1000 after
    // 9999, so a fifth digit never reaches the code and the value keeps all its digits.
    while (factor >= 10000)
        factor -= 9000;
    return int(factor);
}

BloquetoCode BloquetoCode::compose(const Input& in)
{
    return compose(in, Clock::today());
}

BloquetoCode BloquetoCode::compose(const Input& in, const QDate& today)
{
    const QString field1 = AnexaDigitoModulo10(kBankAndCurrency + in.ageCod + in.nosNum.left(1));
    const QString field2 = AnexaDigitoModulo10(in.nosNum.mid(1, 10));
    const QString field3 = AnexaDigitoModulo10(in.ctrCod + kFreeFieldClosing);

    // A negative amount has no place in the code; stop as the digit conversion would.
    if (in.cents < 0)
        throw KvConversionError(QStringLiteral("'-' is not a valid integer value"));

    QString valueBlock;
    if (in.cents > kValueCeilingCents) {
        valueBlock = QStringLiteral("00000000000000");
    } else {
        valueBlock = QString::number(in.cents).rightJustified(14, QLatin1Char(' '));
        if (today >= switchDate() && valueBlock.trimmed().size() <= 10) {
            const QString zeroFilled =
                QString::number(in.cents).rightJustified(14, QLatin1Char('0'));
            valueBlock =
                (QString::number(dueDateFactor(in.datVen, today)) + zeroFilled.mid(4, 10)).left(14);
        }
    }

    QString code = (kBankAndCurrency + valueBlock).left(18) + in.ageCod + in.nosNum + in.ctrCod +
                   kFreeFieldClosing;
    code.replace(QLatin1Char(' '), QLatin1Char('0'));

    BloquetoCode result;
    const QChar checkDigit = DigitoModulo11(code);
    result.m_barcode = code.left(4) + checkDigit + code.mid(4);
    result.m_valueBlock = valueBlock;
    const QChar blank = QLatin1Char(' ');
    result.m_typeable = (withDot(field1, 11) + blank + withDot(field2, 12) + blank +
                         withDot(field3, 12) + blank + checkDigit + blank + valueBlock)
                            .left(54);
    return result;
}

BloquetoCode::Input BloquetoCode::inputOf(const BlqTitle& title)
{
    Input in;
    in.ageCod = title.ageCod;
    in.nosNum = title.nosNum;
    in.ctrCod = title.ctrCod;
    in.cents = BlqTitle::cents(title.titVal);
    in.datVen = title.datVen;
    return in;
}
