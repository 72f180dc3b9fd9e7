#pragma once
// The layout of a printed capture: the view's lines in a monospace font
// whose height is one sixtieth of the printable height, cut (not wrapped)
// at the characters that fit a line, a fixed number of lines per page,
// and the footer "- p/n -" centred under them.
// Qt-free; any thread. All sizes in printer device pixels.

#include <functional>
#include <string>
#include <vector>

struct PrintMetrics {
  int width = 0;         // printable width W
  int height = 0;        // printable height H
  int lineHeight = 0;    // font height plus external leading
  int avgCharWidth = 0;  // average character width
};

struct PrintPlan {
  int charsPerLine = 0;  // W / avgCharWidth
  int linesPerPage = 0;  // H / lineHeight - 8 (the top margin and footer take the rest)
  int pages = 0;         // ceil(lines / linesPerPage); 0 for no lines
  int left = 0;          // x of every line: W / 11
  int top = 0;           // y of the first line: W / 11 (from the width, like the left margin)
  int footerY = 0;       // linesPerPage * lineHeight + W / 9
};

// Width of the footer field in characters: the footer is centred as if it
// were at least this long (it is padded with blanks to it).
constexpr int kFooterField = 15;

// The font's cell height (ascent plus descent, what a positive GDI font
// height asks for): H / 60. A page then holds about 52 lines on any printer.
inline int PrintFontHeight(int printableHeight) { return printableHeight / 60; }

// Toolkits size a font by its em (Qt's pixel size), which is smaller than
// the cell (about 1.13 em for Courier New). The largest em, at least 1,
// whose cell height `cellAt(em)` is not above `cellHeight`, and at most
// twice `cellHeight` (a face whose cell stops growing gets that); `cellAt`
// must not shrink as the em grows. Any thread.
int EmForCellHeight(int cellHeight, const std::function<int(int)>& cellAt);

// The plan for `lineCount` lines; pages 0 when there is nothing to print or
// the metrics leave no room for a line (linesPerPage or charsPerLine < 1).
PrintPlan PlanPrint(const PrintMetrics& metrics, int lineCount);

// y of line `i` (0-based on its page).
inline int LineY(const PrintPlan& plan, const PrintMetrics& m, int i) {
  return plan.top + i * m.lineHeight;
}

// "- p/n -" padded with blanks to kFooterField characters; longer for page
// counts of 10000 and above, never cut.
std::string FooterText(int page, int pages);
// x of a footer of `text`: centred on the width.
int FooterX(const PrintMetrics& metrics, const std::string& text);

// The order in which pages (0-based) go to the printer for `copies` copies:
// collated 0,1,2,0,1,2; uncollated 0,0,1,1,2,2.
std::vector<int> PageOrder(int pages, int copies, bool collate);
