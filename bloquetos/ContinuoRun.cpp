#include "ContinuoRun.h"

#include "DotMatrixPage.h"
#include "KvError.h"
#include "MatricialIni.h"
#include "PrinterChannel.h"

namespace {
bool g_active = false;

void send(PrinterChannel& channel, const QList<QByteArray>& lines)
{
    for (const QByteArray& line : lines)
        channel.writeLine(line);
}

// Releases the channel and the run's place on every way out, errors included.
class RunScope {
public:
    explicit RunScope(PrinterChannel& channel) : m_channel(channel) { g_active = true; }
    ~RunScope()
    {
        m_channel.close();
        g_active = false;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    PrinterChannel& m_channel;
};
} // namespace

bool ContinuoRun::isActive()
{
    return g_active;
}

Dialogs::Answer ContinuoRun::askFirstPrinted()
{
    return dialogs().question(QStringLiteral("O primeiro bloqueto foi impresso corretamente?"),
                              QStringLiteral("Confirmação"), Dialogs::Buttons::YesNoCancel);
}

ContinuoRun::Result ContinuoRun::run(const QList<BlqTitle>& rows, int start,
                                     PrinterChannel& channel, const Hooks& hooks)
{
    if (g_active)
        throw KvError(QStringLiteral("Já há uma impressão em formulário contínuo em andamento"));
    RunScope scope(channel);
    channel.open();
    MatricialIni::ensureExists();
    send(channel, DotMatrixPage::initLines(MatricialIni::read()));

    Result result;
    bool confirmed = !hooks.confirmFirst;
    qsizetype current = qBound(qsizetype(0), qsizetype(start), rows.size());
    // The first row whose form has not reached the channel's printer yet: where a run
    // whose delivery was refused must start again.
    qsizetype undelivered = current;
    const auto deliver = [&] {
        try {
            channel.deliver();
        } catch (...) {
            if (hooks.atRow)
                hooks.atRow(int(undelivered));
            throw;
        }
    };
    try {
        while (current < rows.size()) {
            if (hooks.takeCancel && hooks.takeCancel()) {
                result.end = End::Cancelled;
                break;
            }
            if (hooks.atRow)
                hooks.atRow(int(current));
            if (hooks.processEvents)
                hooks.processEvents();
            const FormModel model = hooks.model ? hooks.model() : FormModel::Large;
            send(channel, DotMatrixPage::layoutLines(rows.at(current), model));
            ++result.passes;
            if (hooks.passDone)
                hooks.passDone(result.passes);
            if (!confirmed) {
                deliver();
                const Dialogs::Answer answer = hooks.confirmFirst();
                if (answer == Dialogs::Answer::Yes) {
                    confirmed = true;
                    ++current;
                } else if (answer != Dialogs::Answer::No) {
                    result.end = End::Refused;
                    break;
                }
                undelivered = current;
            } else {
                ++current;
            }
            send(channel, DotMatrixPage::separatorLines());
        }
    } catch (...) {
        // The forms composed before the failure are printed, as they were form by form.
        try {
            deliver();
        } catch (...) {
        }
        throw;
    }
    // The forms go out together: a print queue takes the run as one job (the trial form
    // before the question went on its own), not one job per bloqueto.
    deliver();
    channel.finish();
    result.stoppedAt = int(current);
    return result;
}
