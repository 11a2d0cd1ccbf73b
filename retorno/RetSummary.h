#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// What one processed return file came to, as the batch tool prints it and the window
// shows it. Money in centavos.
struct RetSummary {
    QString fileName;
    int fileSeq = 0;          // RetArqSeq
    bool reprocessed = false; // its earlier occurrences were replaced
    int occurrences = 0;
    int entries = 0, rejections = 0, settlements = 0, writeOffs = 0, protests = 0, fees = 0,
        others = 0;
    qint64 settledSum = 0, feeSum = 0;
    int unidentified = 0; // occurrences of no title in Blq

    QStringList lines() const;
};
