// libFuzzer target over kvcob.conf, which an administrator writes by hand: any bytes as the
// file, then the database alias and the printer port looked up as the programs look them
// up. An alias resolves or is refused with a message; a port is a device, a queue or a
// plain file; nothing connects anywhere.
#include "Database.h"
#include "KvError.h"
#include "PortChannel.h"
#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
struct Harness {
    int argc = 1;
    char name[16] = "fuzz_conf";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QTemporaryDir dir;
    Harness() { ProgramDir::set(dir.path()); }
};

void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    {
        QFile f(ProgramDir::file(QStringLiteral("kvcob.conf")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            fail("the harness's own file could not be written");
    }
    for (const QString& alias : {QStringLiteral("cobrancaKV"), QStringLiteral("outraBase")}) {
        try {
            const Database::AliasConfig c = Database::configuration(alias);
            if (c.driver.isNull())
                fail("an alias resolved to no driver");
            if (c.driver == QStringLiteral("QSQLITE") && QFileInfo(c.database).isRelative())
                fail("a SQLite database outside any folder");
        } catch (const KvError& e) {
            if (e.message().isEmpty())
                fail("an alias refused without a message");
        }
    }
    for (const QString& port :
         {QStringLiteral("LPT1"), QStringLiteral("lpt2"), QStringLiteral("saida.txt")}) {
        const PortChannel::Target t = PortChannel::resolve(port);
        if (t.kind == PortChannel::Target::Kind::File && t.path != port)
            fail("an unconfigured port is not the file of its name");
    }
    return 0;
}
