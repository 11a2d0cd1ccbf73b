// kvcob-gera-exemplo: writes the bundled sample bank file, or a large one for measuring.
#include "BankFileWriter.h"
#include "SampleBankFile.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

namespace {
int usage()
{
    std::fputs("Uso: kvcob-gera-exemplo [--titulos N [--pix]] ARQUIVO\n"
               "  sem --titulos: o arquivo de exemplo (exemplos/cobranca-exemplo.rem)\n"
               "  com --titulos N: N títulos, cada um com mensagem e instruções\n"
               "  com --pix: e cada um com seu QR Code PIX (registro tipo 4)\n",
               stderr);
    return 2;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int titles = -1;
    bool pix = false;
    if (args.size() >= 3 && args.first() == QStringLiteral("--titulos")) {
        bool ok = false;
        titles = args.at(1).toInt(&ok);
        if (!ok || titles < 0)
            return usage();
        args = args.mid(2);
        if (args.size() == 2 && args.first() == QStringLiteral("--pix")) {
            pix = true;
            args = args.mid(1);
        }
    }
    if (args.size() != 1 || args.first().startsWith(QStringLiteral("--")))
        return usage();

    QSaveFile file(args.first());
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    BankFileWriter writer(&file);
    if (titles < 0)
        SampleBankFile::write(writer);
    else
        SampleBankFile::writeBulk(writer, titles, pix);
    if (!file.commit()) {
        std::fprintf(stderr, "%s\n", qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
