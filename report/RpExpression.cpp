#include "RpExpression.h"

#include "KvError.h"
#include "ReportDataSource.h"

namespace {
[[noreturn]] void bad(const QString& text, const QString& why)
{
    throw KvError(QStringLiteral("Expressão inválida \"%1\": %2").arg(text, why));
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}
} // namespace

RpExpression RpExpression::parse(const QString& text)
{
    RpExpression e;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool wantTerm = true;
    auto skipBlanks = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    skipBlanks();
    if (i == n)
        return e; // an empty expression prints nothing
    while (true) {
        skipBlanks();
        if (wantTerm) {
            if (i == n)
                bad(text, QStringLiteral("falta um termo depois de \"+\""));
            if (text.at(i) == QLatin1Char('\'')) {
                QString lit;
                ++i;
                while (true) {
                    if (i == n)
                        bad(text, QStringLiteral("texto sem o apóstrofo final"));
                    if (text.at(i) == QLatin1Char('\'')) {
                        if (i + 1 < n && text.at(i + 1) == QLatin1Char('\'')) {
                            lit += QLatin1Char('\'');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    lit += text.at(i++);
                }
                e.m_terms.append({true, QString(), lit});
            } else if (isNameChar(text.at(i))) {
                const qsizetype start = i;
                while (i < n && (isNameChar(text.at(i)) || text.at(i) == QLatin1Char('.')))
                    ++i;
                const QString ref = text.mid(start, i - start);
                const qsizetype dot = ref.indexOf(QLatin1Char('.'));
                if (dot < 0) {
                    e.m_terms.append({false, QString(), ref});
                } else {
                    const QString src = ref.left(dot);
                    const QString field = ref.mid(dot + 1);
                    if (src.isEmpty() || field.isEmpty() || field.contains(QLatin1Char('.')))
                        bad(text, QStringLiteral("referência de campo \"%1\"").arg(ref));
                    e.m_terms.append({false, src, field});
                }
            } else {
                bad(text, QStringLiteral("caractere inesperado \"%1\"").arg(text.at(i)));
            }
            wantTerm = false;
        } else {
            if (i == n)
                break;
            if (text.at(i) != QLatin1Char('+'))
                bad(text, QStringLiteral("esperava \"+\" e achou \"%1\"").arg(text.at(i)));
            ++i;
            wantTerm = true;
        }
    }
    return e;
}

QString RpExpression::evaluate(const ReportDataSource& source) const
{
    QString out;
    for (const Term& t : m_terms) {
        if (t.literal) {
            out += t.text;
            continue;
        }
        if (!t.source.isEmpty() && t.source.compare(source.name(), Qt::CaseInsensitive) != 0)
            throw KvError(QStringLiteral("Expressão refere-se a \"%1\", mas o relatório lê \"%2\"")
                              .arg(t.source, source.name()));
        out += source.displayText(t.text);
    }
    return out;
}
