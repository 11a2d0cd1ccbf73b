#include "Dialogs.h"
#include "QtDialogs.h"
#include "Translations.h"
#include "uPrincipal.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Translations::install();
    QCoreApplication::setApplicationName(QStringLiteral("Zizorad ir Izaradu"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.1"));
    QtDialogs qtDialogs;
    setDialogs(&qtDialogs);

    TFrmPrincipal main;
    main.showMaximized();
    const int rc = QApplication::exec();
    setDialogs(nullptr);
    return rc;
}
