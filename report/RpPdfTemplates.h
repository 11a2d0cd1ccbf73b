#pragma once

#include "RpPage.h"

#include <vector>

class RpPdfContent;

// What pages repeat (the labels, lines and logos of a form, a report's headings) found by
// comparing each page with the one before, so that it is drawn once into a form XObject
// that every such page calls, and a page's own content holds only what differs.
//
// Drawing the repeated operations first changes nothing a reader sees: an operation goes
// to a form only when nothing the page draws itself before it touches its area.
class RpPdfTemplates {
public:
    explicit RpPdfTemplates(const RpPdfContent& content) : m_content(content) {}

    struct Choice {
        int form = -1;         // index of the form that draws part of the page; -1 none
        bool fresh = false;    // the form is new: its content is still to be written
        std::vector<bool> own; // by operation: drawn by the page itself
    };
    // How to draw `page`: with a form made before, a new one, or whole.
    Choice choose(const RpPage& page);
    // The object number a form was written as; 0 while the current file lacks it.
    int formObject(int form) const { return m_forms.at(size_t(form)).object; }
    void setFormObject(int form, int object) { m_forms.at(size_t(form)).object = object; }
    // A number that stays with a form while it is kept.
    int formId(int form) const { return m_forms.at(size_t(form)).id; }
    bool holdsForm(int id) const;
    // A new file begins: the forms are kept, but each has to be written into it again.
    void forgetObjects();
    // Keeps `page` for comparing the next one with (the store may free its own copy).
    void pageDone(const RpPage& page) { m_previous = page; }

private:
    struct Form {
        RpPage ops;
        int object = 0;
        int id = 0;
    };
    bool fits(const Form& form, const RpPage& page, std::vector<bool>& own) const;
    bool makeForm(const RpPage& page, const RpPage& reference, size_t least);

    const RpPdfContent& m_content;
    RpPage m_previous;
    std::vector<Form> m_forms; // the most recently used first
    int m_lastId = 0;
};
