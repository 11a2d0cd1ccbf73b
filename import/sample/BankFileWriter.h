#pragma once

#include "BankLayout.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <utility>

class QIODevice;

// Writes bank files in the bank's 400-column layout, for the tests, the bundled sample and
// the benchmark. A title is valid as it comes: its check digits are computed from its
// agência, contract and nosso número unless a test sets them. Every field is plain text
// so that a test can put anything in it, and `columns` overwrites any columns last.
class BankFileWriter {
public:
    struct Title {
        QString agencia = QStringLiteral("0341");
        QString contrato = QStringLiteral("00123456");      // 8 digits
        QString contratoDigito;                             // empty: computed
        QString nossoNumero = QStringLiteral("0000000001"); // 10 digits
        QString nossoNumeroDigito;                          // empty: computed
        QString seuNumero = QStringLiteral("DOC0000001");
        QString cpfCnpjCedente = QStringLiteral("012345678000190");
        QString quantidade = QStringLiteral("0000000000");
        QString carteira = QStringLiteral("1");        // the title's own, column 108
        QString vencimento = QStringLiteral("311226"); // DDMMYY, "888888", "999999", "000000"
        QString valor = cents(10000);                  // 13 columns, 2 implied decimals
        QString especie = QStringLiteral("01");
        QString emissao = QStringLiteral("000000");
        QString jurosDia = cents(0);
        QString descontoAte = QStringLiteral("000000");
        QString desconto = cents(0);
        QString abatimento = cents(0);
        QString multaCodigo = QStringLiteral("0"); // "1" amount, "2" percentage
        QString multa = cents(0);
        QString multaData = QStringLiteral("000000");
        QString cpfCnpjSacado = QStringLiteral("00012345678909");
        QString sacado = QStringLiteral("SACADO DE TESTE");
        QString endereco = QStringLiteral("RUA DAS FLORES, 100");
        QString bairro = QStringLiteral("CENTRO");
        QString cep = QStringLiteral("01001000");
        QString cidade = QStringLiteral("SAO PAULO");
        QString estado = QStringLiteral("SP");
        QString avalista;
        QString moeda = QStringLiteral("1");
        QList<std::pair<int, QByteArray>> columns; // (first column, bytes), applied last
    };

    BankFileWriter();                        // collects the file in memory
    explicit BankFileWriter(QIODevice* out); // writes as it goes (large files)

    BankFileWriter& header(const QString& carteira, const QString& cedente);
    BankFileWriter& title(const Title& t);
    BankFileWriter& message(const QString& text);
    BankFileWriter& instruction(const QString& text);
    BankFileWriter& pix(const QString& payload); // a type '4' record marked "PIX"
    BankFileWriter& trailer();
    BankFileWriter& raw(const QByteArray& bytes); // anything, as it is

    const QByteArray& bytes() const { return m_bytes; }
    // Writes the collected bytes to a file; false when it cannot.
    bool save(const QString& path) const;

    // The single records, 400 columns and CR LF.
    static QByteArray headerRecord(const QString& carteira, const QString& cedente, int sequence);
    static QByteArray titleRecord(const Title& t, int sequence);
    static QByteArray textRecord(char type, const QString& text, int sequence);
    static QByteArray pixRecord(const QString& payload, int sequence);
    static QByteArray trailerRecord(int sequence);

    // Field helpers: 13 digits of centavos; DDMMYY.
    static QString cents(qint64 value);
    static QString ddmmyy(const QDate& date);
    // Puts text in a field's columns, Windows-1252, cut or padded with blanks.
    static void put(QByteArray& record, BankLayout::Field field, const QString& text);

private:
    BankFileWriter& add(const QByteArray& record);

    QIODevice* m_out = nullptr;
    QByteArray m_bytes;
    int m_sequence = 0;
};
