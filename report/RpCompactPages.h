#pragma once

#include "RpPage.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The pages of a store held as what each changes of a page like it: a report draws the
// same form on every page (labels, lines, boxes, logos) and only the row's texts and its
// barcode's bars move, so a page of a long run costs the few hundred bytes of its own
// and not the tens of kilobytes of a whole display list.
//
// A page is kept against one of the last few whole pages met (its reference) with the
// same number of operations: the operations that differ are written as the fields that
// change, texts in Latin-1 where they fit. A page like none of them becomes a reference
// itself. at() gives back the very page that was added.
class RpCompactPages {
public:
    void append(RpPage page);
    RpPage at(size_t index) const;
    size_t size() const { return m_pages.size(); }
    // The page draws empty from now on; it still counts.
    void release(size_t index);
    void assign(std::vector<RpPage> pages);
    // Memory the pages hold, references once each.
    qsizetype bytes() const;

private:
    struct Reference {
        RpPage page;
        QStringList texts; // by operation: the text of a text operation
    };
    struct Stored {
        std::shared_ptr<const Reference> reference; // none: an empty page
        QByteArray changes;                         // against the reference
        bool whole = false;                         // the page is the reference itself
    };

    static bool plain(const RpPage& page);
    static std::shared_ptr<const Reference> makeReference(RpPage page);
    // The changes of `page`, or none when they come to more than `most` bytes.
    static std::optional<QByteArray> changes(const RpPage& page, const Reference& reference,
                                             qsizetype most);

    std::vector<Stored> m_pages;
    std::vector<std::shared_ptr<const Reference>> m_recent; // the most recently made first
};
