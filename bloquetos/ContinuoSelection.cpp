#include "ContinuoSelection.h"

#include "BlqStatements.h"
#include "BlqTitleRow.h"
#include "DbQuery.h"
#include "KvError.h"

namespace {
int wholeNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw KvConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return n;
}
} // namespace

QString ContinuoSelection::todos()
{
    return QStringLiteral("Todos");
}

QString ContinuoSelection::contractEntry(const QString& agency, const QString& contract,
                                         const QString& name)
{
    return QString::asprintf("%4.4d", wholeNumber(agency)) + QString(8, QLatin1Char(' ')) +
           QString::asprintf("%9.9d", wholeNumber(contract)) + QString(4, QLatin1Char(' ')) + name;
}

QStringList ContinuoSelection::contractEntries(QString* error)
{
    if (error)
        error->clear();
    DbQuery q;
    q.setStatement(BlqStatements::contracts());
    QStringList entries;
    for (q.open(); !q.eof(); q.next()) {
        try {
            const BlqTitle t = BlqTitleRow::read(q);
            entries << contractEntry(t.ageCod, t.ctrCod, t.nomCed);
        } catch (const KvConversionError& e) {
            if (error && error->isEmpty())
                *error = e.message();
        }
    }
    q.close();
    return entries;
}

QList<BlqTitle> ContinuoSelection::rows(bool allContracts, const QString& agency,
                                        const QString& contract)
{
    DbQuery q;
    q.setStatement(BlqStatements::continuousRows(!allContracts));
    if (!allContracts) {
        q.setParam(QStringLiteral("ParmAgeCod"), agency);
        q.setParam(QStringLiteral("ParmCtrCod"), contract);
    }
    QList<BlqTitle> out;
    for (q.open(); !q.eof(); q.next())
        out << BlqTitleRow::read(q);
    q.close();
    return out;
}

QList<BlqTitle> ContinuoSelection::rowsForText(const QString& contractText)
{
    if (contractText == todos())
        return rows(true);
    return rows(false, contractText.mid(0, 4), contractText.mid(12, 9));
}
