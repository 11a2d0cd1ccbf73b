#pragma once

#include <QtGlobal>
#include <memory>

class QPrinter;
class TRpPrinter;

// Prints a page store: asks for the printer through the dialogs seam, then has a live
// report produce itself again for the printer or paints the stored pages of a loaded file.
// The store is only read; a printer set up for loaded pages is kept here between prints,
// so the choices of one print are offered again at the next.
class RpPrintOutput {
public:
    explicit RpPrintOutput(const TRpPrinter& store);
    ~RpPrintOutput();
    RpPrintOutput(const RpPrintOutput&) = delete;
    RpPrintOutput& operator=(const RpPrintOutput&) = delete;

    // Printer set-up of the report that produced the store; nothing after a load.
    void printerSetup();
    // Asks for the printer (the dialogs seam) and prints: a live report is produced again
    // for the printer, loaded pages print as stored. False when the user cancelled or the
    // store is not finished. A job the print system refused raises KvError with its
    // reason; a job left waiting in a stopped queue is told in a notice.
    bool print();
    // Prints the stored pages of the printer's page range on a printer that is ready;
    // answers the pages printed.
    int printStored(QPrinter& printer);

private:
    const TRpPrinter& m_store;
    std::unique_ptr<QPrinter> m_ownPrinter; // for loaded pages
};
