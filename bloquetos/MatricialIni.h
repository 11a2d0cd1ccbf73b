#pragma once

#include <QByteArray>
#include <QString>

// The printer escape file Matricial.ini in the program directory: section [Parametros]
// with three raw byte strings (the escape byte stands in the file as it is).
namespace MatricialIni {
struct Sequences {
    QByteArray CancelaSaltoPagina; // cancels the skip over the perforation
    QByteArray EspacamentoLinha;   // line spacing of 1/8 inch (key "EspacamentoLinha1/8")
    QByteArray Reset;              // initialises the printer
};

Sequences defaults(); // ESC O `, ESC 0, ESC @
QString path();
// The file's bytes when it is created: the three keys with their defaults.
QByteArray defaultFile();
// Creates a missing file with the defaults; an existing one is never rewritten. Raises
// "Unable to write to <path>" when it cannot be created.
void ensureExists();
// The three sequences; a key missing from the file (or no file) takes its default, an
// empty value stays empty.
Sequences read();
} // namespace MatricialIni
