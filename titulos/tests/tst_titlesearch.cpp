// The titles search over both engines: accents, letter case, punctuation of documents,
// wildcards typed as text, filters, order, titles stored before the search column, and the
// nossos números of the batch tool.

#include "BlqSearchText.h"
#include "BlqTitles.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbQuery.h"
#include "EngineProgramDir.h"
#include "KvError.h"
#include "RetTables.h"
#include "TitleListModel.h"
#include "TitleSearch.h"

#include <QtTest>

namespace {
// A statement of the test's own on the default alias.
void runSql(const QString& text)
{
    DbQuery q;
    q.sql() << text;
    q.execSql();
}
} // namespace

namespace {
BlqTitle payer(int n, const QString& name, const QString& document)
{
    BlqTitle t = BlqTitles::numbered(n);
    t.sacNom = name;
    t.cpfCgcSac = document;
    return t;
}

// Seven titles; the fifth is rejected.
void storeTitles()
{
    BlqUpgrade::upgradeIfNeeded();
    QList<BlqTitle> titles = {
        payer(1, QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("12345678909")),
        payer(2, QStringLiteral("MARIA JOSEFA SANTOS"), QStringLiteral("98765432100")),
        payer(3, QStringLiteral("JOÃO PEÇANHA"), QStringLiteral("12345678000195")),
        payer(4, QStringLiteral("ANA 100% ALGODÃO LTDA"), QStringLiteral("11122233344")),
        payer(5, QStringLiteral("JOSE REJEITADO"), QStringLiteral("55566677788")),
        payer(6, QStringLiteral("ÉRICA  ÂNGELA"), QStringLiteral("22233344455")),
        payer(7, QStringLiteral("ZÉLIA_MOTA"), QStringLiteral("33344455566")),
    };
    titles[4].regVal = false;
    titles[4].msgErr = QStringLiteral("CEP INVÁLIDO");
    BlqTitles::store(titles);
}

QStringList names(const QList<qint32>& seqs)
{
    QStringList out;
    for (const TitleSearch::Row& r : TitleSearch::rows(seqs))
        out << r.sacNom;
    return out;
}

QStringList found(const QString& text)
{
    TitleSearch::Criteria c;
    c.text = text;
    return names(TitleSearch::find(c));
}
} // namespace

class TstTitleSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data() { addEngineRows(); }
    void cleanup() { Database::closeAll(); }

    void findsByAFragmentWhateverItsCaseAndAccents_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QString jose = QStringLiteral("JOSÉ DA SILVA");
        const QString maria = QStringLiteral("MARIA JOSEFA SANTOS");
        const QString joao = QStringLiteral("JOÃO PEÇANHA");
        QTest::newRow("plain") << "jose"
                               << QStringList{jose, maria, QStringLiteral("JOSE REJEITADO")};
        QTest::newRow("accented query")
            << "JOSÉ" << QStringList{jose, maria, QStringLiteral("JOSE REJEITADO")};
        QTest::newRow("cedilla") << "pecanha" << QStringList{joao};
        QTest::newRow("two words any order") << "silva  josé" << QStringList{jose};
        QTest::newRow("blanks inside a name")
            << "érica ângela" << QStringList{QStringLiteral("ÉRICA  ÂNGELA")};
        QTest::newRow("cpf with punctuation") << "123.456.789-09" << QStringList{jose};
        QTest::newRow("cpf digits") << "12345678909" << QStringList{jose};
        QTest::newRow("cnpj with punctuation") << "12.345.678/0001-95" << QStringList{joao};
        QTest::newRow("cpf fragment") << "765.432" << QStringList{maria};
        QTest::newRow("nosso numero") << "10000000033" << QStringList{joao};
        QTest::newRow("seu numero") << "doc0000002" << QStringList{maria};
        QTest::newRow("percent is a character")
            << "100%" << QStringList{QStringLiteral("ANA 100% ALGODÃO LTDA")};
        QTest::newRow("lone percent")
            << "%" << QStringList{QStringLiteral("ANA 100% ALGODÃO LTDA")};
        QTest::newRow("underscore is a character")
            << "_" << QStringList{QStringLiteral("ZÉLIA_MOTA")};
        QTest::newRow("no match") << "xavier" << QStringList{};
        QTest::newRow("no word across fields") << "silva|123" << QStringList{};
    }
    void findsByAFragmentWhateverItsCaseAndAccents()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        storeTitles();
        QCOMPARE(found(text), expected);
    }

    void findsByBeneficiary()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        // Titles 3 and 6 belong to the second beneficiary (BlqTitles::numbered).
        QCOMPARE(found(QStringLiteral("vale verde")),
                 (QStringList{QStringLiteral("JOÃO PEÇANHA"), QStringLiteral("ÉRICA  ÂNGELA")}));
    }

    void filtersByDueDateAndValidity_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<int>("validity");
        QTest::addColumn<int>("count");
        // Title n falls due on 10/03/2026 plus n days.
        QTest::newRow("every title") << QDate() << QDate() << 0 << 7;
        QTest::newRow("from a date, inclusive") << QDate(2026, 3, 15) << QDate() << 0 << 3;
        QTest::newRow("until a date, inclusive") << QDate() << QDate(2026, 3, 12) << 0 << 2;
        QTest::newRow("a range") << QDate(2026, 3, 12) << QDate(2026, 3, 14) << 0 << 3;
        QTest::newRow("valid only") << QDate() << QDate() << 1 << 6;
        QTest::newRow("rejected only") << QDate() << QDate() << 2 << 1;
        QTest::newRow("rejected in range") << QDate(2026, 3, 16) << QDate() << 2 << 0;
    }
    void filtersByDueDateAndValidity()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        QFETCH(QDate, from);
        QFETCH(QDate, until);
        QFETCH(int, validity);
        QFETCH(int, count);
        storeTitles();
        TitleSearch::Criteria c;
        c.dueFrom = from;
        c.dueUntil = until;
        c.validity = TitleSearch::Validity(validity);
        QCOMPARE(TitleSearch::find(c).size(), count);
    }

    void ordersByTheColumnAskedThenByFileOrder()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        TitleListModel model;
        model.search({});
        QCOMPARE(model.found(), 7);
        model.sort(TitleListModel::SacNom, Qt::DescendingOrder);
        QCOMPARE(model.rowAt(0)->sacNom, QStringLiteral("ZÉLIA_MOTA"));
        QCOMPARE(model.rowAt(6)->sacNom, QStringLiteral("ANA 100% ALGODÃO LTDA"));
        model.sort(TitleListModel::Valor, Qt::AscendingOrder);
        QCOMPARE(model.rowAt(0)->seq, 1);
        QCOMPARE(model.data(model.index(0, TitleListModel::Valor)).toString(),
                 QStringLiteral("11,37"));
        QCOMPARE(model.data(model.index(4, TitleListModel::Motivos)).toString(),
                 QStringLiteral("CEP INVÁLIDO"));
        QCOMPARE(model.data(model.index(0, TitleListModel::Situacao)).toString(),
                 QStringLiteral("Em aberto"));
    }

    void titlesStoredWithoutTheSearchColumnAreFoundAndFilledByTheUpgrade()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        runSql(QStringLiteral("update Blq set BlqBusTxt = null"));
        // Before the upgrade: letter case is still ignored, accents are not.
        QCOMPARE(found(QStringLiteral("silva")), QStringList{QStringLiteral("JOSÉ DA SILVA")});
        QVERIFY(!BlqUpgrade::upgradeIfNeeded()); // no column added, the rows filled
        QCOMPARE(found(QStringLiteral("josé silva")), QStringList{QStringLiteral("JOSÉ DA SILVA")});
    }

    void theReturnFilesGiveEachTitleItsSituacao()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        auto situacoes = [](const QString& situacao, bool bySituacao = false) {
            TitleSearch::Criteria c;
            c.situacao = situacao;
            if (bySituacao)
                c.order = TitulosStatements::Order::Situacao;
            QStringList out;
            for (const TitleSearch::Row& r : TitleSearch::rows(TitleSearch::find(c)))
                out << QStringLiteral("%1 %2").arg(r.seq).arg(r.situacao);
            return out;
        };
        // No return data yet: every title is open.
        QCOMPARE(situacoes(QStringLiteral("Em aberto")).size(), 7);
        QVERIFY(situacoes(QStringLiteral("Liquidado")).isEmpty());

        RetTables::ensure(Database::connection());
        auto occurrence = [](int n, const char* code, const char* day) {
            const BlqTitle t = BlqTitles::numbered(n);
            runSql(QStringLiteral("insert into Ret (RetArqSeq, RetAgeCod, RetCtrCod, "
                                  "RetNosNum, RetCodOco, RetDatOco) values "
                                  "(1, '%1', '%2', '%3', '%4', '%5')")
                       .arg(t.ageCod, t.ctrCod, t.nosNum, QLatin1StringView(code),
                            QLatin1StringView(day)));
        };
        occurrence(2, "02", "2026-03-01"); // registered: still open
        occurrence(2, "06", "2026-03-20"); // then paid
        occurrence(3, "09", "2026-03-05"); // written off
        occurrence(6, "23", "2026-04-01"); // protested
        QCOMPARE(situacoes(QStringLiteral("Liquidado")),
                 QStringList{QStringLiteral("2 Liquidado")});
        QCOMPARE(situacoes(QStringLiteral("Em protesto")),
                 QStringList{QStringLiteral("6 Em protesto")});
        QCOMPARE(situacoes(QStringLiteral("Em aberto")),
                 (QStringList{QStringLiteral("1 Em aberto"), QStringLiteral("4 Em aberto"),
                              QStringLiteral("5 Em aberto"), QStringLiteral("7 Em aberto")}));
        // Ordered by situação: Baixado, Em aberto …, Em protesto, Liquidado.
        const QStringList all = situacoes(QString(), true);
        QCOMPARE(all.size(), 7);
        QCOMPARE(all.first(), QStringLiteral("3 Baixado"));
        QCOMPARE(all.last(), QStringLiteral("2 Liquidado"));
    }

    void rowsComeBackInTheOrderAskedWithoutVanishedOnes()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        QCOMPARE(names({3, 999, 1}),
                 (QStringList{QStringLiteral("JOÃO PEÇANHA"), QStringLiteral("JOSÉ DA SILVA")}));
        QVERIFY(TitleSearch::rows({}).isEmpty());
        QCOMPARE(TitleSearch::title(3).sacNom, QStringLiteral("JOÃO PEÇANHA"));
        QVERIFY_THROWS_EXCEPTION(KvError, TitleSearch::title(999));
    }

    void aListOfNossosNumerosKeepsItsOrderAndNamesEveryMistake()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        storeTitles();
        const QString third = BlqTitles::numbered(3).nosNum;
        const QString first = BlqTitles::numbered(1).nosNum;
        QCOMPARE(TitleSearch::validByNossoNumero({third, first, QStringLiteral(" ") + third}),
                 (QList<qint32>{3, 1}));
        const QString rejected = BlqTitles::numbered(5).nosNum;
        try {
            TitleSearch::validByNossoNumero({first, QStringLiteral("99999999999"), rejected});
            QFAIL("no error");
        } catch (const KvError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("não está na base: 99999999999")),
                     qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("título rejeitado: ") + rejected),
                     qPrintable(e.message()));
        }
    }

    void theModelFetchesRowsAPageAtATime()
    {
        KV_GLOBAL_ENGINE_DIR(dir);
        BlqTitles::fill(TitleListModel::kPage * 2 + 10);
        TitleListModel model;
        model.search({});
        QCOMPARE(model.found(), TitleListModel::kPage * 2 + 10);
        QCOMPARE(model.rowCount(), TitleListModel::kPage);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        model.fetchMore({});
        QCOMPARE(model.rowCount(), model.found());
        QVERIFY(!model.canFetchMore({}));
        QCOMPARE(model.rowAt(model.found() - 1)->seq, model.found());
    }
};

QTEST_GUILESS_MAIN(TstTitleSearch)
#include "tst_titlesearch.moc"
