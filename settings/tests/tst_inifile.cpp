#include "IniFile.h"
#include "KvError.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}
} // namespace

class TstIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingFileReadsDefaults()
    {
        TempProgramDir dir;
        const IniFile ini = KvSettings::file();
        QCOMPARE(ini.readString(QStringLiteral("Formulario"), QStringLiteral("Padrão")), QString());
        QCOMPARE(ini.readString(QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QVERIFY(!QFile::exists(ini.path())); // reading never creates the file
    }

    void writesKeepTheProfileLayout()
    {
        TempProgramDir dir;
        const IniFile ini = KvSettings::file();
        ini.writeString(QStringLiteral("ACME LTDA"), QStringLiteral("Recibo"),
                        QStringLiteral("/a.bmp"));
        ini.writeString(QStringLiteral("ACME LTDA"), QStringLiteral("Comprovante"), QString());
        ini.writeString(QStringLiteral("Formulario"), QStringLiteral("Padrão"),
                        QStringLiteral("P"));
        ini.writeString(QStringLiteral("acme ltda"), QStringLiteral("RECIBO"),
                        QStringLiteral("/b.jpg"));
        QCOMPARE(readAll(ini.path()), QByteArray("[ACME LTDA]\r\nRecibo=/b.jpg\r\nComprovante=\r\n"
                                                 "[Formulario]\r\nPadr\xE3o=P\r\n"));
        // an empty value reads back empty, not as the default
        QCOMPARE(ini.readString(QStringLiteral("ACME LTDA"), QStringLiteral("Comprovante"),
                                QStringLiteral("default")),
                 QString());
        QCOMPARE(ini.readString(QStringLiteral("FORMULARIO"), QStringLiteral("padrão")),
                 QStringLiteral("P"));
    }

    void beneficiaryNamedFormularioSharesTheSection()
    {
        TempProgramDir dir;
        const IniFile ini = KvSettings::file();
        ini.writeString(QStringLiteral("Formulario"), QStringLiteral("Padrão"),
                        QStringLiteral("Modelo"));
        ini.writeString(QStringLiteral("Formulario"), QStringLiteral("Recibo"),
                        QStringLiteral("/r.bmp"));
        ini.writeString(QStringLiteral("Formulario"), QStringLiteral("Comprovante"),
                        QStringLiteral("/c.bmp"));
        QCOMPARE(ini.readString(QStringLiteral("Formulario"), QStringLiteral("Padrão")),
                 QStringLiteral("Modelo"));
        QCOMPARE(ini.readString(QStringLiteral("Formulario"), QStringLiteral("Recibo")),
                 QStringLiteral("/r.bmp"));
    }

    void oddLinesAreReadAroundAndKept()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("KVCob002.ini"));
        const QByteArray original = "; comment\n\njunk without equals\n[S\xC9\x43\x41O]\n"
                                    "  Key = v\xE1lue with = sign \n\n[Other]\nk=1";
        writeAll(path, original);
        const IniFile ini(path);
        QCOMPARE(ini.readString(QStringLiteral("SÉCAO"), QStringLiteral("key")),
                 QStringLiteral(" válue with = sign "));
        QCOMPARE(ini.readString(QStringLiteral("sécao"), QStringLiteral("junk without equals")),
                 QString());
        QCOMPARE(readAll(path), original); // reads never rewrite
        ini.writeString(QStringLiteral("SÉCAO"), QStringLiteral("New"), QStringLiteral("n"));
        ini.writeString(QStringLiteral("Other"), QStringLiteral("k2"), QStringLiteral("2"));
        QCOMPARE(readAll(path),
                 QByteArray("; comment\n\njunk without equals\n[S\xC9\x43\x41O]\n"
                            "  Key = v\xE1lue with = sign \nNew=n\r\n\n[Other]\nk=1\r\nk2=2\r\n"));
    }

    void longValuesAreCutOnRead()
    {
        TempProgramDir dir;
        const IniFile ini = KvSettings::file();
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QString(5000, QLatin1Char('a')));
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K")).size(),
                 IniFile::kMaxValue);
    }

    void lineBreaksCannotInjectKeys()
    {
        TempProgramDir dir;
        const IniFile ini = KvSettings::file();
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"),
                        QStringLiteral("a\r\n[Formulario]\r\nPadrão=x"));
        QCOMPARE(ini.readString(QStringLiteral("Formulario"), QStringLiteral("Padrão")), QString());
    }

    void unwritableFileFailsWithItsPath()
    {
        TempProgramDir dir;
        const IniFile ini(dir.file(QStringLiteral("missing-folder/KVCob002.ini")));
        try {
            ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
            QFAIL("wrote into a folder that does not exist");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + ini.path());
        }
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
