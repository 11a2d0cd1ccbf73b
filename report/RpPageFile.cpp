#include "RpPageFile.h"

#include "KvError.h"
#include "PrivateFiles.h"
#include "RpModules.h"
#include "TRpPrinter.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>

// Layout, all numbers little-endian:
//   magic "KVCOBRPT", u16 version, u16 flags (0)
//   u32 paper width µm, u32 paper height µm, u8 landscape
//   u32 font count, fonts: str name, f64 points, u8 bold
//   u32 picture count, pictures: u32 length, PNG bytes
//   u32 page count, pages: u32 op count, ops (kOpBytes each), u32 text length (UTF-16
//   units), text
//   str = u32 length in bytes + UTF-8
// The title is not kept: a loaded report keeps the title of the window that loads it.

namespace {
constexpr char kMagic[8] = {'K', 'V', 'C', 'O', 'B', 'R', 'P', 'T'};
constexpr quint16 kVersion = 1;
constexpr int kOpBytes = 48;
constexpr int kMaxPictureSide = 20000;

class Out {
public:
    void raw(const char* data, qsizetype n) { m_bytes.append(data, n); }
    template <class T> void num(T v)
    {
        T le = qToLittleEndian(v);
        raw(reinterpret_cast<const char*>(&le), sizeof le);
    }
    void u8(quint8 v) { m_bytes.append(char(v)); }
    void f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        num<quint64>(bits);
    }
    void str(const QString& s)
    {
        const QByteArray utf8 = s.toUtf8();
        num<quint32>(quint32(utf8.size()));
        m_bytes.append(utf8);
    }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

class In {
public:
    explicit In(const QByteArray& bytes) : m_bytes(bytes) {}

    [[noreturn]] static void damaged(const QString& what)
    {
        throw KvError(QStringLiteral("O arquivo de relatório está danificado (%1).").arg(what));
    }
    qsizetype left() const { return m_bytes.size() - m_pos; }
    const char* take(qsizetype n, const char* what)
    {
        if (n < 0 || n > left())
            damaged(QStringLiteral("%1 além do fim do arquivo").arg(QLatin1StringView(what)));
        const char* p = m_bytes.constData() + m_pos;
        m_pos += n;
        return p;
    }
    template <class T> T num(const char* what)
    {
        T v;
        std::memcpy(&v, take(sizeof v, what), sizeof v);
        return qFromLittleEndian(v);
    }
    quint8 u8(const char* what) { return quint8(*take(1, what)); }
    double f64(const char* what)
    {
        const quint64 bits = num<quint64>(what);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    // A count of items each at least `itemBytes` long: checked against what is left.
    quint32 count(qsizetype itemBytes, const char* what)
    {
        const quint32 n = num<quint32>(what);
        if (qsizetype(n) > left() / std::max<qsizetype>(1, itemBytes))
            damaged(QStringLiteral("contagem de %1 impossível").arg(QLatin1StringView(what)));
        return n;
    }
    QString str(const char* what)
    {
        const quint32 n = count(1, what);
        return QString::fromUtf8(take(n, what), n);
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

void writeOp(Out& out, const RpOp& op)
{
    out.u8(op.kind);
    out.u8(op.style);
    out.num<quint16>(0);
    for (qint32 v : {op.x, op.y, op.w, op.h})
        out.num<qint32>(v);
    out.num<quint32>(op.color);
    out.num<quint32>(op.fill);
    for (qint32 v : {op.arg, op.p1, op.p2, op.w2, op.h2})
        out.num<qint32>(v);
}

RpOp readOp(In& in, qsizetype fonts, qsizetype pictures)
{
    RpOp op;
    op.kind = in.u8("operação");
    op.style = in.u8("operação");
    in.num<quint16>("operação");
    op.x = in.num<qint32>("operação");
    op.y = in.num<qint32>("operação");
    op.w = in.num<qint32>("operação");
    op.h = in.num<qint32>("operação");
    op.color = in.num<quint32>("operação");
    op.fill = in.num<quint32>("operação");
    op.arg = in.num<qint32>("operação");
    op.p1 = in.num<qint32>("operação");
    op.p2 = in.num<qint32>("operação");
    op.w2 = in.num<qint32>("operação");
    op.h2 = in.num<qint32>("operação");
    if (op.kind > RpOp::Modules)
        In::damaged(QStringLiteral("operação desconhecida"));
    if (op.style > quint8(RpPenStyle::Clear))
        In::damaged(QStringLiteral("estilo de caneta desconhecido"));
    // Coordinates stay within a few metres of the sheet, so that no sum overflows.
    constexpr qint32 kFar = 10'000'000;
    for (qint32 v : {op.x, op.y, op.w, op.h, op.w2, op.h2})
        if (v < -kFar || v > kFar)
            In::damaged(QStringLiteral("coordenada fora da folha"));
    if (op.kind == RpOp::Picture &&
        (op.p1 < -kFar || op.p1 > kFar || op.p2 < -kFar || op.p2 > kFar))
        In::damaged(QStringLiteral("coordenada fora da folha"));
    if ((op.kind == RpOp::Line || op.kind == RpOp::Box) && (op.arg < 0 || op.arg > 255))
        In::damaged(QStringLiteral("largura de caneta impossível"));
    if (op.kind == RpOp::Text && (op.arg < 0 || op.arg >= fonts))
        In::damaged(QStringLiteral("fonte inexistente"));
    if (op.kind == RpOp::Picture && (op.arg < 0 || op.arg >= pictures))
        In::damaged(QStringLiteral("figura inexistente"));
    if (op.kind == RpOp::Modules &&
        (op.arg < 1 || op.arg > RpModules::kMaxSize || op.p2 != RpModules::packedLength(op.arg)))
        In::damaged(QStringLiteral("código de módulos impossível"));
    return op;
}
} // namespace

QByteArray RpPageFile::write(const TRpPrinter& store)
{
    Out out;
    out.raw(kMagic, sizeof kMagic);
    out.num<quint16>(kVersion);
    out.num<quint16>(0);
    out.num<quint32>(quint32(store.paperSize().width()));
    out.num<quint32>(quint32(store.paperSize().height()));
    out.u8(store.landscape() ? 1 : 0);
    out.num<quint32>(quint32(store.fonts().size()));
    for (const RpFont& f : store.fonts()) {
        out.str(f.name);
        out.f64(f.size);
        out.u8(f.bold ? 1 : 0);
    }
    out.num<quint32>(quint32(store.pictures().size()));
    for (const QImage& picture : store.pictures()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(picture))
            throw KvError(QStringLiteral("Não foi possível gravar uma figura do relatório: %1")
                              .arg(writer.errorString()));
        out.num<quint32>(quint32(png.size()));
        out.raw(png.constData(), png.size());
    }
    out.num<quint32>(quint32(store.pageCount()));
    for (int i = 0; i < store.pageCount(); ++i) {
        const RpPage& page = store.page(i);
        out.num<quint32>(quint32(page.ops.size()));
        for (const RpOp& op : page.ops)
            writeOp(out, op);
        out.num<quint32>(quint32(page.text.size()));
        for (QChar c : page.text)
            out.num<quint16>(c.unicode());
    }
    return out.take();
}

void RpPageFile::read(const QByteArray& bytes, TRpPrinter& store)
{
    if (bytes.size() < qsizetype(sizeof kMagic) ||
        std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        throw KvError(QStringLiteral("O arquivo não é um relatório salvo por este programa."));
    In in(bytes);
    in.take(sizeof kMagic, "cabeçalho");
    const quint16 version = in.num<quint16>("versão");
    if (version == 0 || version > kVersion)
        throw KvError(QStringLiteral("O arquivo de relatório é de uma versão mais nova do "
                                     "programa (versão %1).")
                          .arg(version));
    if (in.num<quint16>("cabeçalho") != 0)
        In::damaged(QStringLiteral("cabeçalho"));
    const quint32 width = in.num<quint32>("papel");
    const quint32 height = in.num<quint32>("papel");
    if (width < 1000 || height < 1000 || width > 5'000'000 || height > 5'000'000)
        In::damaged(QStringLiteral("tamanho do papel"));
    const quint8 landscape = in.u8("papel");
    if (landscape > 1)
        In::damaged(QStringLiteral("orientação do papel"));

    QList<RpFont> fonts;
    const quint32 fontCount = in.count(13, "fontes");
    for (quint32 i = 0; i < fontCount; ++i) {
        RpFont f;
        f.name = in.str("nome de fonte");
        f.size = in.f64("tamanho de fonte");
        if (!(f.size > 0 && f.size < 1000))
            In::damaged(QStringLiteral("tamanho de fonte"));
        const quint8 bold = in.u8("fonte");
        if (bold > 1)
            In::damaged(QStringLiteral("estilo de fonte"));
        f.bold = bold == 1;
        fonts << f;
    }

    QList<QImage> pictures;
    const quint32 pictureCount = in.count(4, "figuras");
    for (quint32 i = 0; i < pictureCount; ++i) {
        const quint32 n = in.count(1, "figura");
        QByteArray png = QByteArray::fromRawData(in.take(n, "figura"), n);
        QBuffer buffer(&png);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        reader.setDecideFormatFromContent(false);
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
            In::damaged(QStringLiteral("figura"));
        QImage picture = reader.read();
        if (picture.isNull())
            In::damaged(QStringLiteral("figura"));
        pictures << picture;
    }

    std::vector<RpPage> pages;
    const quint32 pageCount = in.count(8, "páginas");
    pages.reserve(pageCount);
    for (quint32 i = 0; i < pageCount; ++i) {
        RpPage page;
        const quint32 ops = in.count(kOpBytes, "operações");
        page.ops.reserve(ops);
        for (quint32 k = 0; k < ops; ++k)
            page.ops.append(readOp(in, fonts.size(), pictures.size()));
        const quint32 chars = in.count(2, "texto");
        page.text.resize(chars);
        for (quint32 k = 0; k < chars; ++k)
            page.text[k] = QChar(in.num<quint16>("texto"));
        for (const RpOp& op : page.ops) {
            if (op.holdsText() &&
                (op.p1 < 0 || op.p2 < 0 || qsizetype(op.p1) + op.p2 > page.text.size()))
                In::damaged(QStringLiteral("texto fora da página"));
        }
        pages.push_back(std::move(page));
    }
    if (in.left() != 0)
        In::damaged(QStringLiteral("dados depois do fim"));
    store.replaceContent(std::move(pages), std::move(fonts), std::move(pictures),
                         QSize(int(width), int(height)), landscape == 1);
}

void RpPageFile::save(const TRpPrinter& store, const QString& path)
{
    if (!store.isFinished())
        return;
    const QByteArray bytes = write(store);
    PrivateFiles::tighten(path); // the new file takes the old one's permissions
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw KvError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                          .arg(path, file.errorString()));
}

void RpPageFile::load(const QString& path, TRpPrinter& store)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KvError(QStringLiteral("Impossível carregar o arquivo selecionado: %1").arg(path));
    try {
        read(file.readAll(), store);
    } catch (const KvError& e) {
        throw KvError(QStringLiteral("Impossível carregar o arquivo selecionado: %1\n%2")
                          .arg(path, e.message()));
    }
}

QString RpPageFile::saveFilter()
{
    return QStringLiteral("Arquivo de relatório (*.KVR)");
}
