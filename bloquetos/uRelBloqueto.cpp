#include "uRelBloqueto.h"

#include "BloquetoFiles.h"
#include "TRpPrinter.h"
#include "TRpReport.h"
#include "uQvPreview.h"

TfrmRelBloqueto::TfrmRelBloqueto(QWidget* owner) : QWidget(owner)
{
    setObjectName(QStringLiteral("frmRelBloqueto"));
    setAttribute(Qt::WA_DontShowOnScreen);
    m_rel.rptBloqueto->OnPreview = [this](TRpPrinter& sender) { rptBloquetoPreview(sender); };
    // "Exportar PDF" of the preview may write one file per title.
    m_rel.rptBloqueto->OnExportPerRecord = [this](const QString& folder) {
        return BloquetoFiles::write(m_rel, folder);
    };
    FormCreate();
}

TfrmRelBloqueto::~TfrmRelBloqueto() = default;

void TfrmRelBloqueto::FormCreate()
{
    m_rel.open();
}

void TfrmRelBloqueto::preview()
{
    rptBloqueto().preview();
}

void TfrmRelBloqueto::rptBloquetoPreview(TRpPrinter& sender)
{
    TfrmQvPreview::openFor(sender);
}
