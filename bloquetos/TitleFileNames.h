#pragma once

#include <QSet>
#include <QString>

// The names of the per-title PDF files, made for a mail merge to find: the title's seu
// número trimmed, "-", its nosso número, ".pdf" ("NF004100-26000001010.pdf"). Characters
// other than A-Z, a-z, 0-9, '.', '_' and '-' become '_', so that a name means the same on
// every disk and share. A title without seu número is named by its nosso número alone
// (a name that begins with '-' reads as an option on a command line).
//
// One object names the files of one folder: a name already given goes again with "-2",
// "-3", ... before ".pdf". Names are compared without regard to case, as the shares the
// files are mailed from compare them.
class TitleFileNames {
public:
    // The name of a title, without regard to the names given before.
    static QString baseName(const QString& seuNum, const QString& nosNum);
    // The name of the next title: its base name, or the first free numbered one.
    QString take(const QString& seuNum, const QString& nosNum);

private:
    QSet<QString> m_taken; // lower case
};
