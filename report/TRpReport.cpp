#include "TRpReport.h"

#include "KvError.h"
#include "RpDefinitionReader.h"
#include "RpPagePainter.h"
#include "RpPdfStream.h"
#include "RpProducer.h"
#include "TRpPrinter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

TRpReport::TRpReport() = default;

TRpReport::~TRpReport() = default;

std::unique_ptr<TRpReport> TRpReport::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KvError(
            QStringLiteral("Não foi possível abrir a definição de relatório %1.").arg(path));
    return fromJson(file.readAll(), path, QFileInfo(path).path());
}

std::unique_ptr<TRpReport> TRpReport::fromJson(const QByteArray& json, const QString& origin,
                                               const QString& baseDir)
{
    auto report = std::make_unique<TRpReport>();
    RpDefinitionReader::read(json, origin, baseDir, *report);
    return report;
}

void TRpReport::bindBeforePrint(const QString& handlerName, RpBeforePrintHandler handler)
{
    m_beforePrint.insert(handlerName, std::move(handler));
}

void TRpReport::bindOnPrint(const QString& handlerName, RpPrintHandler handler)
{
    m_onPrint.insert(handlerName, std::move(handler));
}

TRpBand& TRpReport::band(const QString& name) const
{
    for (const auto& b : bands) {
        if (b->Name.compare(name, Qt::CaseInsensitive) == 0)
            return *b;
    }
    throw KvError(QStringLiteral("O relatório %1 não tem a faixa %2.").arg(Name, name));
}

TRpElement* TRpReport::findElement(const QString& name) const
{
    for (const auto& b : bands) {
        if (TRpElement* e = b->find(name))
            return e;
    }
    return nullptr;
}

TRpElement& TRpReport::element(const QString& name) const
{
    if (TRpElement* e = findElement(name))
        return *e;
    throw KvError(QStringLiteral("O relatório %1 não tem o elemento %2.").arg(Name, name));
}

void TRpReport::raiseWrongKind(const QString& name)
{
    throw KvError(QStringLiteral("O elemento %1 não é do tipo esperado.").arg(name));
}

void TRpReport::bindHandlers()
{
    for (const auto& b : bands) {
        if (!b->BeforePrintName.isEmpty()) {
            const auto it = m_beforePrint.constFind(b->BeforePrintName);
            if (it == m_beforePrint.cend())
                throw KvError(QStringLiteral("O relatório %1 não ligou o tratador %2.")
                                  .arg(Name, b->BeforePrintName));
            b->BeforePrint = *it;
        }
        for (const auto& e : b->elements) {
            if (e->kind() != TRpElement::Kind::DBText)
                continue;
            auto& d = static_cast<TRpDBText&>(*e);
            if (d.OnPrintName.isEmpty())
                continue;
            const auto it = m_onPrint.constFind(d.OnPrintName);
            if (it == m_onPrint.cend())
                throw KvError(QStringLiteral("O relatório %1 não ligou o tratador %2.")
                                  .arg(Name, d.OnPrintName));
            d.OnPrint = *it;
        }
    }
}

void TRpReport::preview()
{
    QCoreApplication::processEvents();
    if (m_previewing || !DataSet)
        return;
    bindHandlers();
    m_previewing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_previewing};

    auto store = std::make_unique<TRpPrinter>();
    store->setTitle(ReportTitle);
    store->setSource({[this](QPrinter& p) { return printTo(p); }, [this] { return &printer(); },
                      OnExportPerRecord});
    if (OnPreview)
        OnPreview(*store);

    RpProducer producer(*this, *store);
    bool completed = false;
    try {
        completed = producer.run([] { QCoreApplication::processEvents(); });
    } catch (...) {
        store->fail();
        // The preview window keeps showing what was produced; the store goes with it and
        // no longer reaches back into this report, which may be gone by then.
        store->setSource({});
        if (QObject* viewer = store->viewer())
            store.release()->setParent(viewer);
        throw;
    }
    if (!completed)
        return; // the preview let go while producing: the store is discarded
    store->finish();
    if (!store->isShown())
        return;
    QEventLoop loop;
    QObject::connect(store.get(), &TRpPrinter::released, &loop, &QEventLoop::quit);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &loop,
                     &QEventLoop::quit);
    loop.exec();
}

void TRpReport::produce(TRpPrinter& store, const std::function<void()>& onPage)
{
    bindHandlers();
    store.setTitle(ReportTitle);
    RpProducer producer(*this, store);
    try {
        if (producer.run(onPage))
            store.finish();
    } catch (...) {
        store.fail();
        throw;
    }
}

int TRpReport::writePdf(const QString& path)
{
    // Each page goes to the file as soon as it is made, so memory stays flat however many
    // rows the report has.
    TRpPrinter store;
    RpPdfStream pdf(path);
    produce(store, [&] {
        const int last = store.pageCount() - 1;
        pdf.addPage(store, last);
        store.releasePage(last);
    });
    if (pdf.pageCount() > 0)
        pdf.finish();
    return pdf.pageCount();
}

QPrinter& TRpReport::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageOrientation(Page.landscape ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait);
        m_printer->setDocName(ReportTitle.isEmpty() ? Name : ReportTitle);
    }
    return *m_printer;
}

int TRpReport::printTo(QPrinter& printer, int* produced)
{
    bindHandlers();
    TRpPrinter pages;
    QPainter painter;
    const int from = printer.fromPage();
    const int to = printer.toPage();
    int printed = 0;
    RpProducer producer(*this, pages);
    producer.run([&] {
        QCoreApplication::processEvents();
        const int number = pages.pageCount();
        if ((from == 0 || number >= from) && (to == 0 || number <= to)) {
            RpPagePainter::printPage(painter, printer, pages, number - 1);
            ++printed;
        }
        // A page on paper is not needed again: a long run to the printer keeps no page.
        pages.releasePage(number - 1);
    });
    if (produced)
        *produced = pages.pageCount();
    // Ending the painter hands the job to the print system.
    if (painter.isActive())
        painter.end();
    return printed;
}
