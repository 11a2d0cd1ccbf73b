#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace {
QWidget* parentWindow()
{
    return QApplication::activeWindow();
}
} // namespace

void QtDialogs::message(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parentWindow());
    if (caption == QStringLiteral("Atenção"))
        box.setIcon(QMessageBox::Warning);
    else
        box.setIcon(QMessageBox::Information);
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
    QMessageBox::critical(parentWindow(), QCoreApplication::applicationName(), text);
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
    return QFileDialog::getOpenFileName(parentWindow(), QString(), startDir, filter);
}

bool QtDialogs::choosePrinter(QPrinter* printer)
{
    QPrintDialog dialog(printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}
