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
// page stops the run and the document is aborted, not finished.
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

// The face for `locale`: "SimSun" on a Chinese (PRC) system, else "Courier New".
QString FaceFor(const QLocale& locale);

}  // namespace capture_print

// 1 when printed or nothing was to be printed, 0 when starting the
// document or a page failed. `plan`, when given, receives the layout used.
int PrintText(QWidget* owner, const CMyRichEdit& view, PrintPlan* plan = nullptr);
