#include "MatricialIni.h"

#include "Cp1252.h"
#include "FileAdvice.h"
#include "IniFile.h"
#include "KvError.h"
#include "ProgramDir.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
const char* const kSection = "Parametros";
const char* const kCancela = "CancelaSaltoPagina";
const char* const kEspacamento = "EspacamentoLinha1/8";
const char* const kReset = "Reset";

QByteArray readKey(const IniFile& ini, const char* key, const QByteArray& fallback)
{
    const QString value = ini.readString(QLatin1StringView(kSection), QLatin1StringView(key),
                                         Cp1252::decode(fallback));
    return Cp1252::encode(value);
}
} // namespace

MatricialIni::Sequences MatricialIni::defaults()
{
    return {QByteArray("\x1bO`"),
            QByteArray("\x1b"
                       "0"),
            QByteArray("\x1b@")};
}

QString MatricialIni::path()
{
    return ProgramDir::file(QStringLiteral("Matricial.ini"));
}

QByteArray MatricialIni::defaultFile()
{
    const Sequences d = defaults();
    QByteArray out;
    out += QByteArray("[") + kSection + "]\r\n";
    out += QByteArray(kCancela) + '=' + d.CancelaSaltoPagina + "\r\n";
    out += QByteArray(kEspacamento) + '=' + d.EspacamentoLinha + "\r\n";
    out += QByteArray(kReset) + '=' + d.Reset + "\r\n";
    return out;
}

void MatricialIni::ensureExists()
{
    const QString file = path();
    if (QFileInfo::exists(file))
        return;
    // Written whole in one go, so that a failure never leaves a file with some keys only.
    QSaveFile save(file);
    const QByteArray bytes = defaultFile();
    if (!save.open(QIODevice::WriteOnly) || save.write(bytes) != bytes.size() || !save.commit())
        throw KvError(QStringLiteral("Unable to write to %1").arg(file),
                      FileAdvice::cannotWrite(file));
}

MatricialIni::Sequences MatricialIni::read()
{
    const IniFile ini(path());
    const Sequences d = defaults();
    return {readKey(ini, kCancela, d.CancelaSaltoPagina),
            readKey(ini, kEspacamento, d.EspacamentoLinha), readKey(ini, kReset, d.Reset)};
}
