// libFuzzer target over kvcob.conf, which an administrator writes by hand: any bytes as the
// file, then the database alias and the printer port looked up as the programs look them
// up. An alias resolves or is refused with a message; a port is a device, a queue or a
// plain file; nothing connects anywhere.
#include "Database.h"
#include "FuzzHarness.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzHarness harness("fuzz_conf");
    {
        QFile f(ProgramDir::file(QStringLiteral("kvcob.conf")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            fuzzFail("the harness's own file could not be written");
    }
    for (const QString& alias : {QStringLiteral("cobrancaKV"), QStringLiteral("outraBase")}) {
        try {
            const Database::AliasConfig c = Database::configuration(alias);
            if (c.driver.isNull())
                fuzzFail("an alias resolved to no driver");
            if (c.driver == QStringLiteral("QSQLITE") && QFileInfo(c.database).isRelative())
                fuzzFail("a SQLite database outside any folder");
        } catch (const KvError& e) {
            if (e.message().isEmpty())
                fuzzFail("an alias refused without a message");
        }
    }
    for (const QString& port :
         {QStringLiteral("LPT1"), QStringLiteral("lpt2"), QStringLiteral("saida.txt")}) {
        const PortChannel::Target t = PortChannel::resolve(port);
        if (t.kind == PortChannel::Target::Kind::File && t.path != port)
            fuzzFail("an unconfigured port is not the file of its name");
    }
    return 0;
}
