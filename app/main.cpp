#include "DbAlias.h"
#include "Dialogs.h"
#include "KvVersion.h"
#include "ProgramDir.h"
#include "QtDialogs.h"
#include "Translations.h"
#include "uPrincipal.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Translations::install();
    QCoreApplication::setApplicationName(QStringLiteral("Zizorad ir Izaradu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KVCOB_VERSION));
    QtDialogs qtDialogs;
    setDialogs(&qtDialogs);
    // Nothing opens before the folder is settled: a folder that cannot serve is named in
    // the error box and the program ends without writing anywhere else. A kvcob.conf the
    // program must not run with (a password in it, an unknown driver) stops it here too;
    // a server that does not answer does not: the window opens and the next command tries
    // again.
    if (!runGuarded([] {
            ProgramDir::init(ProgramDir::inputs());
            DbAlias::read(QStringLiteral("cobrancaKV"));
        })) {
        setDialogs(nullptr);
        return 1;
    }

    TFrmPrincipal main;
    main.showMaximized();
    const int rc = QApplication::exec();
    setDialogs(nullptr);
    return rc;
}
