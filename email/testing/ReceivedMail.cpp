#include "ReceivedMail.h"

#include <QRegularExpression>

namespace {
QList<std::pair<QByteArray, QByteArray>> parseHeaders(const QByteArray& block)
{
    QList<std::pair<QByteArray, QByteArray>> out;
    for (const QByteArray& line : block.split('\n')) {
        const QByteArray l = line.endsWith('\r') ? line.chopped(1) : line;
        if (l.isEmpty())
            continue;
        if ((l.startsWith(' ') || l.startsWith('\t')) && !out.isEmpty()) {
            out.last().second += ' ' + l.trimmed();
            continue;
        }
        const qsizetype colon = l.indexOf(':');
        if (colon > 0)
            out.append({l.left(colon).trimmed().toLower(), l.mid(colon + 1).trimmed()});
    }
    return out;
}

QByteArray find(const QList<std::pair<QByteArray, QByteArray>>& headers, const QByteArray& name)
{
    for (const auto& [k, v] : headers) {
        if (k == name.toLower())
            return v;
    }
    return {};
}

QByteArray parameter(const QByteArray& value, const QByteArray& name)
{
    const QRegularExpression re(QStringLiteral("%1=\"?([^\";]+)\"?").arg(QString::fromLatin1(name)),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(QString::fromLatin1(value)).captured(1).toLatin1();
}

std::pair<QByteArray, QByteArray> splitBlock(const QByteArray& raw)
{
    qsizetype at = raw.indexOf("\r\n\r\n");
    qsizetype skip = 4;
    if (at < 0) {
        at = raw.indexOf("\n\n");
        skip = 2;
    }
    if (at < 0)
        return {raw, {}};
    return {raw.left(at), raw.mid(at + skip)};
}
} // namespace

ReceivedMail::ReceivedMail(const QByteArray& raw)
{
    const auto [head, body] = splitBlock(raw);
    m_headers = parseHeaders(head);
    const QByteArray type = find(m_headers, "content-type");
    const QByteArray boundary = parameter(type, "boundary");
    QList<QByteArray> pieces;
    if (boundary.isEmpty()) {
        pieces << head + "\r\n\r\n" + body;
    } else {
        const QByteArray marker = "--" + boundary;
        qsizetype at = body.indexOf(marker);
        while (at >= 0) {
            const qsizetype start = body.indexOf('\n', at) + 1;
            const qsizetype next = body.indexOf(marker, start);
            if (next < 0 || body.mid(at + marker.size(), 2) == "--")
                break;
            QByteArray piece = body.mid(start, next - start);
            if (piece.endsWith("\r\n"))
                piece.chop(2);
            pieces << piece;
            at = next;
        }
    }
    for (const QByteArray& piece : pieces) {
        const auto [ph, pb] = splitBlock(piece);
        const auto headers = parseHeaders(ph);
        Part p;
        p.contentType = find(headers, "content-type");
        const QByteArray disposition = find(headers, "content-disposition");
        p.fileName = QString::fromUtf8(parameter(disposition, "filename"));
        const QByteArray encoding = find(headers, "content-transfer-encoding").toLower();
        if (encoding == "base64")
            p.bytes = QByteArray::fromBase64(pb);
        else if (encoding == "quoted-printable")
            p.bytes = quotedPrintable(pb);
        else
            p.bytes = pb;
        m_parts << p;
    }
}

QByteArray ReceivedMail::rawHeader(const QByteArray& name) const
{
    return find(m_headers, name);
}

QString ReceivedMail::header(const QByteArray& name) const
{
    return decodeWords(rawHeader(name));
}

QString ReceivedMail::text() const
{
    for (const Part& p : m_parts) {
        if (p.contentType.toLower().startsWith("text/plain"))
            return QString::fromUtf8(p.bytes);
    }
    return {};
}

const ReceivedMail::Part* ReceivedMail::attachment() const
{
    for (const Part& p : m_parts) {
        if (!p.fileName.isEmpty())
            return &p;
    }
    return nullptr;
}

QString ReceivedMail::decodeWords(const QByteArray& value)
{
    static const QRegularExpression word(
        QStringLiteral("=\\?UTF-8\\?([BQ])\\?([^?]*)\\?=(\\s+(?==\\?))?"),
        QRegularExpression::CaseInsensitiveOption);
    const QString v = QString::fromLatin1(value);
    QByteArray out;
    qsizetype at = 0;
    for (auto it = word.globalMatch(v); it.hasNext();) {
        const auto m = it.next();
        out += v.mid(at, m.capturedStart() - at).toLatin1();
        const QByteArray data = m.captured(2).toLatin1();
        if (m.captured(1).toUpper() == QStringLiteral("B"))
            out += QByteArray::fromBase64(data);
        else
            out += quotedPrintable(QByteArray(data).replace('_', ' '));
        at = m.capturedEnd();
    }
    out += v.mid(at).toLatin1();
    return QString::fromUtf8(out);
}

QByteArray ReceivedMail::quotedPrintable(const QByteArray& in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c != '=') {
            out += c;
            continue;
        }
        if (i + 1 < in.size() && (in.at(i + 1) == '\r' || in.at(i + 1) == '\n')) {
            i += in.at(i + 1) == '\r' ? 2 : 1; // soft line break
            continue;
        }
        if (i + 2 < in.size()) {
            out += char(QByteArray::fromHex(in.mid(i + 1, 2)).at(0));
            i += 2;
        }
    }
    return out;
}
