#pragma once
// Printing of the data view: the system's print dialog (Qt's; it offers a
// PDF file on Linux), then the view's lines in "Courier New" (on Linux a
// metric-compatible monospace face through font substitution; SimSun on a
// Chinese (PRC) system) at one sixtieth of the printable height, cut at the
// characters that fit, a fixed number of lines per page and the footer
// "- p/n -" centred below them (tools/PrintLayout.h). Copies go in the
// order the dialog chose (collated or not). The job is named after the
// owner's window text.
//
// Nothing is printed and no document is started when the dialog is
// cancelled or the view is empty. A failure to start the document or a
// page stops the run. What is left of the job then depends on Qt's engine,
// since QPrinter::abort() is empty in Qt 6's PDF, CUPS and Windows engines
// and QPainter::end() ends the document whatever happened before:
//   - printing to a file (PDF): the file is removed, so no partial
//     document is left;
//   - a Windows printer: the engine's end calls EndPage and EndDoc, so the
//     sheets spooled before the failure print unless the spooler already
//     dropped the job (EndPage fails when the job was deleted or the
//     spooler failed, the usual cause, and EndDoc then fails as well);
//   - a CUPS printer: the engine collects the job in a temporary file and
//     submits it at its end, so the sheets before the failure are printed.
// Qt offers no public way to reach AbortDoc or to withdraw the CUPS job.
// The owner is disabled while pages are produced; the caller enables it
// again. Threads: UI thread only.

#include <QLocale>

#include <functional>

#include "tools/PrintLayout.h"

class CMyRichEdit;
class QPrinter;
class QWidget;

namespace capture_print {

// Replaces the print dialog (tests): gets the printer, returns false for
// a cancelled dialog. An empty hook restores the real dialog.
using DialogHook = std::function<bool(QPrinter& printer, QWidget* owner)>;
void SetDialogHook(DialogHook hook);

// Stands in for a printer that cannot start sheet `sheet` (0-based, in
// print order) when it returns false (tests). Empty: no stand-in.
using SheetHook = std::function<bool(int sheet)>;
void SetSheetHook(SheetHook hook);

// The face for `locale`: "SimSun" on a Chinese (PRC) system, else "Courier New".
QString FaceFor(const QLocale& locale);

}  // namespace capture_print

// 1 when printed or nothing was to be printed, 0 when starting the
// document or a page failed. `plan`, when given, receives the layout used.
int PrintText(QWidget* owner, const CMyRichEdit& view, PrintPlan* plan = nullptr);
