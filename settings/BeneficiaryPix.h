#pragma once

#include <QString>

// The PIX settings of one beneficiary in the settings file, beside its logos: keys
// ChavePix (the key payers pay to) and CidadePix (the city its payloads name). Titles
// whose bank file brings no payload of their own get a static one built from them when
// both are set.
struct BeneficiaryPix {
    QString chave, cidade;

    // A missing file, section or key reads as empty. Values are as the file holds them:
    // a hand-edited key is checked where it is used.
    static BeneficiaryPix read(const QString& beneficiary);
    // Writes both keys, each with its current value. Raises "Unable to write to ..." when
    // the file cannot be written.
    void write(const QString& beneficiary) const;

    bool isSet() const { return !chave.trimmed().isEmpty() && !cidade.trimmed().isEmpty(); }
    bool operator==(const BeneficiaryPix&) const = default;
};
