#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

// The text of the message that carries a payer his bloqueto: subject and body made from
// templates whose fields are filled with the title's data. A field the template does not
// know stays as written, so a typo shows in the test message instead of vanishing.
//
//   {sacado} {vencimento} {valor} {linha_digitavel} {pix} {beneficiario} {nosso_numero}
class BloquetoMessage {
public:
    struct Fields {
        QString sacado;
        QDate vencimento;
        qint64 cents = 0;
        QString linhaDigitavel;
        QString pix; // the "copia e cola" payload; empty when the title has none
        QString beneficiario;
        QString nossoNumero;
    };

    static QString defaultSubject();
    static QString defaultBody();

    // The fields as the templates show them: dates "dd/mm/aaaa", money "R$ 1.234,56"
    // (Brazilian separators whatever the desk's own, since the payer reads them).
    static QHash<QString, QString> values(const Fields& fields);
    static QString fill(const QString& templ, const Fields& fields);
    // The subject on one line (line breaks of a template become blanks).
    static QString subject(const QString& templ, const Fields& fields);
    // The body with CR LF line ends; the default body leaves out its PIX line for a
    // title without a payload.
    static QString body(const QString& templ, const Fields& fields);
    static QString money(qint64 cents);
};
