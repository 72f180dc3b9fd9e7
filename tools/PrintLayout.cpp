#include "tools/PrintLayout.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kSpareLines = 8;
constexpr int kMarginDivisor = 11;
constexpr int kFooterGapDivisor = 9;
}  // namespace

PrintPlan PlanPrint(const PrintMetrics& m, int lineCount) {
  PrintPlan plan;
  if (m.lineHeight <= 0 || m.avgCharWidth <= 0)
    return plan;
  plan.charsPerLine = m.width / m.avgCharWidth;
  plan.linesPerPage = m.height / m.lineHeight - kSpareLines;
  plan.left = m.width / kMarginDivisor;
  plan.top = m.width / kMarginDivisor;
  plan.footerY = plan.linesPerPage * m.lineHeight + m.width / kFooterGapDivisor;
  if (lineCount > 0 && plan.linesPerPage > 0 && plan.charsPerLine > 0)
    plan.pages = (lineCount + plan.linesPerPage - 1) / plan.linesPerPage;
  return plan;
}

int EmForCellHeight(int cellHeight, const std::function<int(int)>& cellAt) {
  if (cellHeight <= 1)
    return 1;
  // First guess from the face's proportion at the cell height, then a few
  // steps to the exact em (the metrics are rounded per size).
  // A face whose cell stops growing (a bitmap face has a few sizes only)
  // would send the search up for ever: no em goes beyond twice the cell.
  const int most = 2 * cellHeight;
  const int cellAtTarget = std::max(1, cellAt(cellHeight));
  int em = static_cast<int>(std::clamp(
      static_cast<long long>(cellHeight) * cellHeight / cellAtTarget, 1LL, static_cast<long long>(most)));
  while (em > 1 && cellAt(em) > cellHeight)
    --em;
  while (em < most && cellAt(em + 1) <= cellHeight)
    ++em;
  return em;
}

std::string FooterText(int page, int pages) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "- %d/%d -", page, pages);
  std::string text(buffer);
  if (text.size() < static_cast<std::size_t>(kFooterField))
    text.resize(kFooterField, ' ');
  return text;
}

int FooterX(const PrintMetrics& m, const std::string& text) {
  return (m.width - static_cast<int>(text.size()) * m.avgCharWidth) / 2;
}

std::vector<int> PageOrder(int pages, int copies, bool collate) {
  std::vector<int> order;
  if (pages <= 0 || copies <= 0)
    return order;
  const int outer = collate ? copies : 1;
  const int inner = collate ? 1 : copies;
  for (int c = 0; c < outer; ++c)
    for (int p = 0; p < pages; ++p)
      for (int r = 0; r < inner; ++r)
        order.push_back(p);
  return order;
}
