// Writes N valid sample titles into the bloqueto table of a program directory, for timing
// the single-sheet output on a table of any size:  kvcob-bench-titulos DIR N
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "ProgramDir.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int count = args.size() == 3 ? args.at(2).toInt(&ok) : 0;
    if (!ok || count < 0) {
        std::fprintf(stderr, "usage: kvcob-bench-titulos DIR N\n");
        return 2;
    }
    ProgramDir::set(args.at(1));
    BlqTitles::fill(count);
    Database::closeAll();
    return 0;
}
