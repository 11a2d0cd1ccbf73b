#pragma once

#include <QString>

// The two logo paths of one beneficiary in the settings file: the section named after
// the beneficiary exactly as the table holds it, keys Recibo (payer's receipt) and
// Comprovante (delivery voucher). An empty path means the bloqueto's default picture.
struct BeneficiaryLogos {
    QString recibo;
    QString comprovante;

    // A missing file, section or key reads as empty.
    static BeneficiaryLogos read(const QString& beneficiary);
    // Writes both keys, each with its current value, so that an empty one stays in the
    // file as "Key=". Raises "Unable to write to ..." when the file cannot be written.
    void write(const QString& beneficiary) const;

    bool operator==(const BeneficiaryLogos&) const = default;
};
