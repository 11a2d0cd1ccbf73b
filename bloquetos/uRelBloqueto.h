#pragma once

#include "RelBloqueto.h"

#include <QWidget>

class TRpPrinter;
class TRpReport;

// The form behind "&Folha Solta": never shown, it carries the single-sheet report and its
// query; the report's preview event opens the preview window.
class TfrmRelBloqueto : public QWidget {
    Q_OBJECT
public:
    explicit TfrmRelBloqueto(QWidget* owner = nullptr);
    ~TfrmRelBloqueto() override;

    TRpReport& rptBloqueto() { return *m_rel.rptBloqueto; }
    DbQuery& qryTitulo() { return m_rel.qryTitulo; }
    RelBloqueto& rel() { return m_rel; }

    // The report's preview run; returns when the preview window lets go of the pages.
    void preview();

private:
    void FormCreate();
    void rptBloquetoPreview(TRpPrinter& sender);

    RelBloqueto m_rel;
};
