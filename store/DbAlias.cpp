#include "DbAlias.h"

#include "KvError.h"
#include "ProgramDir.h"

#include <QFileInfo>
#include <QSettings>

DbAlias DbAlias::read(const QString& alias)
{
    DbAlias a;
    const bool isDefault = alias.compare(QStringLiteral("cobrancaKV"), Qt::CaseInsensitive) == 0;
    const QString confPath = ProgramDir::confFile();
    if (QFileInfo::exists(confPath)) {
        QSettings conf(confPath, QSettings::IniFormat);
        for (const QString& group : conf.childGroups()) {
            if (group.compare(alias, Qt::CaseInsensitive) != 0)
                continue;
            conf.beginGroup(group);
            a.m_configured = true;
            for (const QString& key : conf.childKeys()) {
                if (key.compare(QStringLiteral("Password"), Qt::CaseInsensitive) == 0) {
                    throw KvError(
                        QStringLiteral(
                            "O arquivo %1 não pode guardar a senha do banco de dados "
                            "(chave %2 da seção [%3]): retire essa linha. A senha do servidor "
                            "fica no arquivo ~/.pgpass de cada usuário (ou no arquivo indicado "
                            "por PGPASSFILE, ou num arquivo de serviço do PostgreSQL, "
                            "pg_service.conf), nunca em kvcob.conf.")
                            .arg(confPath, key, group));
                }
            }
            a.m_driver = conf.value(QStringLiteral("Driver"), a.m_driver).toString().trimmed();
            a.m_database = conf.value(QStringLiteral("Database")).toString();
            a.m_host = conf.value(QStringLiteral("Host")).toString();
            a.m_user = conf.value(QStringLiteral("User")).toString();
            // QSettings splits a value at commas; options never hold one on purpose.
            a.m_options =
                conf.value(QStringLiteral("Options")).toStringList().join(QLatin1Char(','));
            a.m_port = conf.value(QStringLiteral("Port"), -1).toInt();
            conf.endGroup();
        }
    }
    if (!a.m_configured && !isDefault)
        throw KvError(QStringLiteral("Alias de banco de dados desconhecido: %1").arg(alias));

    const QString upper = a.m_driver.toUpper();
    if (upper == QStringLiteral("QSQLITE") || upper == QStringLiteral("QPSQL")) {
        a.m_driver = upper;
    } else {
        throw KvError(QStringLiteral("Driver de banco de dados desconhecido em %1: \"%2\". "
                                     "Use Driver=QSQLITE para o arquivo local ou Driver=QPSQL "
                                     "para um servidor PostgreSQL.")
                          .arg(confPath, a.m_driver));
    }
    if (a.isServer() && a.m_database.isEmpty())
        throw KvError(QStringLiteral("Falta o nome do banco de dados (Database=) na seção [%1] "
                                     "de %2.")
                          .arg(alias, confPath));
    return a;
}

QString DbAlias::serverName() const
{
    QString where = m_host.isEmpty() ? QStringLiteral("localhost") : m_host;
    if (m_port > 0)
        where += QLatin1Char(':') + QString::number(m_port);
    return QStringLiteral("%1, banco %2").arg(where, m_database);
}
