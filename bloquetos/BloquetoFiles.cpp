#include "BloquetoFiles.h"

#include "BloquetoCode.h"
#include "BloquetoIndex.h"
#include "FileAdvice.h"
#include "KvError.h"
#include "PrivateFiles.h"
#include "RelBloqueto.h"
#include "StagedFolder.h"
#include "TRpPrinter.h"
#include "TRpReport.h"
#include "TitleFileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <deque>
#include <exception>

namespace {
// One run: the titles whose pages are being made, the files queued, the index.
class Run {
public:
    Run(RelBloqueto& rel, const QString& folder, const BloquetoFiles::Options& options)
        : m_rel(rel), m_folder(folder), m_options(options), m_files(options.threads)
    {
    }

    int write()
    {
        if (QFileInfo(m_folder).isDir())
            holdFolder();
        m_rel.titleFilled = [this](const BlqTitle& t, const BloquetoCode& code) {
            m_filled.push_back(lineOf(t, code));
        };
        std::exception_ptr stopped;
        try {
            m_rel.rptBloqueto->produce(m_store, [this] { pageDone(); });
        } catch (...) {
            stopped = std::current_exception();
        }
        m_rel.titleFilled = nullptr;
        try {
            m_files.finish();
        } catch (...) {
            if (!stopped)
                stopped = std::current_exception();
        }
        const bool indexed = writeIndex();
        if (stopped)
            raiseStopped(stopped, indexed);
        if (!indexed && m_named > 0)
            throw KvError(QStringLiteral("Não foi possível gravar o índice %1: %2")
                              .arg(indexPath(), m_indexError),
                          QStringLiteral("Os %1 arquivo(s) dos bloquetos estão completos na "
                                         "pasta; grave de novo para ter o índice.")
                              .arg(m_named));
        return m_named;
    }

private:
    // Files a killed run left half-written go before this run writes beside them.
    void holdFolder() { m_held = std::make_unique<StagedFolder>(m_folder, QStringLiteral(".pdf")); }

    QString indexPath() const
    {
        return QDir::toNativeSeparators(QDir(m_folder).filePath(BloquetoFiles::indexName()));
    }

    static BloquetoIndex::Line lineOf(const BlqTitle& t, const BloquetoCode& code)
    {
        BloquetoIndex::Line l;
        l.seuNumero = t.seuNum;
        l.nossoNumero = t.nosNum;
        l.sacado = t.sacNom;
        l.cpfCnpjSacado = t.cpfCgcSac;
        l.vencimento = t.datVen;
        l.cents = BlqTitle::cents(t.titVal);
        l.linhaDigitavel = code.typeableLine();
        return l;
    }

    void pageDone()
    {
        const int page = m_store.pageCount() - 1;
        // Each title fills a page of its own: the page just closed is the oldest title
        // filled and not yet written.
        if (m_filled.empty())
            throw KvError(
                QStringLiteral("A página %1 não corresponde a nenhum título.").arg(page + 1));
        if (page == 0 && !QDir().mkpath(m_folder))
            throw KvError(
                QStringLiteral("Não foi possível criar a pasta %1.")
                    .arg(QDir::toNativeSeparators(m_folder)),
                FileAdvice::cannotWrite(QDir(m_folder).filePath(BloquetoFiles::indexName())));
        if (page == 0 && !m_held)
            holdFolder();
        BloquetoIndex::Line line = std::move(m_filled.front());
        m_filled.pop_front();
        line.arquivo = m_names.take(line.seuNumero, line.nossoNumero);
        m_files.writeFile(QDir(m_folder).filePath(line.arquivo), m_store, page, page);
        m_store.releasePage(page);
        m_queued.push_back(std::move(line));
        ++m_named;
        takeDone();
        if (m_options.onPage)
            m_options.onPage(page + 1);
    }

    // The index lines of the files now in place go to the index as they come, so that
    // only the few files still being written wait in memory.
    void takeDone()
    {
        const int done = m_files.filesDone();
        while (m_indexed < done && !m_queued.empty()) {
            if (!m_index && !openIndex())
                return;
            m_index->write(BloquetoIndex::line(m_queued.front()));
            m_queued.pop_front();
            ++m_indexed;
        }
    }

    bool openIndex()
    {
        const QString path = QDir(m_folder).filePath(BloquetoFiles::indexName());
        PrivateFiles::tighten(path); // the new file takes the old one's permissions
        m_index = std::make_unique<QSaveFile>(path);
        if (!m_index->open(QIODevice::WriteOnly)) {
            m_indexError = m_index->errorString();
            return false;
        }
        m_index->write(BloquetoIndex::header());
        return true;
    }

    // After the run: the index of the files in place, unless none is.
    bool writeIndex()
    {
        takeDone();
        if (m_indexed == 0 && m_files.filesDone() == 0)
            return false;
        if (!m_index && !openIndex())
            return false;
        if (m_indexed < m_files.filesDone() || m_index->error() != QFileDevice::NoError ||
            !m_index->commit()) {
            if (m_indexError.isEmpty())
                m_indexError = m_index->errorString();
            m_index.reset();
            return false;
        }
        return true;
    }

    [[noreturn]] void raiseStopped(std::exception_ptr stopped, bool indexed) const
    {
        const int done = m_files.filesDone();
        QString kept;
        if (done == 0)
            kept = QStringLiteral("Nenhum arquivo de bloqueto foi gravado.");
        else if (indexed)
            kept = QStringLiteral("Os %1 arquivo(s) gravados antes dele estão completos e "
                                  "listados em %2.")
                       .arg(done)
                       .arg(indexPath());
        else
            kept = QStringLiteral("Os %1 arquivo(s) gravados antes dele estão completos, mas "
                                  "o índice %2 não pôde ser gravado.")
                       .arg(done)
                       .arg(indexPath());
        try {
            std::rethrow_exception(stopped);
        } catch (const KvError& e) {
            throw KvError(e.message(),
                          e.advice().isEmpty() ? kept : e.advice() + QLatin1Char('\n') + kept);
        }
    }

    RelBloqueto& m_rel;
    const QString m_folder;
    const BloquetoFiles::Options& m_options;
    TRpPrinter m_store;
    RpPdfSeries m_files;
    TitleFileNames m_names;
    std::deque<BloquetoIndex::Line> m_filled; // titles whose page is being made
    std::deque<BloquetoIndex::Line> m_queued; // named and queued, not yet in place
    std::unique_ptr<StagedFolder> m_held;
    std::unique_ptr<QSaveFile> m_index;
    QString m_indexError;
    int m_named = 0;
    int m_indexed = 0;
};
} // namespace

int BloquetoFiles::write(RelBloqueto& rel, const QString& folder, const Options& options)
{
    return Run(rel, folder, options).write();
}
