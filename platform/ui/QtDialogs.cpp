#include "QtDialogs.h"

#include "PictureDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace {
QWidget* parentWindow()
{
    return QApplication::activeWindow();
}

// A box as narrow as a short text cut its own caption ("Zizorad ir Iz..."): the text
// is given room for the whole caption.
void roomForCaption(QMessageBox& box)
{
    // A spacer under the text, as wide as the caption needs: the box lays itself out
    // around it, where a minimum width on its label would only cut the text.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 96;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}
} // namespace

void QtDialogs::message(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parentWindow());
    if (caption == QStringLiteral("Atenção"))
        box.setIcon(QMessageBox::Warning);
    else
        box.setIcon(QMessageBox::Information);
    roomForCaption(box);
    box.exec();
}

Dialogs::Answer QtDialogs::question(const QString& text, const QString& caption, Buttons buttons)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parentWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    QPushButton* cancel = nullptr;
    if (buttons == Buttons::YesNoCancel)
        cancel = box.addButton(QStringLiteral("Cancela"), QMessageBox::RejectRole);
    box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? no : yes);
    box.setEscapeButton(cancel ? cancel : no);
    roomForCaption(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == yes)
        return Answer::Yes;
    if (clicked == no)
        return Answer::No;
    return cancel ? Answer::Cancel : Answer::No;
}

void QtDialogs::error(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, parentWindow());
    roomForCaption(box);
    box.exec();
}

QString QtDialogs::openFile(const QString& caption, const QString& startDir, const QString& filter)
{
    return QFileDialog::getOpenFileName(parentWindow(), caption, startDir, filter);
}

QString QtDialogs::saveFile(const QString& caption, const QString& startDir, const QString& filter,
                            const QString& defaultSuffix)
{
    // Overwrite questions belong to the caller, so the dialog does not ask its own.
    QFileDialog dialog(parentWindow(), caption, startDir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::openPicture(const QString& startDir, const QString& filter)
{
    PictureDialog dialog(parentWindow(), startDir, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::chooseFolder(const QString& caption, const QString& startDir)
{
    return QFileDialog::getExistingDirectory(parentWindow(), caption, startDir);
}

bool QtDialogs::choosePrinter(QPrinter* printer, int pageCount)
{
    QPrintDialog dialog(printer, parentWindow());
    preparePrintDialog(dialog, pageCount);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::preparePrintDialog(QPrintDialog& dialog, int pageCount)
{
    // Without bounds the toolkit's spin boxes stop at 9999 pages.
    if (pageCount > 0)
        dialog.setMinMax(1, pageCount);
    // The toolkit's "Páginas" field takes a list of pages for the print server to pick
    // from the job; the pages here are painted by the program, which prints one range.
    for (const char* name : {"pagesRadioButton", "pagesLineEdit"}) {
        if (auto* w = dialog.findChild<QWidget*>(QLatin1StringView(name)))
            w->hide();
    }
}
