#pragma once

#include "RelRejeicoes.h"

#include <QWidget>

class TRpPrinter;

// The form behind "&Títulos Rejeitados": never shown, it carries the report and its
// query; the report's preview event opens the preview window.
class TfrmRelRejeicoes : public QWidget {
    Q_OBJECT
public:
    explicit TfrmRelRejeicoes(QWidget* owner = nullptr);
    ~TfrmRelRejeicoes() override;

    TRpReport& rptRelRejeicoes() { return *m_rel.rptRelRejeicoes; }
    DbQuery& qryRejeicoes() { return m_rel.qryRejeicoes; }

    // The report's preview run; returns when the preview window lets go of the pages.
    void preview() { rptRelRejeicoes().preview(); }

private:
    void FormCreate();
    void FormClose();
    void rptRelRejeicoesPreview(TRpPrinter& sender);

    RelRejeicoes m_rel;
};
