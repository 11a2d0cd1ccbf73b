// libFuzzer target over the profile files a user may have edited by hand: any bytes as
// KVCob002.ini (first byte even) or as Matricial.ini (odd). Reading never fails and never
// crashes; writing a key changes that key only, and reads back what was written.
#include "Cp1252.h"
#include "DotMatrixPage.h"
#include "FuzzHarness.h"
#include "IniFile.h"
#include "KvError.h"
#include "MatricialIni.h"
#include "ProgramDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort(); // the harness's own folder
}

// The program's own settings: the form model of the continuous forms and a beneficiary's
// two logo pictures. Every key in the file is read the way the program reads it.
void settingsFile(const QByteArray& bytes)
{
    put(KvSettings::path(), bytes);
    const IniFile ini = KvSettings::file();
    struct Key {
        QString section, key;
    };
    const QList<Key> keys = {
        {QStringLiteral("Formulario"), QStringLiteral("Padrão")},
        {QStringLiteral("BENEFICIARIO LTDA"), QStringLiteral("Recibo")},
        {QStringLiteral("BENEFICIARIO LTDA"), QStringLiteral("Comprovante")},
        {QString(), QString()},
    };
    QStringList before;
    for (const Key& k : keys) {
        const QString v = ini.readString(k.section, k.key, QStringLiteral("\x01"));
        if (v.size() > IniFile::kMaxValue)
            fuzzFail("a value longer than the longest a profile file holds");
        before << v;
    }
    // A new value for the logo of the receipt: only that key may change.
    const QString logo = QStringLiteral("/logos/recibo novo.bmp");
    try {
        ini.writeString(keys.at(1).section, keys.at(1).key, logo);
    } catch (const KvError&) {
        fuzzFail("the harness's own file could not be written");
    }
    if (ini.readString(keys.at(1).section, keys.at(1).key) != logo)
        fuzzFail("a written value does not read back");
    for (int i = 0; i < keys.size(); ++i) {
        if (i == 1)
            continue;
        // A key of the same section written with another spelling may be the one changed.
        if (keys.at(i).section == keys.at(1).section)
            continue;
        if (ini.readString(keys.at(i).section, keys.at(i).key, QStringLiteral("\x01")) !=
            before.at(i))
            fuzzFail("writing one key changed another");
    }
}

// The printer escapes: three raw byte strings, sent as the initialisation lines.
void escapesFile(const QByteArray& bytes)
{
    put(MatricialIni::path(), bytes);
    const MatricialIni::Sequences s = MatricialIni::read();
    const QList<QByteArray> lines = DotMatrixPage::initLines(s);
    for (const QByteArray& line : lines) {
        if (line.contains('\r') || line.contains('\n'))
            fuzzFail("an escape line carries a line end of its own");
    }
    MatricialIni::ensureExists(); // an existing file is never rewritten
    QFile f(MatricialIni::path());
    if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes)
        fuzzFail("an existing escape file was rewritten");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzHarness harness("fuzz_profile");
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 0)
        settingsFile(bytes);
    else
        escapesFile(bytes);
    return 0;
}
