#include "RpCompactPages.h"

#include <QSet>
#include <algorithm>
#include <cstring>

namespace {
// References kept for comparing new pages with: the shapes a report's pages take (with
// or without a late fee, a guarantor, a second line) are few.
constexpr size_t kRecent = 8;

// Which fields of an operation changed, in the order they are written.
enum Field : quint32 {
    KindStyle = 1 << 0,
    X = 1 << 1,
    Y = 1 << 2,
    W = 1 << 3,
    H = 1 << 4,
    Color = 1 << 5,
    Fill = 1 << 6,
    Arg = 1 << 7,
    P1 = 1 << 8, // not for texts, whose p1 and p2 place the text in the page's buffer
    P2 = 1 << 9,
    W2 = 1 << 10,
    H2 = 1 << 11,
    TextLatin1 = 1 << 12,
    TextUtf16 = 1 << 13,
};

// The bit of field `f` when it changed, else none.
quint32 ifChanged(bool changed, Field f)
{
    return changed ? quint32(f) : 0u;
}

void putVarint(QByteArray& out, quint64 v)
{
    while (v >= 0x80) {
        out += char(v | 0x80);
        v >>= 7;
    }
    out += char(v);
}

void putDelta(QByteArray& out, qint64 now, qint64 before)
{
    const qint64 d = now - before;
    putVarint(out, (quint64(d) << 1) ^ quint64(d >> 63));
}

void putWord(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out += char(v >> (8 * i));
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_p(bytes.constData()), m_end(m_p + bytes.size()) {}
    bool atEnd() const { return m_p >= m_end; }
    quint64 varint()
    {
        quint64 v = 0;
        for (int shift = 0; m_p < m_end; shift += 7) {
            const auto b = uchar(*m_p++);
            v |= quint64(b & 0x7f) << shift;
            if (!(b & 0x80))
                break;
        }
        return v;
    }
    qint32 delta(qint32 before)
    {
        const quint64 z = varint();
        return qint32(qint64(before) + (qint64(z >> 1) ^ -qint64(z & 1)));
    }
    quint32 word()
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(uchar(*m_p++)) << (8 * i);
        return v;
    }
    QString latin1(qsizetype n)
    {
        const QString s = QString::fromLatin1(m_p, n);
        m_p += n;
        return s;
    }
    QString utf16(qsizetype n)
    {
        QString s(n, Qt::Uninitialized);
        std::memcpy(s.data(), m_p, size_t(n) * 2);
        m_p += n * 2;
        return s;
    }

private:
    const char* m_p;
    const char* m_end;
};

bool fitsLatin1(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x100; });
}
} // namespace

bool RpCompactPages::plain(const RpPage& page)
{
    qsizetype at = 0;
    for (const RpOp& op : page.ops) {
        if (!op.holdsText())
            continue;
        if (op.p1 != at || op.p2 < 0)
            return false;
        at += op.p2;
    }
    return at == page.text.size();
}

std::shared_ptr<const RpCompactPages::Reference> RpCompactPages::makeReference(RpPage page)
{
    auto ref = std::make_shared<Reference>();
    page.ops.squeeze();
    page.text.squeeze();
    ref->texts.reserve(page.ops.size());
    for (const RpOp& op : page.ops)
        ref->texts << (op.holdsText() ? page.textOf(op).toString() : QString());
    ref->page = std::move(page);
    return ref;
}

std::optional<QByteArray> RpCompactPages::changes(const RpPage& page, const Reference& reference,
                                                  qsizetype most)
{
    QByteArray out;
    qsizetype next = 0;
    const QList<RpOp>& before = reference.page.ops;
    for (qsizetype i = 0; i < page.ops.size(); ++i) {
        const RpOp& a = page.ops.at(i);
        const RpOp& b = before.at(i);
        const bool text = a.holdsText();
        const QStringView now = text ? page.textOf(a) : QStringView();
        quint32 mask = 0;
        if (a.kind != b.kind || a.style != b.style || a.reserved != b.reserved)
            mask |= KindStyle;
        mask |= ifChanged(a.x != b.x, X) | ifChanged(a.y != b.y, Y) | ifChanged(a.w != b.w, W) |
                ifChanged(a.h != b.h, H) | ifChanged(a.color != b.color, Color) |
                ifChanged(a.fill != b.fill, Fill) | ifChanged(a.arg != b.arg, Arg) |
                ifChanged(a.w2 != b.w2, W2) | ifChanged(a.h2 != b.h2, H2);
        if (text) {
            const QString& then = b.holdsText() ? reference.texts.at(i) : QString();
            if (now != then)
                mask |= fitsLatin1(now) ? TextLatin1 : TextUtf16;
        } else {
            mask |= ifChanged(a.p1 != b.p1, P1) | ifChanged(a.p2 != b.p2, P2);
        }
        if (!mask)
            continue;
        putVarint(out, quint64(i - next));
        next = i + 1;
        putVarint(out, mask);
        if (mask & KindStyle) {
            putVarint(out, a.kind);
            putVarint(out, a.style);
            putVarint(out, a.reserved);
        }
        if (mask & X)
            putDelta(out, a.x, b.x);
        if (mask & Y)
            putDelta(out, a.y, b.y);
        if (mask & W)
            putDelta(out, a.w, b.w);
        if (mask & H)
            putDelta(out, a.h, b.h);
        if (mask & Color)
            putWord(out, a.color);
        if (mask & Fill)
            putWord(out, a.fill);
        if (mask & Arg)
            putDelta(out, a.arg, b.arg);
        if (mask & P1)
            putDelta(out, a.p1, b.p1);
        if (mask & P2)
            putDelta(out, a.p2, b.p2);
        if (mask & W2)
            putDelta(out, a.w2, b.w2);
        if (mask & H2)
            putDelta(out, a.h2, b.h2);
        if (mask & TextLatin1) {
            putVarint(out, quint64(now.size()));
            out += now.toLatin1();
        } else if (mask & TextUtf16) {
            putVarint(out, quint64(now.size()));
            out.append(reinterpret_cast<const char*>(now.utf16()), now.size() * 2);
        }
        if (out.size() > most)
            return std::nullopt;
    }
    return out;
}

void RpCompactPages::append(RpPage page)
{
    if (plain(page)) {
        std::optional<QByteArray> best;
        std::shared_ptr<const Reference> bestRef;
        // Changes bigger than half the page are not worth a reference to keep alive.
        const qsizetype most = page.bytes() / 2;
        for (const auto& ref : m_recent) {
            if (ref->page.ops.size() != page.ops.size())
                continue;
            std::optional<QByteArray> c = changes(page, *ref, most);
            if (!c || (best && c->size() >= best->size()))
                continue;
            best = std::move(c);
            bestRef = ref;
        }
        if (bestRef) {
            best->squeeze();
            m_pages.push_back({std::move(bestRef), std::move(*best), false});
            return;
        }
    }
    auto ref = makeReference(std::move(page));
    m_recent.insert(m_recent.begin(), ref);
    if (m_recent.size() > kRecent)
        m_recent.pop_back();
    m_pages.push_back({std::move(ref), QByteArray(), true});
}

RpPage RpCompactPages::at(size_t index) const
{
    const Stored& s = m_pages.at(index);
    if (!s.reference)
        return {};
    if (s.whole)
        return s.reference->page;
    const Reference& ref = *s.reference;
    RpPage page;
    page.ops = ref.page.ops;
    QList<QString> texts = ref.texts;
    Reader in(s.changes);
    qsizetype next = 0;
    while (!in.atEnd()) {
        const qsizetype i = next + qsizetype(in.varint());
        next = i + 1;
        const quint32 mask = quint32(in.varint());
        RpOp& op = page.ops[i];
        if (mask & KindStyle) {
            if (op.holdsText())
                texts[i].clear();
            op.kind = quint8(in.varint() & 0xff);
            op.style = quint8(in.varint() & 0xff);
            op.reserved = quint16(in.varint());
        }
        if (mask & X)
            op.x = in.delta(op.x);
        if (mask & Y)
            op.y = in.delta(op.y);
        if (mask & W)
            op.w = in.delta(op.w);
        if (mask & H)
            op.h = in.delta(op.h);
        if (mask & Color)
            op.color = in.word();
        if (mask & Fill)
            op.fill = in.word();
        if (mask & Arg)
            op.arg = in.delta(op.arg);
        if (mask & P1)
            op.p1 = in.delta(op.p1);
        if (mask & P2)
            op.p2 = in.delta(op.p2);
        if (mask & W2)
            op.w2 = in.delta(op.w2);
        if (mask & H2)
            op.h2 = in.delta(op.h2);
        if (mask & TextLatin1)
            texts[i] = in.latin1(qsizetype(in.varint()));
        else if (mask & TextUtf16)
            texts[i] = in.utf16(qsizetype(in.varint()));
    }
    qsizetype length = 0;
    for (qsizetype i = 0; i < page.ops.size(); ++i) {
        if (page.ops.at(i).holdsText())
            length += texts.at(i).size();
    }
    page.text.reserve(length);
    for (qsizetype i = 0; i < page.ops.size(); ++i) {
        RpOp& op = page.ops[i];
        if (!op.holdsText())
            continue;
        op.p1 = qint32(page.text.size());
        op.p2 = qint32(texts.at(i).size());
        page.text += texts.at(i);
    }
    return page;
}

void RpCompactPages::release(size_t index)
{
    if (index < m_pages.size())
        m_pages[index] = Stored();
}

void RpCompactPages::assign(std::vector<RpPage> pages)
{
    m_pages.clear();
    m_recent.clear();
    m_pages.reserve(pages.size());
    for (RpPage& p : pages)
        append(std::move(p));
}

qsizetype RpCompactPages::bytes() const
{
    qsizetype total = qsizetype(m_pages.capacity() * sizeof(Stored));
    QSet<const Reference*> counted;
    for (const Stored& s : m_pages) {
        total += s.changes.capacity();
        if (s.reference && !counted.contains(s.reference.get())) {
            counted.insert(s.reference.get());
            total += qsizetype(sizeof(Reference)) + s.reference->page.bytes();
            for (const QString& t : s.reference->texts)
                total += t.capacity() * 2;
        }
    }
    return total;
}
