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

    TFrmPrincipal main;
    main.showMaximized();
    const int rc = QApplication::exec();
    setDialogs(nullptr);
    return rc;
}
