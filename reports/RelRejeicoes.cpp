#include "RelRejeicoes.h"

#include "BlqStatements.h"
#include "TRpPrinter.h"

// The definition and its logo live in this static library.
static void initResources()
{
    Q_INIT_RESOURCE(rejeicoes);
}

RelRejeicoes::RelRejeicoes() : m_source(qryRejeicoes, QStringLiteral("qryRejeicoes"))
{
    initResources();
    qryRejeicoes.setStatement(BlqStatements::rejected());
    rptRelRejeicoes = TRpReport::fromFile(definitionPath());
    rptRelRejeicoes->DataSet = &m_source;
}

RelRejeicoes::~RelRejeicoes() = default;

QString RelRejeicoes::definitionPath()
{
    return QStringLiteral(":/rejeicoes/rptRelRejeicoes.json");
}

void RelRejeicoes::produce(TRpPrinter& store)
{
    rptRelRejeicoes->produce(store);
}

int RelRejeicoes::writePdf(const QString& path)
{
    return rptRelRejeicoes->writePdf(path);
}
