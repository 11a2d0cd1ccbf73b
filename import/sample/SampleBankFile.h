#pragma once

#include "BankFileWriter.h"

#include <QString>
#include <QStringList>

// The bank files we ship and measure with, made by BankFileWriter so that they can be
// made again at will. Every name and number in them is invented.
namespace SampleBankFile {

// The bundled sample (exemplos/cobranca-exemplo.rem): three beneficiaries, 30 titles due
// in 2026 and 2027, most with a message and instructions; some payable on sight or on
// presentation, some with late fees and discounts, and six rejected for different reasons.
void write(BankFileWriter& out);

// How many of the sample's titles are rejected, and how many blocks it has.
inline constexpr int kTitles = 30;
inline constexpr int kRejected = 6;

// A large file for the benchmark: one header, then `titles` titles each followed by a
// message and an instruction record (and, with `pix`, a PIX record of the title's own
// payload), then the trailer.
void writeBulk(BankFileWriter& out, int titles, bool pix = false);

// An office's file for measuring: the sample's three beneficiaries, each a block of its
// own (half, three tenths and a fifth of the titles), every title valid with a message and
// an instruction, its kind (late fees, discounts, on sight ...) and payer (accented names
// and addresses) varying as the sample's do; with `pix` each with its PIX record.
void writeRealistic(BankFileWriter& out, int titles, bool pix = false);
// The beneficiaries' names as the files give them.
QStringList beneficiaries();

// A valid static PIX payload of a title of the given beneficiary: its value, its nosso
// número with its check digit, an example key.
QString pixPayload(const BankFileWriter::Title& t, const QString& beneficiary);

} // namespace SampleBankFile
