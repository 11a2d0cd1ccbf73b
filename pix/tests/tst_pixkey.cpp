#include "PixKey.h"

#include <QtTest>

Q_DECLARE_METATYPE(PixKey::Type)

class TstPixKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acceptedKeysAreStoredNormalised_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<PixKey::Type>("type");
        QTest::addColumn<QString>("stored");
        using T = PixKey::Type;
        QTest::newRow("CPF digits")
            << QStringLiteral("12345678909") << T::Cpf << QStringLiteral("12345678909");
        QTest::newRow("CPF typed with its punctuation")
            << QStringLiteral("529.982.247-25") << T::Cpf << QStringLiteral("52998224725");
        QTest::newRow("CPF with a first check digit 0")
            << QStringLiteral("111.444.777-35") << T::Cpf << QStringLiteral("11144477735");
        QTest::newRow("CPF with leading zeros")
            << QStringLiteral("000.000.001-91") << T::Cpf << QStringLiteral("00000000191");
        QTest::newRow("CNPJ typed with its punctuation")
            << QStringLiteral("11.222.333/0001-81") << T::Cnpj << QStringLiteral("11222333000181");
        QTest::newRow("CNPJ digits and blanks") << QStringLiteral(" 60 701 190 0001 04 ") << T::Cnpj
                                                << QStringLiteral("60701190000104");
        QTest::newRow("CNPJ with leading zeros")
            << QStringLiteral("00.000.000/0001-91") << T::Cnpj << QStringLiteral("00000000000191");
        QTest::newRow("e-mail in lower case")
            << QStringLiteral("Cobranca@Arapuan.COM.br") << T::Email
            << QStringLiteral("cobranca@arapuan.com.br");
        QTest::newRow("e-mail of 77 characters")
            << QString(65, QLatin1Char('A')) + QStringLiteral("@empresa.com") << T::Email
            << QString(65, QLatin1Char('a')) + QStringLiteral("@empresa.com");
        QTest::newRow("e-mail with plus and dots")
            << QStringLiteral("financeiro.sul+pix@vale-verde.ind.br") << T::Email
            << QStringLiteral("financeiro.sul+pix@vale-verde.ind.br");
        QTest::newRow("mobile telephone")
            << QStringLiteral("+5511987654321") << T::Phone << QStringLiteral("+5511987654321");
        QTest::newRow("telephone typed with its punctuation")
            << QStringLiteral("+55 (11) 98765-4321") << T::Phone
            << QStringLiteral("+5511987654321");
        QTest::newRow("fixed telephone, ten digits")
            << QStringLiteral("+55 19 3232.1000") << T::Phone << QStringLiteral("+551932321000");
        QTest::newRow("random key in lower case")
            << QStringLiteral("123E4567-E12B-12D1-A456-426655440000") << T::Random
            << QStringLiteral("123e4567-e12b-12d1-a456-426655440000");
        QTest::newRow("random key with blanks around")
            << QStringLiteral("  9d36b84f-c70b-478f-b95c-12729b90ca25\t") << T::Random
            << QStringLiteral("9d36b84f-c70b-478f-b95c-12729b90ca25");
    }
    void acceptedKeysAreStoredNormalised()
    {
        QFETCH(QString, typed);
        QFETCH(PixKey::Type, type);
        QFETCH(QString, stored);
        const std::optional<PixKey> key = PixKey::parse(typed);
        QVERIFY(key.has_value());
        QCOMPARE(key->type(), type);
        QCOMPARE(key->value(), stored);
        // what is stored reads back as the same key
        const std::optional<PixKey> again = PixKey::parse(stored);
        QVERIFY(again.has_value());
        QCOMPARE(again->value(), stored);
    }

    void refusedKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
        QTest::newRow("CPF, first check digit wrong") << QStringLiteral("12345678919");
        QTest::newRow("CPF, second check digit wrong") << QStringLiteral("123.456.789-08");
        QTest::newRow("CPF of one repeated digit") << QStringLiteral("111.111.111-11");
        QTest::newRow("CPF one digit short") << QStringLiteral("1234567890");
        QTest::newRow("CPF with a letter") << QStringLiteral("123.456.789-O9");
        QTest::newRow("CPF with a comma") << QStringLiteral("123,456,789-09");
        QTest::newRow("CNPJ, check digit wrong") << QStringLiteral("11.222.333/0001-82");
        QTest::newRow("CNPJ of one repeated digit") << QStringLiteral("00000000000000");
        QTest::newRow("CNPJ one digit long") << QStringLiteral("112223330001810");
        QTest::newRow("twelve digits") << QStringLiteral("112223330001");
        QTest::newRow("e-mail of 78 characters")
            << QString(66, QLatin1Char('a')) + QStringLiteral("@empresa.com");
        QTest::newRow("e-mail without domain") << QStringLiteral("cobranca@");
        QTest::newRow("e-mail without a dot") << QStringLiteral("cobranca@localhost");
        QTest::newRow("e-mail with two @") << QStringLiteral("a@b@empresa.com");
        QTest::newRow("e-mail with a blank") << QStringLiteral("cobranca arapuan@empresa.com");
        QTest::newRow("e-mail with an accent") << QStringLiteral("cobrança@empresa.com");
        QTest::newRow("telephone without +55") << QStringLiteral("11987654321");
        QTest::newRow("telephone of another country") << QStringLiteral("+351912345678");
        QTest::newRow("telephone of nine digits") << QStringLiteral("+55 11 8765-432");
        QTest::newRow("telephone of twelve digits") << QStringLiteral("+55119876543210");
        QTest::newRow("telephone with a letter") << QStringLiteral("+55 11 9876-ABCD");
        QTest::newRow("telephone with a slash") << QStringLiteral("+55 11/98765-4321");
        QTest::newRow("UUID one digit short")
            << QStringLiteral("123e4567-e12b-12d1-a456-42665544000");
        QTest::newRow("UUID not hex") << QStringLiteral("123e4567-e12b-12d1-a456-42665544000g");
        QTest::newRow("UUID without dashes") << QStringLiteral("123e4567e12b12d1a456426655440000");
        QTest::newRow("a name") << QStringLiteral("CONFECCOES ARAPUAN LTDA");
    }
    void refusedKeys()
    {
        QFETCH(QString, typed);
        QVERIFY(!PixKey::parse(typed).has_value());
    }
};

QTEST_MAIN(TstPixKey)
#include "tst_pixkey.moc"
