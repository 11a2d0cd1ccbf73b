#pragma once

#include "FormModel.h"
#include "MatricialIni.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct BlqTitle;

// What goes to the dot-matrix printer, line by line in Windows-1252 bytes, each line
// without its CR LF. A bloqueto fills 29 lines of its form; with the 3 separator lines it
// takes 32, which is how the next form is reached (no form feed is ever sent).
namespace DotMatrixPage {
inline constexpr int kLayoutLines = 29;

// Reset, cancel skip and spacing followed by ".", then a blank line.
QList<QByteArray> initLines(const MatricialIni::Sequences& sequences);
QList<QByteArray> layoutLines(const BlqTitle& title, FormModel model);
// The due-date text of the grid and of line 1: "A vista" or "C/Apres." filled to 10,
// 10 blanks without a due date, else the date.
QString CalcDatVen(const BlqTitle& title);
QList<QByteArray> separatorLines();

// The lines joined with CR LF after each: the bytes as the printer receives them.
QByteArray bytes(const QList<QByteArray>& lines);
} // namespace DotMatrixPage
