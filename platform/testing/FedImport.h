#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include <functional>

// `kvcob-lote --dir DIR importar FIFO` reading its bank file from a pipe that the test feeds:
// the import stands still in the middle, for as long as the test likes, holding its lock and
// its transaction open, so that what other programs do meanwhile is seen deterministically.
class FedImport {
public:
    // Starts the import, feeds it `start` and waits until `running` answers true (the import
    // holds its lock), then a little more so that the blocks fed are read and stored.
    FedImport(const QString& dir, const QByteArray& start, const std::function<bool()>& running);
    ~FedImport();
    FedImport(const FedImport&) = delete;
    FedImport& operator=(const FedImport&) = delete;

    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Feeds the rest of the file and waits for the import's end; its exit code.
    int finish(const QByteArray& rest);
    void killHard();
    QString output();

private:
    QString m_fifo;
    QProcess m_process;
    QFile m_feed;
};
