#include "RpPdfWriter.h"

#include "Clock.h"
#include "ReportFonts.h"
#include "RpPdfFont.h"
#include "TRpPrinter.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QIODevice>
#include <QImage>
#include <libdeflate.h>

namespace {
// Objects with fixed numbers; the others are numbered as they come.
enum : int { kCatalog = 1, kPages, kInfo, kResources, kFirstFree };

// Subsets a series keeps at most: one for each set of glyphs its files show. An office's
// file of 10,000 titles shows some hundreds of sets a face; a subset is a few kilobytes.
constexpr qsizetype kKeptPrograms = 2048;

// The usual level: with the repeated parts in a form a page's own content is a few
// kilobytes, which the fastest level packs 7% worse for little time to win.
constexpr int kDeflateLevel = 6;
// A page with a QR code holds its rows of modules and its payload, a kilobyte or so that
// is close to random and that the usual level packs only 4% better, at a cost that keeps
// such pages well behind the others: they are packed at the fastest level.
constexpr int kQuickLevel = 1;
// A font program is packed once for a file, or once for every file of a series that shows
// the same glyphs: a slower level packs it a little smaller (the slowest ones, beyond 9,
// cost more than the rest of a series' work for a few bytes more).
constexpr int kProgramLevel = 9;

// "N 0 R": a reference to object N.
QByteArray ref(int object)
{
    return QByteArray::number(object) + " 0 R";
}

QByteArray points(int um)
{
    QByteArray s = QByteArray::number(um * 72.0 / Rp::kUmPerInch, 'f', 2);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s;
}

// A text string of the document information: UTF-16 with its byte-order mark.
QByteArray textString(const QString& text)
{
    QByteArray hex = "<FEFF";
    for (QChar c : text)
        hex += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

QByteArray subsetTag(size_t face)
{
    QByteArray tag = "KVAAAA";
    for (qsizetype i = tag.size() - 1; i >= 2 && face > 0; --i, face /= 26)
        tag[i] = char('A' + face % 26);
    return tag + '+';
}
} // namespace

struct RpPdfWriter::Deflater {
    // By level; made at the first use of each.
    std::map<int, libdeflate_compressor*> packers;
    ~Deflater()
    {
        for (const auto& [level, packer] : packers)
            libdeflate_free_compressor(packer);
    }
};

RpPdfWriter::RpPdfWriter(QIODevice& out, Files files)
    : m_files(files), m_deflater(std::make_unique<Deflater>())
{
    m_buffer.reserve(64 * 1024);
    m_content.reserve(64 * 1024);
    begin(out);
}

void RpPdfWriter::begin(QIODevice& out)
{
    m_out = &out;
    m_buffer.resize(0);
    m_written = 0;
    m_failed = false;
    m_offsets.assign(kFirstFree, 0);
    m_pageObjects.clear();
    m_drewModules = false;
    // A binary comment tells transfer programs that the file is not text.
    m_buffer += "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
}

void RpPdfWriter::restart(QIODevice& out)
{
    begin(out);
    // What the store's indexes mean stays; what this file holds starts again.
    std::fill(m_pictures.begin(), m_pictures.end(), 0);
    m_formObjects.clear();
    m_templates.forgetObjects();
    for (const auto& face : m_faces)
        face->setUsage({});
}

RpPdfWriter::~RpPdfWriter() = default;

int RpPdfWriter::newObject()
{
    m_offsets.push_back(0);
    return int(m_offsets.size() - 1);
}

void RpPdfWriter::beginObject(int number)
{
    m_offsets[size_t(number)] = m_written + m_buffer.size();
    m_buffer += QByteArray::number(number);
    m_buffer += " 0 obj\n";
}

void RpPdfWriter::writeObject(int number, const QByteArray& body)
{
    beginObject(number);
    m_buffer += body;
    m_buffer += "\nendobj\n";
}

void RpPdfWriter::writeStream(int number, const QByteArray& dictionary, const QByteArray& data,
                              bool quick)
{
    writePacked(number, {dictionary, deflate(data, quick)});
}

void RpPdfWriter::writePacked(int number, const Packed& packed)
{
    beginObject(number);
    m_buffer += "<< ";
    m_buffer += packed.dictionary;
    m_buffer += "/Length ";
    m_buffer += QByteArray::number(packed.data.size());
    m_buffer += " /Filter /FlateDecode >>\nstream\n";
    m_buffer += packed.data;
    m_buffer += "\nendstream\nendobj\n";
}

void RpPdfWriter::flush()
{
    if (!m_failed && m_out->write(m_buffer) != m_buffer.size())
        m_failed = true;
    m_written += m_buffer.size();
    m_buffer.resize(0); // keeps its room for the next page
}

void RpPdfWriter::flushPage()
{
    // A long file goes out page by page; a file of a series, a few pages at most, in one
    // write: each write of a small file costs more than its bytes.
    if (m_files == Files::One)
        flush();
    else
        flushAtTimes();
}

void RpPdfWriter::flushAtTimes()
{
    if (m_buffer.size() >= 64 * 1024)
        flush();
}

const QByteArray& RpPdfWriter::deflate(const QByteArray& data, bool quick, int level)
{
    if (level == 0)
        level = quick ? kQuickLevel : kDeflateLevel;
    libdeflate_compressor*& packer = m_deflater->packers[level];
    if (!packer) {
        packer = libdeflate_alloc_compressor(level);
        if (!packer)
            throw std::bad_alloc();
    }
    m_compressed.resize(qsizetype(libdeflate_zlib_compress_bound(packer, size_t(data.size()))));
    const size_t packed =
        libdeflate_zlib_compress(packer, data.constData(), size_t(data.size()), m_compressed.data(),
                                 size_t(m_compressed.size()));
    if (packed == 0) // never with the room the bound gives
        throw std::bad_alloc();
    m_compressed.resize(qsizetype(packed));
    return m_compressed;
}

void RpPdfWriter::mapFonts(const QList<RpFont>& fonts)
{
    for (size_t i = m_fonts.size(); i < size_t(fonts.size()); ++i) {
        const QFont font = ReportFonts::layoutFont(fonts.at(qsizetype(i)));
        const QRawFont face = RpPdfFont::faceOf(font);
        size_t f = 0;
        while (f < m_faces.size() && !m_faces[f]->isFace(face))
            ++f;
        if (f == m_faces.size())
            m_faces.push_back(std::make_unique<RpPdfFont>(font));
        m_fonts.push_back({int(f), font.pixelSize()});
    }
}

void RpPdfWriter::mapPictures(const QList<QImage>& pictures, const RpPage& page)
{
    if (m_pictures.size() < size_t(pictures.size()))
        m_pictures.resize(size_t(pictures.size()), 0);
    for (const RpOp& op : page.ops) {
        if (op.kind == RpOp::Picture && op.arg >= 0 && op.arg < pictures.size() &&
            m_pictures[size_t(op.arg)] == 0)
            m_pictures[size_t(op.arg)] = writeImage(op.arg, pictures.at(op.arg));
    }
}

int RpPdfWriter::writeImage(int index, const QImage& picture)
{
    if (m_files == Files::Series && m_packedPictures.size() <= size_t(index))
        m_packedPictures.resize(size_t(index) + 1);
    std::vector<Packed> parts =
        m_files == Files::Series ? m_packedPictures[size_t(index)] : std::vector<Packed>();
    if (parts.empty()) {
        parts = packImage(picture);
        if (m_files == Files::Series)
            m_packedPictures[size_t(index)] = parts;
    }
    int mask = 0;
    if (parts.size() > 1) {
        mask = newObject();
        writePacked(mask, parts[1]);
    }
    const int object = newObject();
    Packed image = parts[0];
    if (mask)
        image.dictionary += "/SMask " + ref(mask) + ' ';
    writePacked(object, image);
    return object;
}

std::vector<RpPdfWriter::Packed> RpPdfWriter::packImage(const QImage& picture)
{
    QImage image = picture.convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull()) { // draws nothing, as the painter does
        image = QImage(1, 1, QImage::Format_RGBA8888);
        image.fill(Qt::transparent);
    }
    const int w = image.width(), h = image.height();
    QByteArray rgb(qsizetype(w) * h * 3, Qt::Uninitialized);
    QByteArray alpha(qsizetype(w) * h, Qt::Uninitialized);
    bool seeThrough = false;
    char* c = rgb.data();
    char* a = alpha.data();
    for (int y = 0; y < h; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < w; ++x, line += 4) {
            *c++ = char(line[0]);
            *c++ = char(line[1]);
            *c++ = char(line[2]);
            *a++ = char(line[3]);
            seeThrough |= line[3] != 255;
        }
    }
    const QByteArray size = "/Width " + QByteArray::number(w) + " /Height " +
                            QByteArray::number(h) + " /BitsPerComponent 8 ";
    std::vector<Packed> parts;
    parts.push_back(
        {"/Type /XObject /Subtype /Image " + size + "/ColorSpace /DeviceRGB ", deflate(rgb)});
    if (seeThrough)
        parts.push_back({"/Type /XObject /Subtype /Image " + size + "/ColorSpace /DeviceGray ",
                         deflate(alpha)});
    return parts;
}

void RpPdfWriter::addPage(const TRpPrinter& store, int index)
{
    if (index < 0 || index >= store.pageCount())
        return;
    addPage(store.page(index), store.fonts(), store.pictures(), store.paperSize(), store.title());
}

void RpPdfWriter::addPage(const RpPage& page, const QList<RpFont>& fonts,
                          const QList<QImage>& pictures, QSize paper, const QString& title)
{
    if (m_pageObjects.empty()) {
        m_paper = paper;
        m_title = title;
    }
    mapFonts(fonts);
    mapPictures(pictures, page);
    m_encoder.setPaper(m_paper.height(), int(m_pictures.size()));
    const RpPdfTemplates::Choice plan = m_templates.choose(page);
    m_content.resize(0);
    if (plan.form >= 0) {
        if (m_templates.formObject(plan.form) == 0)
            writeForm(page, plan);
        m_content += "/T";
        m_content += QByteArray::number(m_templates.formObject(plan.form));
        m_content += " Do\n";
        m_encoder.encode(page, plan.own, m_content);
    } else {
        m_encoder.encode(page, {}, m_content);
    }
    m_templates.pageDone(page);
    m_drewModules = m_drewModules || m_encoder.drewModules();
    const int content = newObject();
    writeStream(content, {}, m_content, m_encoder.drewModules());
    const int pageObject = newObject();
    writeObject(pageObject,
                "<< /Type /Page /Parent " + ref(kPages) + " /Contents " + ref(content) + " >>");
    m_pageObjects.push_back(pageObject);
    flushPage();
}

void RpPdfWriter::writeForm(const RpPage& page, const RpPdfTemplates::Choice& plan)
{
    std::vector<bool> formOps(plan.own.size());
    for (size_t i = 0; i < formOps.size(); ++i)
        formOps[i] = !plan.own[i];
    const int form = newObject();
    const QByteArray dictionary = "/Type /XObject /Subtype /Form /BBox [0 0 " +
                                  points(m_paper.width()) + ' ' + points(m_paper.height()) +
                                  "] /Resources " + ref(kResources) + ' ';
    m_content.resize(0);
    if (m_files == Files::One) {
        m_encoder.encode(page, formOps, m_content);
        m_drewModules = m_drewModules || m_encoder.drewModules();
        writeStream(form, dictionary, m_content);
    } else {
        // A form an earlier file wrote is the same bytes here; what it shows of each face
        // counts for this file's subsets too.
        const int id = m_templates.formId(plan.form);
        auto it = m_packedForms.find(id);
        if (it == m_packedForms.end()) {
            const std::vector<RpPdfFont::Usage> before = usageOfFaces();
            for (const auto& face : m_faces)
                face->setUsage({});
            m_encoder.encode(page, formOps, m_content);
            PackedForm packed{deflate(m_content), usageOfFaces(), m_encoder.drewModules()};
            for (size_t f = 0; f < m_faces.size(); ++f)
                m_faces[f]->setUsage(RpPdfFont::Usage(before[f]) |= packed.usage[f]);
            std::erase_if(m_packedForms,
                          [&](const auto& kept) { return !m_templates.holdsForm(kept.first); });
            it = m_packedForms.emplace(id, std::move(packed)).first;
        } else {
            for (size_t f = 0; f < it->second.usage.size(); ++f) {
                RpPdfFont::Usage usage = m_faces[f]->usage();
                m_faces[f]->setUsage(usage |= it->second.usage[f]);
            }
        }
        m_drewModules = m_drewModules || it->second.modules;
        writePacked(form, {dictionary, it->second.data});
    }
    m_templates.setFormObject(plan.form, form);
    m_formObjects.push_back(form);
    m_content.resize(0);
}

std::vector<RpPdfFont::Usage> RpPdfWriter::usageOfFaces() const
{
    std::vector<RpPdfFont::Usage> out;
    for (const auto& face : m_faces)
        out.push_back(face->usage());
    return out;
}

void RpPdfWriter::writeFont(size_t f, QByteArray& resources)
{
    const RpPdfFont& face = *m_faces[f];
    // The subset of a face depends only on the glyphs shown: a series makes each once, and
    // gives its files the widths of the codes they show only.
    const SeriesFont* known = nullptr;
    SeriesFont made;
    QByteArray key;
    if (m_files == Files::Series) {
        key = QByteArray::number(qulonglong(f)) + ':' +
              QByteArray::fromStdString(face.usage().codes.to_string());
        const auto it = m_packedPrograms.constFind(key);
        if (it != m_packedPrograms.cend())
            known = &*it;
    }
    if (!known) {
        const QByteArray bytes = face.program();
        if (!bytes.isEmpty()) {
            made.program = {"/Length1 " + QByteArray::number(bytes.size()) + ' ',
                            deflate(bytes, false, kProgramLevel)};
        }
        if (m_files == Files::Series) {
            made.dictionaryHead =
                face.shownDictionaryHead(made.program.data.isEmpty() ? QByteArray() : subsetTag(f));
            if (m_packedPrograms.size() >= kKeptPrograms)
                m_packedPrograms.clear();
            known = &*m_packedPrograms.insert(key, std::move(made));
        } else {
            known = &made;
        }
    }
    const QByteArray tag = known->program.data.isEmpty() ? QByteArray() : subsetTag(f);
    int programObject = 0;
    if (!known->program.data.isEmpty()) {
        programObject = newObject();
        writePacked(programObject, known->program);
    }
    const int descriptor = newObject();
    writeObject(descriptor, face.descriptor(programObject, tag));
    const int object = newObject();
    if (m_files == Files::Series)
        writeObject(object, known->dictionaryHead + ref(descriptor) + " >>");
    else
        writeObject(object, face.fontDictionary(descriptor, tag));
    resources += "/F" + QByteArray::number(qulonglong(f)) + ' ' + ref(object) + ' ';
}

void RpPdfWriter::writeModuleFont(QByteArray& resources)
{
    QList<int> glyphs;
    for (int g = 0; g < RpPdfContent::kModuleGlyphs; ++g) {
        glyphs << newObject();
        writeStream(glyphs.last(), {}, RpPdfContent::moduleGlyph(g));
    }
    const int unicode = newObject();
    writeStream(unicode, {}, RpPdfContent::moduleUnicode());
    const int font = newObject();
    writeObject(font, RpPdfContent::moduleFont(glyphs, unicode));
    resources += RpPdfContent::kModuleFont;
    resources += ' ' + ref(font) + ' ';
}

bool RpPdfWriter::finish()
{
    QByteArray fonts, pictures;
    for (size_t f = 0; f < m_faces.size(); ++f) {
        // A face the file never shows is left out (a series' store knows the faces of
        // every file).
        if (!m_faces[f]->usage().shown)
            continue;
        writeFont(f, fonts);
        flushPage();
    }
    if (m_drewModules)
        writeModuleFont(fonts);
    for (size_t p = 0; p < m_pictures.size(); ++p) {
        if (m_pictures[p])
            pictures += "/I" + QByteArray::number(qulonglong(p)) + ' ' + ref(m_pictures[p]) + ' ';
    }
    for (int form : m_formObjects)
        pictures += "/T" + QByteArray::number(form) + ' ' + ref(form) + ' ';
    writeObject(kResources, "<< /ProcSet [/PDF /Text /ImageC] /Font << " + fonts +
                                ">> /XObject << " + pictures + ">> >>");

    // The page list and the cross-reference table grow with the pages: they go out in
    // pieces.
    beginObject(kPages);
    m_buffer += "<< /Type /Pages /Count " + QByteArray::number(pageCount()) + " /MediaBox [0 0 " +
                points(m_paper.width()) + ' ' + points(m_paper.height()) + "] /Resources " +
                ref(kResources) + " /Kids [";
    for (size_t i = 0; i < m_pageObjects.size(); ++i) {
        m_buffer += i % 10 == 0 ? '\n' : ' ';
        m_buffer += ref(m_pageObjects[i]);
        flushAtTimes();
    }
    m_buffer += "\n] >>\nendobj\n";
    writeObject(kCatalog, "<< /Type /Catalog /Pages " + ref(kPages) + " >>");
    const QByteArray date =
        "(D:" + Clock::now().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + ')';
    writeObject(kInfo, "<< /Title " + textString(m_title) +
                           " /Creator (kvcob) /Producer (kvcob) /CreationDate " + date + " >>");

    const qint64 xref = m_written + m_buffer.size();
    m_buffer +=
        "xref\n0 " + QByteArray::number(qulonglong(m_offsets.size())) + "\n0000000000 65535 f \n";
    for (size_t i = 1; i < m_offsets.size(); ++i) {
        m_buffer += QByteArray::number(m_offsets[i]).rightJustified(10, '0');
        m_buffer += " 00000 n \n";
        flushAtTimes();
    }
    const QByteArray id =
        QCryptographicHash::hash(m_title.toUtf8() + date + QByteArray::number(m_written),
                                 QCryptographicHash::Md5)
            .toHex();
    m_buffer += "trailer\n<< /Size " + QByteArray::number(qulonglong(m_offsets.size())) +
                " /Root " + ref(kCatalog) + " /Info " + ref(kInfo) + " /ID [<" + id + "> <" + id +
                ">] >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    flush();
    return !m_failed;
}
