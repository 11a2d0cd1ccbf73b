#pragma once

#include <QString>

// The directory of the program's files: database, KVCob002.ini, Matricial.ini, kvcob.conf.
// By default the directory of the executable; `--dir` and tests override it.
namespace ProgramDir {
QString path();                         // without trailing separator
QString file(const QString& name);      // path() + "/" + name
void set(const QString& dir);           // empty returns to the executable's directory
} // namespace ProgramDir
