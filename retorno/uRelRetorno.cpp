#include "uRelRetorno.h"

#include "Clock.h"
#include "Database.h"
#include "DbQuery.h"
#include "Dialogs.h"
#include "Regional.h"
#include "RelLiquidados.h"
#include "RelOcorrencias.h"
#include "RetProcessor.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TRpPrinter.h"
#include "uQvPreview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace {
QDialogButtonBox* okCancel(QDialog& d)
{
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    return box;
}

QDateEdit* dateEdit(const QDate& d)
{
    auto* e = new QDateEdit(d);
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    e->setCalendarPopup(true);
    return e;
}
} // namespace

QString TfrmRelRetorno::badPeriodMessage()
{
    return QStringLiteral("A data inicial do período é posterior à data final.");
}

void TfrmRelRetorno::liquidados(QWidget* parent, bool lastFile)
{
    auto [from, to] = RelLiquidados::lastFilePeriod();
    if (!from.isValid())
        from = to = Clock::today();
    if (!lastFile) {
        QDialog d(parent);
        d.setObjectName(QStringLiteral("dlgPeriodoLiquidados"));
        d.setWindowTitle(QStringLiteral("Títulos Liquidados"));
        auto* form = new QFormLayout(&d);
        QDateEdit* de = dateEdit(from);
        de->setObjectName(QStringLiteral("edtDe"));
        QDateEdit* ate = dateEdit(to);
        ate->setObjectName(QStringLiteral("edtAte"));
        form->addRow(QStringLiteral("Crédito &de:"), de);
        form->addRow(QStringLiteral("&até:"), ate);
        QDialogButtonBox* box = okCancel(d);
        // A period that ends before it starts is refused where it is typed.
        QObject::disconnect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
        QObject::connect(box, &QDialogButtonBox::accepted, &d, [&d, de, ate] {
            if (de->date() > ate->date()) {
                dialogs().message(badPeriodMessage(), QStringLiteral("Atenção"));
                de->setFocus();
                return;
            }
            d.accept();
        });
        form->addRow(box);
        if (d.exec() != QDialog::Accepted)
            return;
        from = de->date();
        to = ate->date();
    }
    RelLiquidados rel;
    if (rel.select(from, to) == 0) {
        dialogs().message(QStringLiteral("Nenhum título liquidado com crédito de %1 a %2.")
                              .arg(Regional::shortDate(from), Regional::shortDate(to)),
                          QStringLiteral("Informação"));
        return;
    }
    rel.rptLiquidados->OnPreview = [](TRpPrinter& store) { TfrmQvPreview::openFor(store); };
    rel.rptLiquidados->preview();
}

void TfrmRelRetorno::ocorrencias(QWidget* parent, int fileSeq)
{
    if (fileSeq == 0) {
        RetTables::ensure(Database::connection());
        QDialog d(parent);
        d.setObjectName(QStringLiteral("dlgArquivoRetorno"));
        d.setWindowTitle(QStringLiteral("Ocorrências do Retorno"));
        auto* form = new QFormLayout(&d);
        auto* files = new QComboBox;
        files->setObjectName(QStringLiteral("cbArquivo"));
        DbQuery q;
        q.setStatement(RetStatements::files());
        for (q.open(); !q.eof(); q.next()) {
            files->addItem(QStringLiteral("%1 - processado em %2")
                               .arg(q.asString(QStringLiteral("RetArqNom")),
                                    Regional::dateTimeText(RetProcessor::processedAt(
                                        q.asString(QStringLiteral("RetArqPro"))))),
                           q.asInteger(QStringLiteral("RetArqSeq")));
        }
        q.close();
        if (files->count() == 0) {
            delete files;
            dialogs().message(QStringLiteral("Nenhum arquivo de retorno foi processado."),
                              QStringLiteral("Informação"));
            return;
        }
        form->addRow(QStringLiteral("&Arquivo:"), files);
        form->addRow(okCancel(d));
        if (d.exec() != QDialog::Accepted)
            return;
        fileSeq = files->currentData().toInt();
    }
    RelOcorrencias rel;
    rel.select(fileSeq);
    rel.rptOcorrencias->OnPreview = [](TRpPrinter& store) { TfrmQvPreview::openFor(store); };
    rel.rptOcorrencias->preview();
}
