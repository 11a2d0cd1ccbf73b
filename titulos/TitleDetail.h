#pragma once

#include "BlqTitle.h"

#include <QDate>
#include <QString>

// What the titles window tells of one title beside the grid, made as its page makes it:
// the typeable line, the PIX copia-e-cola text and, for an overdue title, its updated
// value on the day.
struct TitleDetail {
    QString typeableLine; // empty for a rejected title (it has no slip)
    QString pixPayload;   // empty when the slip carries no QR code
    QString updatedValue; // the sentence; empty unless overdue
    QString problem;      // why a code could not be made (a bad digit, a bad PIX key)

    static TitleDetail of(const BlqTitle& title, const QDate& today);
};
