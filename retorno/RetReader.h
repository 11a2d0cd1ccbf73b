#pragma once

#include "RetOccurrence.h"

#include <QByteArray>
#include <QString>

// Reads a return file of bank 842, CNAB 400 or CNAB 240 (told apart by the length of the
// first line), and checks the whole of it before answering: line lengths, record order,
// segment pairs, sequence numbers, the trailers' counts and sums. Any fault raises KvError
// naming the line and what is wrong, so that nothing of a bad file is ever stored. Lines
// end in CR LF or a bare LF; a last line without its end and an end-of-file mark (^Z)
// are accepted.
namespace RetReader {
RetFile read(const QByteArray& bytes);
RetFile readFile(const QString& path); // raises KvError for a file that cannot be read
// "O arquivo escolhido não parece um arquivo de retorno do banco 842."
QString notReturnFileMessage();
} // namespace RetReader
