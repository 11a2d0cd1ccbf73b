#include "ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(nullptr);
}

QStringList ScriptedDialogs::texts(const QString& kind) const
{
    QStringList out;
    for (const Asked& a : asked) {
        if (a.kind == kind)
            out << a.text;
    }
    return out;
}

QString ScriptedDialogs::lastText(const QString& kind) const
{
    const QStringList all = texts(kind);
    return all.isEmpty() ? QString() : all.constLast();
}

void ScriptedDialogs::message(const QString& text, const QString& caption)
{
    asked.append({QStringLiteral("message"), caption, text});
}

Dialogs::Answer ScriptedDialogs::question(const QString& text, const QString& caption, Buttons)
{
    asked.append({QStringLiteral("question"), caption, text});
    return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
}

void ScriptedDialogs::error(const QString& text)
{
    asked.append({QStringLiteral("error"), QString(), text});
}

QString ScriptedDialogs::nextFile(const QString& kind, const QString& caption,
                                  const QString& detail)
{
    asked.append({kind, caption, detail});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedDialogs::openFile(const QString& caption, const QString& startDir,
                                  const QString& filter)
{
    return nextFile(QStringLiteral("openFile"), caption, startDir + QLatin1Char('|') + filter);
}

QString ScriptedDialogs::saveFile(const QString& caption, const QString& startDir,
                                  const QString& filter, const QString&)
{
    return nextFile(QStringLiteral("saveFile"), caption, startDir + QLatin1Char('|') + filter);
}

QString ScriptedDialogs::openPicture(const QString& startDir, const QString& filter)
{
    return nextFile(QStringLiteral("openPicture"), QString(), startDir + QLatin1Char('|') + filter);
}

QString ScriptedDialogs::chooseFolder(const QString& caption, const QString& startDir)
{
    return nextFile(QStringLiteral("folder"), caption, startDir);
}

bool ScriptedDialogs::choosePrinter(QPrinter* printer, int pageCount)
{
    asked.append({QStringLiteral("printer"), QString(), QString()});
    printerPageCounts.append(pageCount);
    if (printerDialog)
        return printerDialog(printer);
    const bool chosen = printerAnswers.isEmpty() ? false : printerAnswers.takeFirst();
    if (chosen && printerChoice)
        printerChoice(printer);
    return chosen;
}
