#include "DbAlias.h"
#include "Dialogs.h"
#include "KvVersion.h"
#include "QtDialogs.h"
#include "uPrincipal.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zizorad ir Izaradu"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KVCOB_VERSION));
    QtDialogs qtDialogs;
    setDialogs(&qtDialogs);
    // A kvcob.conf the program must not run with (a password in it, an unknown driver)
    // stops it here with its message, before any window opens. A server that does not
    // answer does not: the window opens and the next command tries again.
    if (!runGuarded([] { DbAlias::read(QStringLiteral("cobrancaKV")); })) {
        setDialogs(nullptr);
        return 1;
    }

    TFrmPrincipal main;
    main.showMaximized();
    const int rc = QApplication::exec();
    setDialogs(nullptr);
    return rc;
}
