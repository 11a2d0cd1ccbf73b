#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// The tool's side of QCommandLineParser: its failures said in Portuguese, and the option
// tables of --help written from the same option lists the parser reads.
namespace CommandLine {
// Parses `args` (the program's name first) with `parser`, which holds `options`. On
// failure answers false with *error set: "Opção desconhecida: --xyz",
// "Falta o valor de --dir.", "A opção --help não leva valor.".
bool parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
           const QStringList& args, QString* error);
// "--contrato AGÊNCIA/CONTRATO", or "--forcar" for a switch.
QString synopsis(const QCommandLineOption& option);
// One line per option (and per further line of its description), names and texts in two
// columns, indented by `indent` spaces.
QStringList optionTable(const QList<QCommandLineOption>& options, int indent);
} // namespace CommandLine
