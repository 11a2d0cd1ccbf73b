// Draws the pictures of the application shell: the wallpaper of the main window's client
// area and the About box picture, both for the (fictional) Banco Ravessa. Run it by hand
// when the pictures change, then commit what it writes:
//
//     drawShellPictures <repository>/resources/shell
//
// Everything is drawn with flat colours and known fonts so that the results are the same
// on every machine that has the fonts of the setup script.

#include "ArtCanvas.h"
#include "KvVersion.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kWhite(0xff, 0xff, 0xff);
const QColor kBlue(0x0b, 0x4f, 0x8a);
const QColor kPale(0xdc, 0xe9, 0xf6);
const QColor kGold(0xd4, 0x8a, 0x12);
const QColor kInk(0x33, 0x3a, 0x44);

QFont face(const char* family, int pixels, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The bank's mark: a blue disc crossed by a gold wave, with a white R.
void drawEmblem(QPainter& p, QPointF centre, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(centre, radius, radius);
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    p.setClipPath(disc);
    QPainterPath wave;
    const qreal y = centre.y() + radius * 0.35;
    wave.moveTo(centre.x() - radius, y);
    wave.cubicTo(centre.x() - radius * 0.4, y - radius * 0.45, centre.x() + radius * 0.2,
                 y + radius * 0.35, centre.x() + radius, y - radius * 0.1);
    wave.lineTo(centre.x() + radius, y + radius * 0.12);
    wave.cubicTo(centre.x() + radius * 0.2, y + radius * 0.6, centre.x() - radius * 0.4,
                 y - radius * 0.2, centre.x() - radius, y + radius * 0.25);
    wave.closeSubpath();
    p.setBrush(kGold);
    p.drawPath(wave);
    p.setClipping(false);
    p.setPen(kWhite);
    p.setFont(face("DejaVu Serif", int(radius * 1.15), true));
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius * 1.12, 2 * radius, 2 * radius),
               Qt::AlignCenter, QStringLiteral("R"));
    p.restore();
}

// Every colour of the drawing with the blends that antialiasing makes between them, so
// that the 256-colour picture keeps smooth edges without dithering.
QList<QRgb> palette()
{
    const QList<QColor> base = {kWhite, kBlue, kPale, kGold};
    QList<QRgb> table;
    for (const QColor& c : base)
        table << c.rgb();
    constexpr int steps = 41;
    for (qsizetype a = 0; a < base.size(); ++a) {
        for (qsizetype b = a + 1; b < base.size(); ++b) {
            for (int i = 1; i < steps; ++i) {
                const qreal t = qreal(i) / steps;
                const QColor &x = base[a], &y = base[b];
                table << qRgb(qRound(x.red() + (y.red() - x.red()) * t),
                              qRound(x.green() + (y.green() - x.green()) * t),
                              qRound(x.blue() + (y.blue() - x.blue()) * t));
            }
        }
    }
    return table.mid(0, 256);
}

QImage wallpaper()
{
    ArtCanvas c(600, 400, QImage::Format_RGB32, ArtCanvas::Smooth::EdgesAndText, kWhite);
    QPainter& p = c.p;
    // Pale arcs behind the mark; they stay inside the tile, so tiles meet on white.
    p.setPen(QPen(kPale, 14, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawArc(QRectF(120 + i * 28, 40 + i * 28, 360 - i * 56, 360 - i * 56), 20 * 16, 140 * 16);
    drawEmblem(p, QPointF(300, 165), 72);
    p.setPen(kBlue);
    p.setFont(face("DejaVu Sans", 40, true));
    p.drawText(QRectF(0, 258, 600, 52), Qt::AlignCenter, QStringLiteral("Banco Ravessa"));
    p.setPen(kGold);
    p.setFont(face("DejaVu Sans", 20, true));
    p.drawText(QRectF(0, 310, 600, 30), Qt::AlignCenter, QStringLiteral("Cobrança Ravessa"));
    return c.take().convertToFormat(QImage::Format_Indexed8, palette(),
                                    Qt::ThresholdDither | Qt::AvoidDither);
}

QImage aboutPicture()
{
    ArtCanvas c(495, 263, QImage::Format_RGB32, ArtCanvas::Smooth::EdgesAndText, kWhite);
    QPainter& p = c.p;

    p.fillRect(0, 0, 495, 62, kBlue);
    p.fillRect(0, 62, 495, 4, kGold);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite); // a white ring sets the blue mark off the blue band
    p.drawEllipse(QPointF(36, 31), 25, 25);
    drawEmblem(p, QPointF(36, 31), 22);
    p.setPen(kWhite);
    p.setFont(face("DejaVu Sans", 24, true));
    p.drawText(QRectF(70, 6, 420, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Cobrança Ravessa"));
    p.setFont(face("DejaVu Sans", 12));
    p.drawText(QRectF(70, 36, 420, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Dizuvar id Azovadodu KV - versão " KVCOB_VERSION));

    p.setPen(kInk);
    p.setFont(face("DejaVu Sans", 12, true));
    p.drawText(QRectF(16, 76, 470, 18), Qt::AlignLeft,
               QStringLiteral("Emissão de bloquetos de cobrança"));
    p.setFont(face("DejaVu Sans", 11));
    const QStringList lines = {
        QStringLiteral("•  Carga do arquivo de títulos enviado pelo banco"),
        QStringLiteral("•  Bloquetos em folha solta, com código de barras e linha digitável"),
        QStringLiteral("•  Bloquetos em formulário contínuo para impressora matricial"),
        QStringLiteral("•  Relatório dos títulos rejeitados, com os motivos"),
    };
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRectF(24, 98 + i * 18, 460, 18), Qt::AlignLeft, lines[i]);

    const QRectF contact(12, 178, 471, 72);
    p.setPen(Qt::NoPen);
    p.setBrush(kPale);
    p.drawRoundedRect(contact, 6, 6);
    p.setPen(kBlue);
    p.setFont(face("DejaVu Sans", 12, true));
    p.drawText(contact.adjusted(12, 6, -12, 0), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Central de Atendimento Ravessa"));
    p.setPen(kInk);
    p.setFont(face("DejaVu Sans", 11));
    p.drawText(contact.adjusted(12, 26, -12, 0), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Telefone: 0800 000 0000    Site: www.ravessa.example"));
    p.drawText(contact.adjusted(12, 44, -12, 0), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("E-mail: cobranca@ravessa.example"));
    p.setPen(kGold);
    p.setFont(face("DejaVu Sans", 9));
    p.drawText(QRectF(0, 250, 483, 13), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Banco fictício: contatos apenas ilustrativos"));
    return c.take();
}

bool save(const QImage& image, const QString& path, const char* format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (writer.write(image))
        return true;
    qWarning("%s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: drawShellPictures OUTPUT_FOLDER");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool ok =
        save(wallpaper(), out.filePath(QStringLiteral("ravessa-wallpaper.png")), "png") &&
        save(aboutPicture(), out.filePath(QStringLiteral("sobre-ravessa.jpg")), "jpeg", 92);
    return ok ? 0 : 1;
}
