#include "uRelRejeicoes.h"

#include "TRpPrinter.h"
#include "uQvPreview.h"

TfrmRelRejeicoes::TfrmRelRejeicoes(QWidget* owner) : QWidget(owner)
{
    setObjectName(QStringLiteral("frmRelRejeicoes"));
    setAttribute(Qt::WA_DontShowOnScreen);
    m_rel.rptRelRejeicoes->OnPreview = [this](TRpPrinter& sender) {
        rptRelRejeicoesPreview(sender);
    };
    FormCreate();
}

TfrmRelRejeicoes::~TfrmRelRejeicoes()
{
    FormClose();
}

void TfrmRelRejeicoes::FormCreate()
{
    m_rel.open();
}

void TfrmRelRejeicoes::FormClose()
{
    m_rel.close();
}

void TfrmRelRejeicoes::rptRelRejeicoesPreview(TRpPrinter& sender)
{
    TfrmQvPreview::openFor(sender);
}
