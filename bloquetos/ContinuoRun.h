#pragma once

#include "BlqTitle.h"
#include "Dialogs.h"
#include "FormModel.h"

#include <QList>
#include <functional>

class PrinterChannel;

// One continuous-form print run: opens the channel, makes sure Matricial.ini exists and
// sends its initialisation, then prints from the starting row to the end of the selection.
// Until the first bloqueto is confirmed each pass is delivered and followed by the
// question; "&Não" prints the same bloqueto again, "Cancela" stops at once without the
// separator. A cancel request is honoured at the start of a pass, so the bloqueto being
// composed when it arrives is finished first. The channel is closed on every way out.
// Lines are delivered before each question and once at the end: a print queue gets the
// confirmed run as one job. A run that fails part way still delivers the forms it composed.
class ContinuoRun {
public:
    struct Hooks {
        std::function<FormModel()> model;              // read at every pass
        std::function<bool()> takeCancel;              // a pending request, cleared when taken
        std::function<void()> processEvents;           // once per pass, before composing
        std::function<Dialogs::Answer()> confirmFirst; // unset: the first pass is confirmed
        std::function<void(int passes)> passDone;      // after each composed bloqueto
        std::function<void(int row)> atRow;            // the row the next pass prints
    };
    enum class End { LastRow, Cancelled, Refused };
    struct Result {
        int passes = 0;
        int stoppedAt = 0; // the row on which the run stopped (rows.size() past the last)
        End end = End::LastRow;
    };

    static Result run(const QList<BlqTitle>& rows, int start, PrinterChannel& channel,
                      const Hooks& hooks);
    // True while a run is printing: a second run must not mix its forms into it.
    static bool isActive();
    // The question after an unconfirmed pass, through the dialogs.
    static Dialogs::Answer askFirstPrinted();
};
