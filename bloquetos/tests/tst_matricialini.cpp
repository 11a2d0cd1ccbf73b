#include "DotMatrixPage.h"
#include "KvError.h"
#include "MatricialIni.h"
#include "ProgramDir.h"
#include "TestSupport.h"

#include <QFile>
#include <QtTest>

namespace {
using TestSupport::readFile;
void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TstMatricialIni : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createdWithTheThreeDefaultsAndReadBack()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("Matricial.ini"));
        QCOMPARE(MatricialIni::path(), path);
        MatricialIni::ensureExists();
        QCOMPARE(readFile(path), QByteArray("[Parametros]\r\n"
                                            "CancelaSaltoPagina=\x1bO`\r\n"
                                            "EspacamentoLinha1/8=\x1b"
                                            "0\r\n"
                                            "Reset=\x1b@\r\n"));
        const MatricialIni::Sequences s = MatricialIni::read();
        QCOMPARE(s.CancelaSaltoPagina, QByteArray("\x1bO`"));
        QCOMPARE(s.EspacamentoLinha, QByteArray("\x1b"
                                                "0"));
        QCOMPARE(s.Reset, QByteArray("\x1b@"));
    }

    void anExistingFileIsNeverRewritten()
    {
        TempProgramDir dir;
        const QString path = dir.file(QStringLiteral("Matricial.ini"));
        const QByteArray own = "; nosso\r\n[parametros]\r\nreset=\x1b@\x1b\x74\x02\r\n";
        writeFile(path, own);
        MatricialIni::ensureExists();
        MatricialIni::read();
        QCOMPARE(readFile(path), own);
        // names match without regard to case; the value keeps every byte
        QCOMPARE(MatricialIni::read().Reset, QByteArray("\x1b@\x1bt\x02"));
    }

    void missingAndEmptyKeys_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("init");
        QTest::newRow("empty file: all defaults") << QByteArray()
                                                  << QByteArray("\x1b@\x1bO`\x1b"
                                                                "0.\r\n \r\n");
        QTest::newRow("empty Reset sends no reset bytes")
            << QByteArray("[Parametros]\r\nReset=\r\n")
            << QByteArray("\x1bO`\x1b"
                          "0.\r\n \r\n");
        QTest::newRow("all three empty")
            << QByteArray("[Parametros]\nCancelaSaltoPagina=\nEspacamentoLinha1/8=\nReset=\n")
            << QByteArray(".\r\n \r\n");
        QTest::newRow("keys of another section are not ours")
            << QByteArray("[Outros]\r\nReset=X\r\n")
            << QByteArray("\x1b@\x1bO`\x1b"
                          "0.\r\n \r\n");
        QTest::newRow("high bytes kept as they are")
            << QByteArray("[Parametros]\r\nEspacamentoLinha1/8=\x1b\x33\x81\xff\r\n")
            << QByteArray("\x1b@\x1bO`\x1b\x33\x81\xff.\r\n \r\n");
    }
    void missingAndEmptyKeys()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, init);
        TempProgramDir dir;
        writeFile(dir.file(QStringLiteral("Matricial.ini")), file);
        QCOMPARE(DotMatrixPage::bytes(DotMatrixPage::initLines(MatricialIni::read())), init);
    }

    void noFileReadsTheDefaults()
    {
        TempProgramDir dir;
        const MatricialIni::Sequences s = MatricialIni::read();
        QCOMPARE(s.Reset, MatricialIni::defaults().Reset);
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("Matricial.ini"))));
    }

    void cannotBeCreated()
    {
        TempProgramDir dir;
        const QString missing = dir.file(QStringLiteral("nao-existe"));
        ProgramDir::set(missing);
        try {
            MatricialIni::ensureExists();
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Unable to write to %1/Matricial.ini").arg(missing));
        }
    }
};

QTEST_GUILESS_MAIN(TstMatricialIni)
#include "tst_matricialini.moc"
