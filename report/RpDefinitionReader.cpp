#include "RpDefinitionReader.h"

#include "KvError.h"
#include "TRpReport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

// The keys every text element may carry besides its own.
#define FONT_KEYS "font", "alignment", "alignToBand", "autoSize", "wordWrap", "transparent", "color"

namespace {

class Reader {
public:
    Reader(const QString& origin, const QString& baseDir) : m_origin(origin), m_baseDir(baseDir) {}

    [[noreturn]] void fail(const QString& why) const
    {
        QString where = m_origin.isEmpty() ? QStringLiteral("definição de relatório") : m_origin;
        if (!m_context.isEmpty())
            where += QStringLiteral(", ") + m_context;
        throw KvError(QStringLiteral("Definição de relatório inválida (%1): %2").arg(where, why));
    }

    void checkKeys(const QJsonObject& o, std::initializer_list<const char*> allowed)
    {
        QSet<QString> ok;
        for (const char* k : allowed)
            ok.insert(QLatin1StringView(k));
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!ok.contains(it.key()))
                fail(QStringLiteral("chave desconhecida \"%1\"").arg(it.key()));
        }
    }

    QString str(const QJsonObject& o, const char* key, const QString& def = QString())
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return def;
        if (!v.isString())
            fail(QStringLiteral("\"%1\" deve ser um texto").arg(QLatin1StringView(key)));
        return v.toString();
    }

    double num(const QJsonObject& o, const char* key, double def)
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return def;
        if (!v.isDouble())
            fail(QStringLiteral("\"%1\" deve ser um número").arg(QLatin1StringView(key)));
        return v.toDouble();
    }

    bool flag(const QJsonObject& o, const char* key, bool def)
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return def;
        if (!v.isBool())
            fail(QStringLiteral("\"%1\" deve ser true ou false").arg(QLatin1StringView(key)));
        return v.toBool();
    }

    QJsonObject obj(const QJsonObject& o, const char* key)
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return {};
        if (!v.isObject())
            fail(QStringLiteral("\"%1\" deve ser um objeto").arg(QLatin1StringView(key)));
        return v.toObject();
    }

    QJsonArray arr(const QJsonObject& o, const char* key)
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(QStringLiteral("\"%1\" deve ser uma lista").arg(QLatin1StringView(key)));
        return v.toArray();
    }

    template <class E>
    E pick(const QString& value, std::initializer_list<std::pair<const char*, E>> choices,
           const char* key)
    {
        for (const auto& [name, e] : choices) {
            if (value == QLatin1StringView(name))
                return e;
        }
        fail(QStringLiteral("valor \"%1\" desconhecido em \"%2\"")
                 .arg(value, QLatin1StringView(key)));
    }

    QColor color(const QJsonObject& o, const char* key, const QColor& def)
    {
        const QJsonValue v = o.value(QLatin1StringView(key));
        if (v.isUndefined())
            return def;
        const QColor c = RpDefinitionReader::parseColor(v);
        if (!c.isValid())
            fail(QStringLiteral("cor desconhecida em \"%1\"").arg(QLatin1StringView(key)));
        return c;
    }

    RpFont font(const QJsonObject& o, const RpFont& def)
    {
        checkKeys(o, {"name", "size", "bold", "color"});
        RpFont f = def;
        f.name = str(o, "name", def.name);
        f.size = num(o, "size", def.size);
        if (!(f.size > 0 && f.size < 1000))
            fail(QStringLiteral("tamanho de fonte fora do intervalo"));
        f.bold = flag(o, "bold", def.bold);
        f.color = color(o, "color", def.color);
        return f;
    }

    void readReport(const QJsonObject& root, TRpReport& r)
    {
        checkKeys(root, {"name", "title", "page", "font", "printIfEmpty", "options", "bands"});
        r.Name = str(root, "name");
        r.ReportTitle = str(root, "title");
        r.PrintIfEmpty = flag(root, "printIfEmpty", false);
        r.Font = font(obj(root, "font"), RpFont{});
        // Without "options" the headers and footers print on every page.
        const QJsonArray options = arr(root, "options");
        if (root.contains(QLatin1StringView("options")))
            r.FirstPageHeader = r.LastPageFooter = false;
        for (const QJsonValue& v : options) {
            const QString opt = v.toString();
            if (opt == QLatin1StringView("FirstPageHeader"))
                r.FirstPageHeader = true;
            else if (opt == QLatin1StringView("LastPageFooter"))
                r.LastPageFooter = true;
            else
                fail(QStringLiteral("opção desconhecida \"%1\"").arg(opt));
        }
        readPage(obj(root, "page"), r.Page);
        for (const QJsonValue& v : arr(root, "bands")) {
            if (!v.isObject())
                fail(QStringLiteral("cada faixa deve ser um objeto"));
            r.bands.push_back(readBand(v.toObject(), r));
        }
    }

    void readPage(const QJsonObject& o, RpPageSetup& p)
    {
        m_context = QStringLiteral("page");
        checkKeys(o, {"paperSize", "orientation", "columns", "values"});
        const QString paper = str(o, "paperSize", QStringLiteral("A4"));
        if (paper != QLatin1StringView("A4"))
            fail(QStringLiteral("papel \"%1\" não suportado").arg(paper));
        p.landscape = pick<bool>(str(o, "orientation", QStringLiteral("poPortrait")),
                                 {{"poPortrait", false}, {"poLandscape", true}}, "orientation");
        if (num(o, "columns", 1) != 1)
            fail(QStringLiteral("apenas uma coluna é suportada"));
        const QJsonArray values = arr(o, "values");
        if (!values.isEmpty()) {
            if (values.size() != 7)
                fail(QStringLiteral("\"values\" deve ter sete números"));
            double v[7];
            for (int i = 0; i < 7; ++i) {
                if (!values.at(i).isDouble() || values.at(i).toDouble() < 0)
                    fail(QStringLiteral("\"values\" deve ter sete números não negativos"));
                v[i] = values.at(i).toDouble();
            }
            p.bottomMargin = v[0];
            p.paperLength = v[1];
            p.topMargin = v[2];
            p.paperWidth = v[3];
            p.leftMargin = v[4];
            p.rightMargin = v[5];
            p.columnSpace = v[6];
        } else if (p.landscape) {
            std::swap(p.paperLength, p.paperWidth);
        }
        if (p.paperLength <= p.topMargin + p.bottomMargin || p.paperLength > 100000 ||
            p.paperWidth <= p.leftMargin + p.rightMargin || p.paperWidth > 100000)
            fail(QStringLiteral("margens maiores que o papel"));
        m_context.clear();
    }

    std::unique_ptr<TRpBand> readBand(const QJsonObject& o, const TRpReport& r)
    {
        auto b = std::make_unique<TRpBand>();
        b->Name = str(o, "name");
        m_context = QStringLiteral("faixa \"%1\"").arg(b->Name);
        checkKeys(o, {"name", "type", "height", "color", "beforePrint", "elements"});
        b->BandType = pick<RpBandType>(str(o, "type", QStringLiteral("rbDetail")),
                                       {{"rbPageHeader", RpBandType::PageHeader},
                                        {"rbColumnHeader", RpBandType::ColumnHeader},
                                        {"rbDetail", RpBandType::Detail},
                                        {"rbPageFooter", RpBandType::PageFooter}},
                                       "type");
        b->Height = num(o, "height", 0);
        if (b->Height < 0 || b->Height > 100000)
            fail(QStringLiteral("altura fora do intervalo"));
        b->Color = color(o, "color", Qt::white);
        b->BeforePrintName = str(o, "beforePrint");
        const QString bandContext = m_context;
        for (const QJsonValue& v : arr(o, "elements")) {
            if (!v.isObject())
                fail(QStringLiteral("cada elemento deve ser um objeto"));
            b->elements.push_back(readElement(v.toObject(), r, *b));
            m_context = bandContext;
        }
        m_context.clear();
        return b;
    }

    std::unique_ptr<TRpElement> readElement(const QJsonObject& o, const TRpReport& r,
                                            const TRpBand& band)
    {
        const QString kind = str(o, "kind");
        const QString name = str(o, "name");
        m_context += QStringLiteral(", elemento \"%1\"").arg(name);
        if (!name.isEmpty() && (r.findElement(name) || band.find(name)))
            fail(QStringLiteral("nome repetido"));
        std::unique_ptr<TRpElement> e;
        if (kind == QLatin1StringView("TRpLabel")) {
            checkKeys(o, {"kind", "name", "size", "enabled", FONT_KEYS, "caption"});
            auto l = std::make_unique<TRpLabel>();
            l->Caption = str(o, "caption");
            e = std::move(l);
        } else if (kind == QLatin1StringView("TRpDBText")) {
            checkKeys(o, {"kind", "name", "size", "enabled", FONT_KEYS, "dataField", "mask",
                          "onPrint", "dataSet"});
            auto d = std::make_unique<TRpDBText>();
            d->DataField = str(o, "dataField");
            d->Mask = str(o, "mask");
            d->OnPrintName = str(o, "onPrint");
            e = std::move(d);
        } else if (kind == QLatin1StringView("TRpExpr")) {
            checkKeys(o, {"kind", "name", "size", "enabled", FONT_KEYS, "expression"});
            auto x = std::make_unique<TRpExpr>();
            x->Expression = str(o, "expression");
            e = std::move(x);
        } else if (kind == QLatin1StringView("TRpSysData")) {
            checkKeys(o, {"kind", "name", "size", "enabled", FONT_KEYS, "data", "text"});
            auto s = std::make_unique<TRpSysData>();
            s->Data = pick<RpSysDataKind>(str(o, "data", QStringLiteral("rpsDate")),
                                          {{"rpsDate", RpSysDataKind::Date},
                                           {"rpsTime", RpSysDataKind::Time},
                                           {"rpsPageNumber", RpSysDataKind::PageNumber}},
                                          "data");
            s->Text = str(o, "text");
            e = std::move(s);
        } else if (kind == QLatin1StringView("TRpMemo")) {
            checkKeys(o, {"kind", "name", "size", "enabled", FONT_KEYS, "lines"});
            auto m = std::make_unique<TRpMemo>();
            for (const QJsonValue& v : arr(o, "lines")) {
                if (!v.isString())
                    fail(QStringLiteral("\"lines\" deve ter textos"));
                m->Lines << v.toString();
            }
            e = std::move(m);
        } else if (kind == QLatin1StringView("TRpShape")) {
            checkKeys(o, {"kind", "name", "size", "enabled", "shape", "pen", "brush"});
            auto s = std::make_unique<TRpShape>();
            s->Shape = pick<RpShapeKind>(str(o, "shape", QStringLiteral("rpsRectangle")),
                                         {{"rpsRectangle", RpShapeKind::Rectangle},
                                          {"rpsHorLine", RpShapeKind::HorLine},
                                          {"rpsVertLine", RpShapeKind::VertLine}},
                                         "shape");
            const QJsonObject pen = obj(o, "pen");
            checkKeys(pen, {"width", "style", "color"});
            const double w = num(pen, "width", 1);
            if (w < 0 || w > 255)
                fail(QStringLiteral("largura de caneta fora do intervalo"));
            s->Pen.width = int(w);
            s->Pen.style = pick<RpPenStyle>(str(pen, "style", QStringLiteral("psSolid")),
                                            {{"psSolid", RpPenStyle::Solid},
                                             {"psDot", RpPenStyle::Dot},
                                             {"psClear", RpPenStyle::Clear}},
                                            "style");
            s->Pen.color = color(pen, "color", Qt::black);
            const QJsonObject brush = obj(o, "brush");
            checkKeys(brush, {"color", "style"});
            s->Brush.color = color(brush, "color", Qt::white);
            s->Brush.clear = pick<bool>(str(brush, "style", QStringLiteral("bsSolid")),
                                        {{"bsSolid", false}, {"bsClear", true}}, "style");
            e = std::move(s);
        } else if (kind == QLatin1StringView("TRpImage")) {
            checkKeys(o, {"kind", "name", "size", "enabled", "picture", "center", "stretch"});
            auto i = std::make_unique<TRpImage>();
            i->Center = flag(o, "center", false);
            i->Stretch = flag(o, "stretch", false);
            const QString picture = str(o, "picture");
            if (!picture.isEmpty()) {
                const QString path = picture.startsWith(QLatin1Char(':')) || m_baseDir.isEmpty()
                                         ? picture
                                         : QDir(m_baseDir).filePath(picture);
                try {
                    i->loadFromFile(path);
                } catch (const KvError& err) {
                    fail(err.message());
                }
            }
            e = std::move(i);
        } else if (kind == QLatin1StringView("TRpDrawing")) {
            checkKeys(o, {"kind", "name", "size", "enabled", "color"});
            auto d = std::make_unique<TRpDrawing>();
            d->Color = color(o, "color", Qt::black);
            e = std::move(d);
        } else {
            fail(QStringLiteral("tipo de elemento desconhecido \"%1\"").arg(kind));
        }
        e->Name = name;
        e->Enabled = flag(o, "enabled", true);
        const QJsonArray size = arr(o, "size");
        if (size.size() != 4)
            fail(QStringLiteral(
                "\"size\" deve ter quatro números: altura, esquerda, topo, largura"));
        double v[4];
        for (int k = 0; k < 4; ++k) {
            if (!size.at(k).isDouble() || std::abs(size.at(k).toDouble()) > 100000)
                fail(QStringLiteral("\"size\" deve ter quatro números"));
            v[k] = size.at(k).toDouble();
        }
        if (v[0] < 0 || v[3] < 0)
            fail(QStringLiteral("altura e largura não podem ser negativas"));
        e->Height = v[0];
        e->Left = v[1];
        e->Top = v[2];
        e->Width = v[3];
        if (auto* t = dynamic_cast<TRpTextElement*>(e.get()))
            readText(o, *t, r);
        return e;
    }

    void readText(const QJsonObject& o, TRpTextElement& t, const TRpReport& r)
    {
        t.Font = o.contains(QLatin1StringView("font")) ? font(obj(o, "font"), r.Font) : r.Font;
        t.Alignment = pick<RpAlignment>(str(o, "alignment", QStringLiteral("taLeftJustify")),
                                        {{"taLeftJustify", RpAlignment::Left},
                                         {"taRightJustify", RpAlignment::Right},
                                         {"taCenter", RpAlignment::Center}},
                                        "alignment");
        t.AlignToBand = flag(o, "alignToBand", false);
        t.AutoSize = flag(o, "autoSize", false);
        t.WordWrap = flag(o, "wordWrap", false);
        t.Transparent = flag(o, "transparent", true);
        t.Color = color(o, "color", Qt::white);
    }

private:
    QString m_origin;
    QString m_baseDir;
    QString m_context;
};

} // namespace

QColor RpDefinitionReader::parseColor(const QJsonValue& value)
{
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (d < 0 || d > 0xFFFFFF || d != double(qint64(d)))
            return {};
        const auto n = quint32(d);
        return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
    }
    if (!value.isString())
        return {};
    const QString s = value.toString();
    if (s.startsWith(QLatin1Char('#')))
        return s.size() == 7 ? QColor::fromString(s) : QColor();
    static const QList<std::pair<const char*, QRgb>> named = {
        {"clWhite", 0xFFFFFF},   {"clBlack", 0x000000},      {"cl3DLight", 0xE3E3E3},
        {"clBtnFace", 0xF0F0F0}, {"clWindowText", 0x000000}, {"clWindow", 0xFFFFFF},
        {"clSilver", 0xC0C0C0},  {"clGray", 0x808080},       {"clRed", 0xFF0000},
        {"clGreen", 0x008000},   {"clBlue", 0x0000FF},       {"clNavy", 0x000080},
        {"clMaroon", 0x800000},  {"clYellow", 0xFFFF00},
    };
    for (const auto& [name, rgb] : named) {
        if (s.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
            return QColor::fromRgb(rgb);
    }
    return {};
}

void RpDefinitionReader::read(const QByteArray& json, const QString& origin, const QString& baseDir,
                              TRpReport& report)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    Reader reader(origin, baseDir);
    if (err.error != QJsonParseError::NoError)
        reader.fail(QStringLiteral("%1 na posição %2").arg(err.errorString()).arg(err.offset));
    if (!doc.isObject())
        reader.fail(QStringLiteral("o arquivo deve conter um objeto JSON"));
    reader.readReport(doc.object(), report);
}
