#include "BlqTitles.h"
#include "ContinuoFixtures.h"
#include "ContinuoRun.h"
#include "ContinuoSelection.h"
#include "Database.h"
#include "DotMatrixPage.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "PortChannel.h"
#include "ProgramDir.h"
#include "TestEnvironment.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace ContinuoFixtures;
using Answer = Dialogs::Answer;

namespace {
QByteArray bloqueto(const BlqTitle& row, FormModel model = FormModel::Large)
{
    return DotMatrixPage::bytes(DotMatrixPage::layoutLines(row, model));
}

// A run over the rows of the whole table into the file `out`, answering the question
// after unconfirmed passes from `answers`.
struct Scripted {
    QList<Answer> answers;
    int asked = 0;
    QList<int> cancelBeforePass; // 1-based passes at whose start a request is found
    int checks = 0;
    FormModel model = FormModel::Large;

    ContinuoRun::Hooks hooks()
    {
        ContinuoRun::Hooks h;
        h.model = [this] { return model; };
        h.takeCancel = [this] { return cancelBeforePass.contains(++checks); };
        h.confirmFirst = [this] {
            ++asked;
            return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
        };
        return h;
    }
};

// `count` numbered titles stored, read back as the run reads them ("Todos").
QList<BlqTitle> storeNumbered(int count)
{
    BlqTitles::store(numbered(count));
    return ContinuoSelection::rowsForText(QStringLiteral("Todos"));
}
} // namespace

class TstContinuoRun : public QObject {
    Q_OBJECT
    TestEnvironment m_env;
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { m_env.cleanup(); }

    void workedExample_data() { addWorkedExampleRows("page"); }
    void workedExample()
    {
        QFETCH(FormModel, model);
        QFETCH(QByteArray, page);
        KV_GLOBAL_ENGINE_DIR(dir);
        addRejected(6); // the example is bloqueto number 7
        BlqTitles::store({example()});
        const QString out = dir.file(QStringLiteral("lpt1.prn"));
        configurePort(out);
        Scripted s;
        s.model = model;
        s.answers = {Answer::Yes};
        PortChannel channel(QStringLiteral("LPT1"));
        const auto result = ContinuoRun::run(
            ContinuoSelection::rowsForText(QStringLiteral("Todos")), 0, channel, s.hooks());
        QCOMPARE(readFile(out), defaultInit() + page + separator());
        QCOMPARE(result.passes, 1);
        QCOMPARE(result.end, ContinuoRun::End::LastRow);
        QVERIFY(!channel.isOpen());
        QVERIFY(!ContinuoRun::isActive());
    }

    void alignmentAnswers_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QList<int>>("printed"); // row of each pass, -1 for a separator
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("stoppedAt");
        QTest::newRow("yes at once")
            << QList<Answer>{Answer::Yes} << QList<int>{0, -1, 1, -1, 2, -1} << 1 << 3;
        QTest::newRow("no twice, then yes")
            << QList<Answer>{Answer::No, Answer::No, Answer::Yes}
            << QList<int>{0, -1, 0, -1, 0, -1, 1, -1, 2, -1} << 3 << 3;
        QTest::newRow("cancel at the first question: no separator")
            << QList<Answer>{Answer::Cancel} << QList<int>{0} << 1 << 0;
        QTest::newRow("no, then cancel")
            << QList<Answer>{Answer::No, Answer::Cancel} << QList<int>{0, -1, 0} << 2 << 0;
    }
    void alignmentAnswers()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(QList<int>, printed);
        QFETCH(int, asked);
        QFETCH(int, stoppedAt);
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(3);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        Scripted s;
        s.answers = answers;
        PortChannel channel(out);
        const auto result = ContinuoRun::run(rows, 0, channel, s.hooks());

        QByteArray expected = defaultInit();
        int passes = 0;
        for (int row : printed) {
            expected += row < 0 ? separator() : bloqueto(rows.at(row));
            passes += row < 0 ? 0 : 1;
        }
        QCOMPARE(readFile(out), expected);
        QCOMPARE(s.asked, asked);
        QCOMPARE(result.passes, passes);
        QCOMPARE(result.stoppedAt, stoppedAt);
    }

    void eachPassIsOutBeforeTheQuestion()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(2);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        QList<QByteArray> seen;
        bool iniThere = false;
        ContinuoRun::Hooks h;
        // A plain file is written under a temporary name and takes its place at the end.
        bool finalThere = false;
        auto staged = [&] {
            const QStringList names =
                QDir(dir.path())
                    .entryList({QStringLiteral(".saida.prn.*")}, QDir::Files | QDir::Hidden);
            return names.size() == 1 ? readFile(dir.file(names.first())) : QByteArray();
        };
        h.confirmFirst = [&] {
            seen << staged();
            finalThere = finalThere || QFile::exists(out);
            iniThere = QFile::exists(dir.file(QStringLiteral("Matricial.ini")));
            return seen.size() < 2 ? Answer::No : Answer::Yes;
        };
        PortChannel channel(out);
        ContinuoRun::run(rows, 0, channel, h);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.at(0), defaultInit() + bloqueto(rows.at(0)));
        QCOMPARE(seen.at(1),
                 defaultInit() + bloqueto(rows.at(0)) + separator() + bloqueto(rows.at(0)));
        QVERIFY(iniThere);
        QVERIFY(!finalThere);
        QVERIFY(readFile(out).startsWith(seen.at(1)));
        QVERIFY(staged().isEmpty());
    }

    void startsOnTheThirdOfFiveRows()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(5);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        Scripted s;
        s.answers = {Answer::Yes};
        QList<int> visited;
        ContinuoRun::Hooks h = s.hooks();
        h.atRow = [&visited](int row) { visited << row; };
        PortChannel channel(out);
        const auto result = ContinuoRun::run(rows, 2, channel, h);
        QCOMPARE(result.passes, 3);
        QCOMPARE(visited, (QList<int>{2, 3, 4}));
        QCOMPARE(readFile(out), defaultInit() + bloqueto(rows.at(2)) + separator() +
                                    bloqueto(rows.at(3)) + separator() + bloqueto(rows.at(4)) +
                                    separator());
    }

    void cancelRequests_data()
    {
        QTest::addColumn<QList<int>>("cancelAt");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<int>("passes");
        QTest::addColumn<bool>("cancelled");
        // A request found at the start of pass 3 lets passes 1 and 2 finish, separators too.
        QTest::newRow("after the first is confirmed")
            << QList<int>{3} << QList<Answer>{Answer::Yes} << 2 << true;
        // Raised while the first pass was unconfirmed: honoured after its question.
        QTest::newRow("during an unconfirmed pass")
            << QList<int>{2} << QList<Answer>{Answer::No} << 1 << true;
        // Pending from before the run: nothing after the initialisation.
        QTest::newRow("pending before the run") << QList<int>{1} << QList<Answer>{} << 0 << true;
        QTest::newRow("none") << QList<int>{} << QList<Answer>{Answer::Yes} << 4 << false;
    }
    void cancelRequests()
    {
        QFETCH(QList<int>, cancelAt);
        QFETCH(QList<Answer>, answers);
        QFETCH(int, passes);
        QFETCH(bool, cancelled);
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(4);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        Scripted s;
        s.answers = answers;
        s.cancelBeforePass = cancelAt;
        PortChannel channel(out);
        const auto result = ContinuoRun::run(rows, 0, channel, s.hooks());
        QCOMPARE(result.passes, passes);
        QCOMPARE(result.end == ContinuoRun::End::Cancelled, cancelled);
        const QByteArray bytes = readFile(out);
        QVERIFY(bytes.startsWith(defaultInit()));
        QCOMPARE(bytes.size(), defaultInit().size() +
                                   passes * (bloqueto(rows.at(0)).size() + separator().size()));
    }

    void modelChangedDuringTheRunAppliesFromTheNextPass()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(2);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        FormModel model = FormModel::Small;
        ContinuoRun::Hooks h;
        h.model = [&model] { return model; };
        h.confirmFirst = [&model] {
            model = FormModel::Large;
            return Answer::Yes;
        };
        PortChannel channel(out);
        ContinuoRun::run(rows, 0, channel, h);
        QCOMPARE(readFile(out), defaultInit() + bloqueto(rows.at(0), FormModel::Small) +
                                    separator() + bloqueto(rows.at(1), FormModel::Large) +
                                    separator());
    }

    void theEscapeFileIsCreatedOnlyOnceThePortIsOpen()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(1);
        PortChannel missing(dir.file(QStringLiteral("sem-pasta/saida.prn")));
        try {
            ContinuoRun::run(rows, 0, missing, {});
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("File not found"));
        }
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("Matricial.ini"))));
        QVERIFY(!ContinuoRun::isActive());

        // The second run reads back the bytes the first one created.
        const QString out = dir.file(QStringLiteral("saida.prn"));
        for (int run = 0; run < 2; ++run) {
            PortChannel channel(out);
            ContinuoRun::run(rows, 0, channel, {});
            QVERIFY(readFile(out).startsWith(defaultInit()));
        }
        QCOMPARE(readFile(dir.file(QStringLiteral("Matricial.ini"))), MatricialIni::defaultFile());
    }

    void escapeFileThatCannotBeCreatedEndsTheRun()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(1);
        const QString out = dir.file(QStringLiteral("saida.prn"));
        const QString missing = dir.file(QStringLiteral("sem-pasta"));
        ProgramDir::set(missing);
        PortChannel channel(out);
        try {
            ContinuoRun::run(rows, 0, channel, {});
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Unable to write to %1/Matricial.ini").arg(missing));
        }
        QVERIFY(!channel.isOpen());
        QCOMPARE(readFile(out), QByteArray());
    }

    void writeFailureMidRunReleasesTheChannel()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            KV_SKIP_OR_FAIL(QStringLiteral("no /dev/full"));
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(2);
        configurePort(QStringLiteral("/dev/full"));
        PortChannel channel(QStringLiteral("LPT1"));
        try {
            ContinuoRun::run(rows, 0, channel, {});
            QFAIL("no error");
        } catch (const KvError& e) {
            QCOMPARE(e.message(), QStringLiteral("Disk full"));
        }
        QVERIFY(!channel.isOpen());
        QVERIFY(!ContinuoRun::isActive());
    }

    void aSecondRunIsRefusedWhileOneIsPrinting()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        const QList<BlqTitle> rows = storeNumbered(1);
        QString inner;
        ContinuoRun::Hooks h;
        h.processEvents = [&] {
            PortChannel other(dir.file(QStringLiteral("outra.prn")));
            try {
                ContinuoRun::run(rows, 0, other, {});
            } catch (const KvError& e) {
                inner = e.message();
            }
        };
        PortChannel channel(dir.file(QStringLiteral("saida.prn")));
        ContinuoRun::run(rows, 0, channel, h);
        QCOMPARE(inner, QStringLiteral("Já há uma impressão em formulário contínuo em andamento"));
        QCOMPARE(readFile(dir.file(QStringLiteral("outra.prn"))), QByteArray());
        QVERIFY(!ContinuoRun::isActive());
    }
};

QTEST_GUILESS_MAIN(TstContinuoRun)
#include "tst_continuorun.moc"
