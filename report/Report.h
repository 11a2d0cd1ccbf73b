#pragma once

// The banded report engine.
//
// A report is data: a definition file (JSON) gives the page, the bands and their
// elements; C++ code binds handlers to the names the definition gives and points the
// report at a data source. The engine walks the rows, raises the handlers, lays the bands
// out on pages and fills a page store (TRpPrinter) with compact display lists; the
// preview control (TRpPreview, report/ui) shows the store, one painter (RpPagePainter)
// draws its pages on screen, printer, PDF or image, and RpPageFile saves and loads it.
//
// ---------------------------------------------------------------------------------------
// Definition files
//
// Units: every position and size is a decimal number of tenths of a millimetre (254 per
// inch); "size" is [height, left, top, width], relative to the band's top-left corner
// (left may be negative). Font sizes are points. Pen widths are dots of the output device
// (PDF and images are written at 600 dpi, Rp::kOutputDpi; the preview shows them so).
// Unknown keys and values are errors, so a typo fails at load time.
//
//   {
//     "name": "rptExemplo",
//     "title": "Cobrança KV - Exemplo",            // the store's title (ReportTitle)
//     "page": { "paperSize": "A4", "orientation": "poPortrait", "columns": 1,
//               // bottom margin, paper length, top margin, paper width,
//               // left margin, right margin, space between columns
//               "values": [50, 2970, 50, 2100, 100, 100, 0] },
//     "font": { "name": "Arial", "size": 10 },     // default font of text elements
//     "printIfEmpty": false,
//     "options": ["FirstPageHeader", "LastPageFooter"], // without the key: both
//     "bands": [
//       { "name": "RpBand1", "type": "rbDetail",  // rbPageHeader, rbColumnHeader,
//                                                  // rbDetail, rbPageFooter
//         "height": 2868.84, "color": "clWhite",
//         "beforePrint": "RpBand1BeforePrint",     // handler name, bound in code
//         "elements": [ ... in printing order: a box listed first lies under a text ... ]
//       } ] }
//
// Elements ("kind" selects the element; every key but "kind" is optional):
//   common:     "name", "size": [h, l, t, w], "enabled": true
//   text kinds: "font": { "name": "Arial", "size": 8, "bold": false, "color": "clBlack" },
//               "alignment": "taLeftJustify" | "taRightJustify" | "taCenter",
//               "alignToBand": false, "autoSize": false, "wordWrap": false,
//               "transparent": true (false fills the box with "color" first),
//               "color": "clWhite"
//   { "kind": "TRpLabel",   "caption": "RECIBO DO PAGADOR" }
//   { "kind": "TRpDBText",  "dataField": "BlqTitVal", "mask": "",
//                           "onPrint": "qdbMovTitVal1Print" }
//   { "kind": "TRpExpr",    "expression": "'CEP - ' + qryTitulo.BlqSacCep" }
//   { "kind": "TRpSysData", "data": "rpsDate" | "rpsTime" | "rpsPageNumber", "text": "" }
//   { "kind": "TRpMemo",    "lines": ["primeira", "segunda"] }
//   { "kind": "TRpShape",   "shape": "rpsRectangle" | "rpsHorLine" | "rpsVertLine",
//                           "pen": { "width": 2, "style": "psSolid" | "psDot" | "psClear",
//                                    "color": "clBlack" },
//                           "brush": { "color": 14606046, "style": "bsSolid" | "bsClear" } }
//   { "kind": "TRpImage",   "picture": ":/pictures/logo.png" (resource, or a file path
//                           relative to the definition), "center": false, "stretch": false }
//   { "kind": "TRpDrawing", "color": "clBlack" }    // vector bars set by code, see below
// Colours: "clWhite", "clBlack", "cl3DLight", "clBtnFace", "clWindowText", "clSilver",
// "clGray", "clRed", "clNavy", ...; a number is the original's colour number
// (0x00BBGGRR: 14606046 is the grey 222,222,222); "#rrggbb" also works.
//
// What prints:
//   - Pictures are drawn at their own size, 96 pixels per inch, from the box's top-left
//     corner or centred ("center"), clipped to the box; "stretch" fills the box.
//   - AutoSize: the box takes the width of its text, keeping its left edge (left
//     aligned), right edge (right aligned) or centre (centred). AlignToBand aligns
//     against the band's width instead of the box.
//   - WordWrap breaks lines at the box width; lines below the box's bottom are left out
//     (a line prints while its baseline lies inside the box). The box never grows.
//   - Memo fields of a data text and memos print their lines one under the other.
//   - A data text without mask prints the source's display text. With a mask, integers,
//     floats and money print as numbers ("#,##0.00"), dates and times by a date mask
//     ("dd/mm/yyyy hh:nn:ss"); text fields ignore the mask; a formatting error prints
//     nothing. OnPrint runs only for a non-empty text, after formatting.
//   - A band that does not fit in what is left of the page (above the bottom margin and
//     the page footer) starts a new page with the page header and column header bands,
//     unless it is taller than the whole page between the margins.
//
// ---------------------------------------------------------------------------------------
// Driving a report from code
//
//   auto report = TRpReport::fromFile(QStringLiteral(":/reports/rptBloqueto.json"));
//   DbQueryDataSource source(query, QStringLiteral("qryTitulo"));   // store/reportsource
//   report->DataSet = &source;
//   report->bindBeforePrint(QStringLiteral("RpBand1BeforePrint"),
//       [&](TRpBand&, bool& printBand) {
//           report->label(QStringLiteral("qLblDatVen1")).Caption = ...;
//           TRpMemo& m = report->memo(QStringLiteral("qMemInstrucoes1"));
//           m.Lines.clear();
//           m.Lines << QStringLiteral(" ");
//           report->dbText(QStringLiteral("qdbBlqQtdMoe1")).Enabled = quantity != 0;
//           try {
//               report->image(QStringLiteral("RpImage1")).loadFromFile(path);
//           } catch (const RpFileOpenError&) {
//               throw KvError(QStringLiteral("Arquivo de Logomarca não encontrado"));
//           }
//           report->image(QStringLiteral("RpImage5"))
//               .assign(report->image(QStringLiteral("ImageComprovante")));
//           // Vector marks: filled rectangles in tenths of a millimetre, relative to the
//           // element's box, kept to the micrometre on the page.
//           report->drawing(QStringLiteral("qLblCodBarra")).Bars = barRectangles;
//       });
//   report->bindOnPrint(QStringLiteral("qdbMovTitVal1Print"),
//       [&](TRpDBText&, QString& value) { if (zero) value.clear(); });
//   // The system's preview window (reports/uQvPreview.h) opens on the run's store:
//   report->OnPreview = [](TRpPrinter& store) { TfrmQvPreview::openFor(store); };
//   report->preview();          // returns when the preview window lets go of the store
//
// Elements are found by name in any band (label(), dbText(), expr(), sysData(), memo(),
// shape(), image(), drawing(), or element()/find<T>()); a wrong name or kind raises
// KvError. Changes made in BeforePrint print in that band and stay until changed again.
// An exception thrown by a handler ends production and leaves preview() (or produce())
// as that same exception.
//
// Without a preview (batch tool, tests):
//   TRpPrinter store;
//   report->produce(store);
//   RpPdfExport::write(store, path); // or RpPageFile::save(store, path),
//                                    // RpPagePainter::paint(...), RpPrintOutput(store)
//
// Fonts: ReportFonts maps the original face names onto faces shipped in resources/fonts,
// registered on first use; output never depends on the machine's fonts.

#include "ReportDataSource.h"
#include "ReportFonts.h"
#include "RpElements.h"
#include "RpPage.h"
#include "RpPageFile.h"
#include "RpPagePainter.h"
#include "RpPdfExport.h"
#include "RpPrintOutput.h"
#include "RpTypes.h"
#include "TRpBand.h"
#include "TRpPrinter.h"
#include "TRpReport.h"
