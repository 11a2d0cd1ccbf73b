#include "BloquetoPix.h"

#include "KvError.h"
#include "PixKey.h"
#include "PixPayload.h"
#include "RpTextWidths.h"

#include <QFontMetricsF>

#include <algorithm>
#include <iterator>

QString BloquetoPix::checkedKey(const QString& beneficiary, const BeneficiaryPix& settings)
{
    if (settings.chave.trimmed().isEmpty())
        return {};
    const std::optional<PixKey> key = PixKey::parse(settings.chave);
    if (!key)
        throw KvError(QStringLiteral("Chave PIX inválida para o beneficiário %1").arg(beneficiary));
    return key->value();
}

BloquetoPix::Title BloquetoPix::titleOf(const BlqTitle& t)
{
    Title pix;
    pix.imported = t.pixEmv;
    pix.codMoe = t.codMoe;
    pix.cents = BlqTitle::cents(t.titVal);
    pix.nomCed = t.nomCed;
    pix.nosNum = t.nosNum;
    return pix;
}

QString BloquetoPix::payload(const Title& t, const QString& key, const QString& city)
{
    if (!t.imported.isEmpty()) {
        if (!PixPayload::isValid(t.imported))
            throw KvError(
                QStringLiteral("QR CODE PIX INVÁLIDO no título de nosso número %1").arg(t.nosNum));
        return t.imported;
    }
    // A PIX payment is always in reais, and a payload without a value would let the payer
    // choose one.
    if (key.isEmpty() || city.trimmed().isEmpty() || t.codMoe != QStringLiteral("REAL") ||
        t.cents <= 0)
        return {};
    const PixPayload::Static in{key, t.cents, t.nomCed, city, t.nosNum};
    // Fields 59 and 60 may not be empty: a name or city with no printable letter gives
    // no payload rather than one a banking app refuses.
    if (PixPayload::fold(in.name, PixPayload::kNameWidth).isEmpty() ||
        PixPayload::fold(in.city, PixPayload::kCityWidth).isEmpty())
        return {};
    return PixPayload::build(in);
}

QStringList BloquetoPix::lines(const QString& text, const QFontMetricsF& fm,
                               const QList<double>& widths)
{
    return lines(
        text, [&](QStringView t) { return fm.horizontalAdvance(t.toString()); }, widths);
}

namespace {
// Breaks the text as lines() says; `lineEnd(at, width)` gives the end of the most
// characters from `at` on (one at least) that fit the width.
template <typename LineEnd, typename Measure>
QStringList breakPayload(const QString& text, const QList<double>& widths, LineEnd lineEnd,
                         Measure measure)
{
    QStringList out;
    qsizetype at = 0;
    const auto blank = [&](qsizetype i) { return i >= 0 && i < text.size() && text[i] == u' '; };
    for (qsizetype k = 0; k < widths.size() && at < text.size(); ++k) {
        const qsizetype end = lineEnd(at, widths.at(k));
        // Move the break back until neither side of it is a blank; where every break of
        // the line touches one, a blank starting the next line (a visible indent) is
        // better than one ending this line, where nobody sees it.
        qsizetype cut = end;
        while (cut < text.size() && cut - at > 1 && (blank(cut - 1) || blank(cut)))
            --cut;
        if (cut < text.size() && (blank(cut - 1) || blank(cut))) {
            cut = end;
            while (cut < text.size() && cut - at > 1 && blank(cut - 1))
                --cut;
            if (blank(cut - 1))
                cut = end;
        }
        out << text.mid(at, cut - at);
        at = cut;
    }
    if (at < text.size() && !out.isEmpty()) {
        // Not everything fits: say so on the last line instead of ending it silently.
        QString& last = out.last();
        const QString more = QStringLiteral("…");
        while (!last.isEmpty() && measure(QString(last + more)) > widths.at(out.size() - 1))
            last.chop(1);
        last += more;
    }
    return out;
}
} // namespace

QStringList BloquetoPix::lines(const QString& text,
                               const std::function<double(QStringView)>& measure,
                               const QList<double>& widths)
{
    // Payloads are ASCII: their advances are looked up once per call, not once a character.
    double ascii[128];
    std::fill(std::begin(ascii), std::end(ascii), -1.0);
    const auto advanceOf = [&](QChar c) {
        if (c.unicode() >= 128)
            return measure(QStringView(&c, 1));
        double& w = ascii[c.unicode()];
        if (w < 0)
            w = measure(QStringView(&c, 1));
        return w;
    };
    const auto lineEnd = [&](qsizetype at, double width) {
        // Character advances first (cheap), then the line as the page measures it.
        qsizetype end = at;
        double advance = 0;
        while (end < text.size()) {
            const double w = advanceOf(text[end]);
            if (end > at && advance + w > width)
                break;
            advance += w;
            ++end;
        }
        while (end - at > 1 && measure(QStringView(text).mid(at, end - at)) > width)
            --end;
        while (end < text.size() && measure(QStringView(text).mid(at, end + 1 - at)) <= width)
            ++end;
        return end;
    };
    return breakPayload(text, widths, lineEnd, measure);
}

QStringList BloquetoPix::lines(const QString& text, RpTextWidths& measure,
                               const QList<double>& widths)
{
    // The payloads of one beneficiary's titles begin alike (the key, the currency, most
    // of the value): the widths of the first line's beginnings, up to where this text
    // leaves the last one broken, are the last one's.
    struct FirstLine {
        const RpTextWidths* measure = nullptr;
        QString text;
        std::vector<double> widths; // [i]: the width of the first i + 1 characters
    };
    thread_local FirstLine last;
    qsizetype known = 0;
    if (last.measure == &measure) {
        const qsizetype most =
            std::min({text.size(), last.text.size(), qsizetype(last.widths.size())});
        while (known < most && text[known] == last.text[known])
            ++known;
    }
    std::vector<double> first(last.widths.begin(), last.widths.begin() + known);

    bool additive = true;
    const auto lineEnd = [&](qsizetype at, double width) {
        // The width of the characters from `at` up to and including `i`, grown from the
        // one before.
        const auto grow = [&](double& w, qsizetype i) {
            if (at == 0 && i < qsizetype(first.size())) {
                w = first[size_t(i)];
                return true;
            }
            const bool ok = i == at ? measure.extend(w = 0, text[i].unicode(), std::nullopt)
                                    : measure.extend(w, text[i].unicode(), text[i - 1].unicode());
            if (ok && at == 0)
                first.push_back(w);
            return ok;
        };
        double w = 0;
        additive = additive && grow(w, at);
        qsizetype end = at + 1;
        for (; additive && end < text.size(); ++end) {
            double longer = w;
            additive = grow(longer, end);
            if (!additive || longer > width)
                break;
            w = longer;
        }
        return end;
    };
    const QStringList out =
        breakPayload(text, widths, lineEnd, [&](const QString& t) { return measure.width(t); });
    if (additive) {
        last = {&measure, text, std::move(first)};
        return out;
    }
    last = {};
    // A character the tables cannot add up: the text measured as a whole, line by line.
    return lines(
        text, [&](QStringView t) { return measure.width(t); }, widths);
}
