#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>
#include <QPointer>

#include "TRpPrinter.h"

// The preview control: shows one page of a page store, scaled by a zoom percentage, and
// announces the pages as they arrive. It paints only the page in view, from a small cache
// of pages rendered at the current zoom. Zoom 100 % draws the paper at 96 pixels per inch.
class TRpPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TRpPreview(QWidget* parent = nullptr);
    ~TRpPreview() override;

    // Binding marks the store as shown and goes to page 1; binding none (or another
    // store) lets the previous one go, which cancels a production still under way and
    // ends the report's wait.
    void setPageStore(TRpPrinter* store);
    TRpPrinter* pageStore() const { return m_store; }

    int page() const { return m_page; }
    // Page numbers below 1, above the store's page count or without a store are ignored;
    // a new page starts scrolled to its top-left corner.
    void setPage(int page);
    // The page of the picture part; the control has one picture, so this is setPage.
    void setPicturePage(int page) { setPage(page); }

    int zoom() const { return m_zoom; }
    void setZoom(int percent); // 2..2000; other values are ignored
    void zoomToWidth();        // control width / paper width at 100 % x 90, rounded
    void zoomToFit();          // the smaller of the width and height ratios x 95, rounded

    // The page in view as drawn, for tests.
    QImage renderedPage() const;

    // Shown in place of a page while the store has none to show (a report with no rows).
    void setEmptyText(const QString& text);
    QString emptyText() const { return m_emptyText; }

Q_SIGNALS:
    void pageAvailable(int pageCount); // OnPageAvailable: pages produced so far
    void viewResized();                // the control changed size: a fitted zoom is stale

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void storePageAdded(int count);
    void storeReplaced();
    void storeGone();
    QSizeF paperPixels(int zoom) const;
    void updateScrollBars();
    QImage pageImage(int page);
    void dropCache();

    QPointer<TRpPrinter> m_store;
    int m_page = 1;
    int m_zoom = 100;
    struct Cached {
        int page;
        int zoom;
        QImage image;
    };
    QList<Cached> m_cache;
    QString m_emptyText;
};
