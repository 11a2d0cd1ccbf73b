#include "RpPdfTemplates.h"

#include "RpPdfContent.h"

#include <QHash>
#include <algorithm>

namespace {
// Forms kept for pages to come back to (a run alternating between a few layouts).
constexpr size_t kKeptForms = 4;
// Fewer repeated operations than this are not worth a form.
constexpr size_t kLeastOps = 8;

bool sameOp(const RpPage& pa, const RpOp& a, const RpPage& pb, const RpOp& b)
{
    if (a.kind != b.kind || a.style != b.style || a.x != b.x || a.y != b.y || a.w != b.w ||
        a.h != b.h || a.color != b.color || a.fill != b.fill || a.arg != b.arg)
        return false;
    if (a.holdsText()) // p1, p2 only place the text in its page
        return pa.textOf(a) == pb.textOf(b);
    return a.p1 == b.p1 && a.p2 == b.p2 && a.w2 == b.w2 && a.h2 == b.h2;
}

size_t hashOf(const RpPage& page, const RpOp& op)
{
    const size_t h = qHashMulti(0, op.kind, op.x, op.y, op.w, op.h, op.arg);
    return op.holdsText() ? qHashMulti(h, page.textOf(op)) : h;
}

bool meetsAny(const RpPdfContent::Area& a, const std::vector<RpPdfContent::Area>& areas)
{
    return std::any_of(areas.begin(), areas.end(), [&](const auto& b) { return a.meets(b); });
}
} // namespace

bool RpPdfTemplates::fits(const Form& form, const RpPage& page, std::vector<bool>& own) const
{
    const QList<RpOp>& mine = form.ops.ops;
    own.assign(size_t(page.ops.size()), true);
    std::vector<RpPdfContent::Area> drawnBefore; // by the page itself
    qsizetype j = 0;
    for (qsizetype i = 0; i < page.ops.size(); ++i) {
        const RpOp& op = page.ops.at(i);
        const std::optional<RpPdfContent::Area> area = m_content.area(page, op);
        if (j < mine.size() && sameOp(page, op, form.ops, mine.at(j)) &&
            (!area || !meetsAny(*area, drawnBefore))) {
            own[size_t(i)] = false;
            ++j;
            continue;
        }
        if (area)
            drawnBefore.push_back(*area);
    }
    return j == mine.size();
}

bool RpPdfTemplates::makeForm(const RpPage& page, const RpPage& reference, size_t least)
{
    if (reference.ops.isEmpty())
        return false;
    // The operations of the page that the reference has too...
    QMultiHash<size_t, qsizetype> before;
    for (qsizetype i = 0; i < reference.ops.size(); ++i)
        before.insert(hashOf(reference, reference.ops.at(i)), i);
    std::vector<bool> taken(size_t(reference.ops.size()), false);
    std::vector<RpPdfContent::Area> drawnBefore;
    Form form;
    for (const RpOp& op : page.ops) {
        bool repeated = false;
        for (auto it = before.constFind(hashOf(page, op));
             it != before.cend() && !repeated && it.key() == hashOf(page, op); ++it) {
            if (!taken[size_t(*it)] && sameOp(page, op, reference, reference.ops.at(*it))) {
                taken[size_t(*it)] = true;
                repeated = true;
            }
        }
        // ...less those that would cover something the page draws itself before them.
        const std::optional<RpPdfContent::Area> area = m_content.area(page, op);
        if (repeated && (!area || !meetsAny(*area, drawnBefore))) {
            RpOp copy = op;
            if (op.holdsText()) {
                copy.p1 = qint32(form.ops.text.size());
                form.ops.text += page.textOf(op);
            }
            form.ops.ops.append(copy);
        } else if (area) {
            drawnBefore.push_back(*area);
        }
    }
    if (size_t(form.ops.ops.size()) < std::max(least, kLeastOps))
        return false;
    form.id = ++m_lastId;
    m_forms.insert(m_forms.begin(), std::move(form));
    if (m_forms.size() > kKeptForms)
        m_forms.pop_back();
    return true;
}

RpPdfTemplates::Choice RpPdfTemplates::choose(const RpPage& page)
{
    Choice c;
    for (size_t f = 0; f < m_forms.size(); ++f) {
        if (fits(m_forms[f], page, c.own)) {
            std::rotate(m_forms.begin(), m_forms.begin() + qsizetype(f),
                        m_forms.begin() + qsizetype(f) + 1);
            c.form = 0;
            return c;
        }
    }
    // A form that held a few things this page does not repeat (a due date several titles
    // shared) gives way to what it has in common with the page; failing that the page
    // before gives a new one.
    const bool made = (!m_forms.empty() && makeForm(page, RpPage(m_forms.front().ops),
                                                    size_t(m_forms.front().ops.ops.size()) / 2)) ||
                      makeForm(page, m_previous, 0);
    if (made && fits(m_forms.front(), page, c.own)) {
        c.form = 0;
        c.fresh = true;
        return c;
    }
    if (made)
        m_forms.erase(m_forms.begin()); // made but not fitting after all: never written
    c.own.clear();
    return c;
}

bool RpPdfTemplates::holdsForm(int id) const
{
    return std::any_of(m_forms.begin(), m_forms.end(), [&](const Form& f) { return f.id == id; });
}

void RpPdfTemplates::forgetObjects()
{
    for (Form& f : m_forms)
        f.object = 0;
}
