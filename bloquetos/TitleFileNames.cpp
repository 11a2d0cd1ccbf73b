#include "TitleFileNames.h"

namespace {
const QString kExtension = QStringLiteral(".pdf");

bool portable(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') ||
           c == U'.' || c == U'_' || c == U'-';
}

// One '_' for each character outside the portable set, a pair of surrogates included.
QString portablePart(const QString& text)
{
    QString out;
    const QString trimmed = text.trimmed();
    out.reserve(trimmed.size());
    for (const char32_t c : trimmed.toUcs4())
        out += portable(c) ? QChar(c) : QLatin1Char('_');
    return out;
}
} // namespace

QString TitleFileNames::baseName(const QString& seuNum, const QString& nosNum)
{
    const QString seu = portablePart(seuNum);
    const QString nos = portablePart(nosNum);
    if (seu.isEmpty())
        return (nos.isEmpty() ? QStringLiteral("bloqueto") : nos) + kExtension;
    return seu + QLatin1Char('-') + nos + kExtension;
}

QString TitleFileNames::take(const QString& seuNum, const QString& nosNum)
{
    const QString base = baseName(seuNum, nosNum);
    QString name = base;
    const QString stem = base.chopped(kExtension.size());
    for (int k = 2; m_taken.contains(name.toLower()); ++k)
        name = stem + QLatin1Char('-') + QString::number(k) + kExtension;
    m_taken.insert(name.toLower());
    return name;
}
