#include "FileAdvice.h"

#include <QDir>
#include <QFileInfo>

QString FileAdvice::cannotWrite(const QString& filePath)
{
    const QFileInfo file(filePath);
    const QString name = QDir::toNativeSeparators(file.absoluteFilePath());
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    if (!QFileInfo(file.absolutePath()).isDir())
        return QStringLiteral("Não foi possível gravar o arquivo %1: a pasta %2 não existe; "
                              "crie a pasta ou escolha outra.")
            .arg(name, folder);
    if (file.isDir())
        return QStringLiteral("Não foi possível gravar o arquivo %1: há uma pasta com esse "
                              "nome; remova ou renomeie a pasta.")
            .arg(name);
    if (file.exists() && !file.isWritable())
        return QStringLiteral("Não foi possível gravar o arquivo %1: o arquivo é somente "
                              "leitura; libere a gravação do arquivo.")
            .arg(name);
    if (!QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral("Não foi possível gravar na pasta %1: sem permissão de escrita; "
                              "peça permissão de escrita nessa pasta.")
            .arg(folder);
    return QStringLiteral("Não foi possível gravar o arquivo %1; verifique se há espaço livre "
                          "no disco e tente de novo.")
        .arg(name);
}
