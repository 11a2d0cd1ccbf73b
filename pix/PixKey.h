#pragma once

#include <QString>
#include <optional>

// A PIX key as the beneficiary types it in the customisation window or a hand-edited
// settings file. Only the five kinds the central bank registers are keys; a typo in one
// sends the payer's money to someone else, so anything doubtful is refused rather than
// guessed at.
class PixKey {
public:
    enum class Type { Cpf, Cnpj, Email, Phone, Random };

    // The key in the form it is stored and paid to, or nothing for text that is no key:
    // - CPF: 11 digits with both check digits right; dots, dashes, slashes and blanks
    //   typed between the digits are dropped;
    // - CNPJ: 14 digits likewise;
    // - e-mail address: at most 77 characters, stored in lower case;
    // - telephone: "+55" then 10 or 11 digits, blanks, parentheses, dots and dashes dropped;
    // - random key: a UUID (8-4-4-4-12 hex digits), stored in lower case.
    // Blanks around the text are ignored.
    static std::optional<PixKey> parse(QStringView text);

    Type type() const { return m_type; }
    const QString& value() const { return m_value; }

    static bool cpfDigitsValid(QStringView elevenDigits);
    static bool cnpjDigitsValid(QStringView fourteenDigits);

private:
    PixKey(Type type, QString value) : m_type(type), m_value(std::move(value)) {}

    Type m_type;
    QString m_value;
};
