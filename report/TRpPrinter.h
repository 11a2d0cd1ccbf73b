#pragma once

#include "RpCompactPages.h"
#include "RpPage.h"
#include "RpTypes.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <functional>
#include <vector>

class QPrinter;

// The page store: the pages one run of a report produced (or a saved report loaded), with
// the fonts and pictures they use, its title, and its state. A preview control shows it.
// The outputs read it and the store knows none of them: RpPrintOutput prints it, RpPageFile
// saves it to and loads it from ".kvr" files, RpPdfExport and RpPdfStream write it as PDF.
//
// Lifetime: the report's preview run owns the store. A preview control attaches to it
// (attachViewer); when the control lets go (detachViewer) the run stops producing, if it
// still was, and returns. Viewers hold it through QPointer.
class TRpPrinter : public QObject {
    Q_OBJECT
public:
    enum class State { Producing, Finished, Failed };

    explicit TRpPrinter(QObject* parent = nullptr);
    ~TRpPrinter() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    int pageCount() const { return int(m_pages.size()); }
    // Page `index` (0-based), rebuilt from what the store keeps of it.
    RpPage page(int index) const { return m_pages.at(size_t(index)); }
    // Paper size in micrometres, as the first page has it.
    QSize paperSize() const { return m_paper; }
    bool landscape() const { return m_landscape; }
    const QList<RpFont>& fonts() const { return m_fonts; }
    const QList<QImage>& pictures() const { return m_pictures; }

    State state() const { return m_state; }
    bool isFinished() const { return m_state == State::Finished; }
    bool isLoaded() const { return m_loaded; } // the pages came from a file
    // Pages to print, 1-based; 0 leaves the range of the printer's set-up (all pages
    // when it chose none).
    int FirstPage = 0;
    int LastPage = 0;

    // -- viewing
    bool isShown() const { return !m_viewer.isNull(); }
    QObject* viewer() const { return m_viewer.data(); }
    void attachViewer(QObject* viewer);
    void detachViewer(QObject* viewer);
    bool cancelRequested() const { return m_cancel; }

    // A live report that can write itself again as one PDF file per record (the
    // single-sheet bloquetos: one file per title) offers it; a loaded file does not.
    bool canExportPerRecord() const { return !m_loaded && bool(m_source.exportPerRecord); }

    // -- production side, used by the report and the file reader
    void begin(QSize paperUm, bool landscape);
    int fontIndex(const RpFont& font);
    int pictureIndex(const QImage& picture); // the same picture is stored once
    void addPage(RpPage page);
    // Frees the display list of a page already written out (streamed PDF); the page
    // still counts, and draws empty.
    void releasePage(int index);
    void finish();
    void fail();
    // Bytes the pages and pictures hold (the benchmark's measure of growth).
    qsizetype bytes() const;

    // A live report's way to print itself again and to set up its printer.
    struct Source {
        std::function<int(QPrinter&)> print; // answers the pages printed
        std::function<QPrinter*()> printer;
        std::function<int(const QString& folder)> exportPerRecord; // empty: not offered
    };
    void setSource(Source source) { m_source = std::move(source); }
    const Source& source() const { return m_source; }

    // Replaces the whole content; used by the file reader and the tests.
    void replaceContent(std::vector<RpPage> pages, QList<RpFont> fonts, QList<QImage> pictures,
                        QSize paperUm, bool landscape);

Q_SIGNALS:
    void pageAdded(int pageCount);
    void stateChanged();
    void released();        // no viewer holds the store any more
    void contentReplaced(); // a load replaced the pages

private:
    QString m_title;
    RpCompactPages m_pages;
    QList<RpFont> m_fonts;
    QList<QImage> m_pictures;
    QHash<qint64, int> m_pictureByKey;
    QHash<QByteArray, int> m_pictureByContent;
    QSize m_paper{2100 * 100, 2970 * 100};
    bool m_landscape = false;
    State m_state = State::Producing;
    bool m_loaded = false;
    bool m_cancel = false;
    QPointer<QObject> m_viewer;
    Source m_source;
};
