#pragma once

#include <QString>

// The directory of the program's files: database, KVCob002.ini, Matricial.ini, kvcob.conf.
//
// Chosen once at start (init) in this order: the batch tool's `--dir`; the environment
// variable KVCOB_DIR; for an installed program, the user's data folder
// (~/.local/share/kvcob, created on first start); for a program run from its build folder,
// the executables' folder. Tests and tools override it with set().
namespace ProgramDir {
QString path();                    // without trailing separator
QString file(const QString& name); // path() + "/" + name
void set(const QString& dir);      // empty returns to the executable's directory

enum class Source { Option, Environment, UserData, BuildFolder };

// What the choice depends on, gathered from the process by inputs() and stated by tests.
struct Inputs {
    QString option;      // --dir, empty when not given
    QString environment; // KVCOB_DIR, empty when unset
    bool installed = false;
    QString userData;      // the user's data folder; empty when the system knows no home
    QString executableDir; // the folder of the running executable
};

struct Choice {
    QString path;
    Source source = Source::BuildFolder;
};

Choice choose(const Inputs& inputs);
Inputs inputs(const QString& option = QString());

// Chooses the folder, creates the user's data folder when that is the choice, checks that
// the folder can hold the database and settings, checks the system configuration, and makes
// the folder current. A folder that cannot serve raises KvError with a Portuguese message
// naming it, before any file has been created anywhere.
void init(const Inputs& inputs);

// "Pasta do programa: PATH (why)", for --help, the help window and the About box.
QString describe(const Choice& choice);
QString describeCurrent();

// An installed program has no build marker beside its executable; a build writes one.
bool isInstalled();
inline constexpr const char* kBuildMarker = ".kvcob-build";

// The kvcob.conf in use: the program folder's own; when it has none and the program is
// installed, the system-wide one an administrator sets for every desk. The path returned
// may not exist (no configuration at all). A damaged system file raises KvError.
QString confFile();
QString systemConfFile();
void setSystemConfFile(const QString& path); // tests; empty restores the built-in path
} // namespace ProgramDir
