// kvcob-gera-exemplo: writes the bundled sample bank file, or a large one for measuring.
#include "BankFileWriter.h"
#include "BeneficiaryLogos.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "SampleBankFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

namespace {
int usage()
{
    std::fputs("Uso: kvcob-gera-exemplo [--titulos N [--pix] [--realista [--logos PASTA]]] "
               "ARQUIVO\n"
               "  sem --titulos: o arquivo de exemplo (exemplos/cobranca-exemplo.rem)\n"
               "  com --titulos N: N títulos, cada um com mensagem e instruções\n"
               "  com --pix: e cada um com seu QR Code PIX (registro tipo 4)\n"
               "  com --realista: os títulos de três cedentes, pagadores variados\n"
               "  com --logos PASTA: e as logomarcas de cada cedente na configuração da\n"
               "    pasta do programa PASTA\n",
               stderr);
    return 2;
}

// A logo as offices have them: a few flat colours, a band and a mark, a little picture.
QImage logo(int beneficiary)
{
    const QRgb colours[3][2] = {{qRgb(0x1f, 0x4e, 0x9a), qRgb(0xf2, 0xb1, 0x34)},
                                {qRgb(0x2e, 0x7d, 0x32), qRgb(0xff, 0xff, 0xff)},
                                {qRgb(0x8e, 0x24, 0x24), qRgb(0xd9, 0xd9, 0xd9)}};
    QImage image(240, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int dx = x - 40, dy = y - 40;
            if (dx * dx + dy * dy < 32 * 32)
                image.setPixel(x, y, colours[beneficiary][0]);
            if (dx * dx + dy * dy < 18 * 18 && (x + beneficiary * 7) % 12 < 6)
                image.setPixel(x, y, colours[beneficiary][1]);
            if (x >= 84 && y >= 28 + beneficiary * 4 && y < 52 - beneficiary * 2)
                image.setPixel(x, y, colours[beneficiary][0]);
        }
    }
    return image;
}

// Pictures for the receipt and the voucher of each beneficiary of the realistic file,
// set in the settings of the program folder `dir`.
bool writeLogos(const QString& dir)
{
    if (!QDir().mkpath(dir + QStringLiteral("/logos")))
        return false;
    ProgramDir::set(dir);
    const QStringList names = SampleBankFile::beneficiaries();
    for (int b = 0; b < names.size(); ++b) {
        const QString recibo = QStringLiteral("%1/logos/cedente%2-recibo.png").arg(dir).arg(b + 1);
        const QString comprovante =
            QStringLiteral("%1/logos/cedente%2-comprovante.png").arg(dir).arg(b + 1);
        const QImage picture = logo(b);
        if (!picture.save(recibo) || !picture.mirrored(true, false).save(comprovante))
            return false;
        try {
            BeneficiaryLogos{recibo, comprovante}.write(names.at(b));
        } catch (const KvError&) {
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int titles = -1;
    bool pix = false, realistic = false;
    QString logos;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == QStringLiteral("--titulos") && !args.isEmpty()) {
            bool ok = false;
            titles = args.takeFirst().toInt(&ok);
            if (!ok || titles < 0)
                return usage();
        } else if (option == QStringLiteral("--pix")) {
            pix = true;
        } else if (option == QStringLiteral("--realista")) {
            realistic = true;
        } else if (option == QStringLiteral("--logos") && !args.isEmpty()) {
            logos = args.takeFirst();
        } else {
            return usage();
        }
    }
    if (args.size() != 1 || (titles < 0 && (pix || realistic)) || (!logos.isEmpty() && !realistic))
        return usage();

    QSaveFile file(args.first());
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    BankFileWriter writer(&file);
    if (titles < 0)
        SampleBankFile::write(writer);
    else if (realistic)
        SampleBankFile::writeRealistic(writer, titles, pix);
    else
        SampleBankFile::writeBulk(writer, titles, pix);
    if (!file.commit()) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    if (!logos.isEmpty() && !writeLogos(logos)) {
        std::fprintf(stderr, "Não foi possível gravar as logomarcas em %s\n", qPrintable(logos));
        return 1;
    }
    return 0;
}
