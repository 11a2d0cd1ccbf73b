#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// One command of kvcob-lote. A verb prints its messages on standard output, raises
// KvError on failure (printed on standard error, exit status 1) and returns its exit code.
struct Verb {
    QString name;
    QString usage;   // arguments after the verb, for --help
    QString summary; // one line, for --help
    std::function<int(const QStringList& args)> run;
};

// Writes a line of text to standard output / standard error in the locale's encoding.
void printOut(const QString& line);
void printErr(const QString& line);
