#pragma once

#include "ReportDataSource.h"
#include "TRpBand.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class TRpPrinter;

// A banded report: page, bands and elements read from a definition file, run over a
// data source. See Report.h for the definition format and the ways code drives it.
class TRpReport {
public:
    TRpReport();
    ~TRpReport();
    TRpReport(const TRpReport&) = delete;
    TRpReport& operator=(const TRpReport&) = delete;

    // Reads a definition (a file path or a ":/" resource). Raises KvError naming the
    // file and what is wrong with it.
    static std::unique_ptr<TRpReport> fromFile(const QString& path);
    // The same from the text of a definition; `baseDir` resolves relative picture paths.
    static std::unique_ptr<TRpReport> fromJson(const QByteArray& json,
                                               const QString& origin = QString(),
                                               const QString& baseDir = QString());

    // -- attributes (as the definition sets them; code may change them before a run)
    QString Name;
    QString ReportTitle;
    RpPageSetup Page;
    RpFont Font;               // default font of the text elements without their own
    bool PrintIfEmpty = false; // false: an empty data source gives no detail band
    bool FirstPageHeader = true;
    bool LastPageFooter = true;
    ReportDataSource* DataSet = nullptr; // not owned
    // Raised when a preview run starts, before any page: open the preview window on the
    // store and attach its preview control. Without it the run produces no preview.
    std::function<void(TRpPrinter& sender)> OnPreview;
    // Set by a report that can write itself again as one PDF file per record into a
    // folder, answering the files written: its preview then offers it.
    std::function<int(const QString& folder)> OnExportPerRecord;

    std::vector<std::unique_ptr<TRpBand>> bands;

    // -- handlers, bound by the names the definition gives them. A run whose definition
    // names a handler that was not bound raises KvError before producing anything.
    void bindBeforePrint(const QString& handlerName, RpBeforePrintHandler handler);
    void bindOnPrint(const QString& handlerName, RpPrintHandler handler);

    // -- elements by name (without regard to case). A missing name or another kind
    // raises KvError: a typo shows at once, not as a blank on paper.
    TRpBand& band(const QString& name) const;
    TRpElement& element(const QString& name) const;
    TRpElement* findElement(const QString& name) const;
    template <class T> T& find(const QString& name) const
    {
        if (auto* e = dynamic_cast<T*>(&element(name)))
            return *e;
        raiseWrongKind(name);
    }
    TRpLabel& label(const QString& name) const { return find<TRpLabel>(name); }
    TRpDBText& dbText(const QString& name) const { return find<TRpDBText>(name); }
    TRpExpr& expr(const QString& name) const { return find<TRpExpr>(name); }
    TRpSysData& sysData(const QString& name) const { return find<TRpSysData>(name); }
    TRpMemo& memo(const QString& name) const { return find<TRpMemo>(name); }
    TRpShape& shape(const QString& name) const { return find<TRpShape>(name); }
    TRpImage& image(const QString& name) const { return find<TRpImage>(name); }
    TRpDrawing& drawing(const QString& name) const { return find<TRpDrawing>(name); }

    // -- running
    // The preview run: processes pending events; does nothing when no data source is set
    // or a preview of this report is showing. Makes a store titled ReportTitle, raises
    // OnPreview, produces the pages into it (keeping the interface alive and announcing
    // each page), then waits, handling events, until no preview control shows the store
    // or the application quits. Closing the preview early cancels the production. An
    // error of a handler ends the production and leaves through here, before the wait.
    void preview();
    bool isPreviewing() const { return m_previewing; }

    // One pass over the data source into `store` (which must be fresh), without a preview:
    // the batch tool and the tests. Between pages `onPage` may process events; the pass
    // stops early when the store's viewer lets go.
    void produce(TRpPrinter& store, const std::function<void()>& onPage = {});
    // One pass written straight to a PDF file, page by page, keeping no page in memory;
    // answers the number of pages (0 writes nothing and leaves an older file alone).
    int writePdf(const QString& path);

    // The printer of this report: printer set-up records its choices here and printing a
    // live store produces the report again onto it.
    QPrinter& printer();
    // Produces the report again, page by page, onto a printer that is ready, printing the
    // printer's page range (fromPage..toPage, 0 meaning the first or the last). Answers the
    // pages printed; *produced, when asked, receives the pages the run made.
    int printTo(QPrinter& printer, int* produced = nullptr);

private:
    [[noreturn]] static void raiseWrongKind(const QString& name);
    void bindHandlers();

    QHash<QString, RpBeforePrintHandler> m_beforePrint;
    QHash<QString, RpPrintHandler> m_onPrint;
    std::unique_ptr<QPrinter> m_printer;
    bool m_previewing = false;
};
