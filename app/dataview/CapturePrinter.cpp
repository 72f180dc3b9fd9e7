#include "app/dataview/CapturePrinter.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/dataview/LanguageConvertor.h"
#include "app/dataview/MyRichEdit.h"

namespace capture_print {

namespace {
DialogHook& Hook() {
  static DialogHook hook;
  return hook;
}
// The document name keeps at most this many characters of the window text.
constexpr int kDocNameLimit = 323;
}  // namespace

void SetDialogHook(DialogHook hook) { Hook() = std::move(hook); }

namespace {
SheetHook& Sheets() {
  static SheetHook hook;
  return hook;
}
}  // namespace

void SetSheetHook(SheetHook hook) { Sheets() = std::move(hook); }

bool StartSheet(QPrinter& printer, int sheet) {
  if (Sheets() && !Sheets()(sheet))
    return false;
  return sheet == 0 || printer.newPage();
}

QString FaceFor(const QLocale& locale) {
  return CLanguageConvertor::IsChinesePrc(locale) ? QStringLiteral("SimSun")
                                                  : QStringLiteral("Courier New");
}

bool AskForPrinter(QPrinter& printer, QWidget* owner) {
  if (Hook())
    return Hook()(printer, owner);
  QPrintDialog dialog(&printer, owner);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace capture_print

int PrintText(QWidget* owner, const CMyRichEdit& view, PrintPlan* planOut) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setCollateCopies(true);
  if (!capture_print::AskForPrinter(printer, owner))
    return 1;

  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  QFont font(capture_print::FaceFor(QLocale::system()));
  font.setStyleHint(QFont::TypeWriter);
  // The cell height (not Qt's pixel size, the em) is the sixtieth.
  font.setPixelSize(EmForCellHeight(PrintFontHeight(area.height()), [&](int em) {
    QFont sized(font);
    sized.setPixelSize(em);
    return QFontMetrics(sized, &printer).height();
  }));

  const int lineCount = view.LineCount();
  if (lineCount == 0)
    return 1;

  const QFontMetrics fm(font, &printer);
  PrintMetrics metrics;
  metrics.width = area.width();
  metrics.height = area.height();
  metrics.lineHeight = fm.height() + fm.leading();
  metrics.avgCharWidth = fm.averageCharWidth();
  const PrintPlan plan = PlanPrint(metrics, lineCount);
  if (planOut != nullptr)
    *planOut = plan;
  if (plan.pages == 0)
    return 1;

  // Qt would repeat the pages itself; the copies are made here, in the
  // order chosen.
  const std::vector<int> order = PageOrder(plan.pages, printer.copyCount(), printer.collateCopies());
  printer.setCopyCount(1);

  if (owner != nullptr) {
    owner->setEnabled(false);
    printer.setDocName(owner->windowTitle().left(capture_print::kDocNameLimit));
  }
  QPainter painter;
  if (!painter.begin(&printer))
    return 0;
  painter.setFont(font);
  const int ascent = QFontMetrics(painter.font(), &printer).ascent();
  bool failed = false;
  for (std::size_t n = 0; n < order.size() && !failed; ++n) {
    if (!capture_print::StartSheet(printer, static_cast<int>(n))) {
      failed = true;
      break;
    }
    const int page = order[n];
    for (int i = 0; i < plan.linesPerPage; ++i) {
      const int j = page * plan.linesPerPage + i;
      if (j >= lineCount)
        break;
      painter.drawText(plan.left, LineY(plan, metrics, i) + ascent,
                       view.LineBody(j).left(plan.charsPerLine));
    }
    const std::string footer = FooterText(page + 1, plan.pages);
    painter.drawText(FooterX(metrics, footer), plan.footerY + ascent,
                     QString::fromStdString(footer));
  }
  if (failed) {
    // abort() is honoured by no engine of Qt 6, and the painter's end
    // finishes the document whatever (see the header); a file is the one
    // job that can be withdrawn afterwards.
    printer.abort();
    painter.end();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
      QFile::remove(printer.outputFileName());
    return 0;
  }
  painter.end();
  return 1;
}
