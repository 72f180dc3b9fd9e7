#include "app/dataview/MyRichEdit.h"

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include "app/dataview/DataViewAccessible.h"

namespace {
constexpr QChar kCrSymbol(0x240D);
constexpr int kMargin = 4;  // left of the text, as the text control keeps it

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

bool IsWordByte(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return b >= 0x80 || b == '_' || (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') ||
         (b >= 'A' && b <= 'Z');
}

QString Decode(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

CMyRichEdit::CMyRichEdit(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("view1009"));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  UpdateMetrics();
  static const bool accessible = [] {
    QAccessible::installFactory(DataViewAccessibleFactory);
    return true;
  }();
  (void)accessible;
}

CMyRichEdit::~CMyRichEdit() = default;

// --- Receiving ---------------------------------------------------------

void CMyRichEdit::AppendLine(const QString& line) {
  const QByteArray bytes = line.toUtf8();
  const std::uint64_t from = store_.Size();
  // A row left unended (by the user's edits) goes on with the line.
  const std::uint64_t rowStart = store_.RowStart(store_.Rows() - 1);
  store_.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  longestRow_ = std::max(longestRow_, store_.Size() - rowStart);
  if (!nextFormat_.properties().isEmpty())
    ApplyFormat(from, store_.Size(), nextFormat_);
  if (!followPending_) {
    followPending_ = true;
    QMetaObject::invokeMethod(this, [this] { FollowEnd(); }, Qt::QueuedConnection);
  }
}

void CMyRichEdit::FollowEnd() {
  if (!followPending_)
    return;
  followPending_ = false;
  // The caret goes after the last line, the view with it (one scroll for
  // all the lines that came meanwhile).
  UpdateScrollBars();
  moveCursor(QTextCursor::End);
}

// --- Formats -----------------------------------------------------------

int CMyRichEdit::SetCaretColor(const QColor& colour) {
  if (caret_ == anchor_ && nextFormat_.hasProperty(QTextFormat::ForegroundBrush) &&
      nextFormat_.foreground().color() == colour)
    return 1;  // already so: no new format (and no word look-up) per line
  QTextCharFormat format;
  format.setForeground(colour);
  MergeIntoSelectionOrWord(format);
  return 1;
}

void CMyRichEdit::MergeIntoSelectionOrWord(const QTextCharFormat& format) {
  if (caret_ != anchor_) {
    ApplyFormat(SelectionStart(), SelectionEnd(), format);
  } else {
    ApplyFormat(WordStart(caret_), WordEnd(caret_), format);
    nextFormat_.merge(format);
  }
  viewport()->update();
}

void CMyRichEdit::ApplyFormat(std::uint64_t from, std::uint64_t to,
                              const QTextCharFormat& format) {
  if (from >= to)
    return;
  // The newest span of the same format takes the range in: lines that
  // come in one colour share one span.
  if (!spans_.empty() && spans_.back().format == format && from <= spans_.back().to &&
      to >= spans_.back().from) {
    Span& last = spans_.back();
    last.from = std::min(last.from, from);
    last.to = std::max(last.to, to);
    return;
  }
  spans_.push_back({from, to, format});
  if (format.hasProperty(QTextFormat::FontPointSize) ||
      format.hasProperty(QTextFormat::FontFamilies) ||
      format.hasProperty(QTextFormat::FontPixelSize))
    UpdateMetrics();
}

QTextCharFormat CMyRichEdit::FormatAt(std::uint64_t offset) const {
  QTextCharFormat format;
  for (const Span& span : spans_)
    if (span.from <= offset && offset < span.to)
      format.merge(span.format);
  return format;
}

std::uint64_t CMyRichEdit::NextFormatChange(std::uint64_t offset, std::uint64_t limit) const {
  std::uint64_t next = limit;
  for (const Span& span : spans_) {
    if (span.from > offset && span.from < next)
      next = span.from;
    if (span.to > offset && span.to < next)
      next = span.to;
  }
  return next;
}

QFont CMyRichEdit::FontAt(std::uint64_t offset) const {
  const QTextCharFormat format = FormatAt(offset);
  if (format.properties().isEmpty())
    return font();
  return format.font().resolve(font());
}

// --- Reading -----------------------------------------------------------

std::uint64_t CMyRichEdit::BodyEnd(std::uint64_t row) const {
  const std::uint64_t start = store_.RowStart(row);
  std::uint64_t end = store_.RowEnd(row);
  const char* text = store_.Data();
  if (end > start && text[end - 1] == '\n') {
    --end;
    if (end > start && text[end - 1] == '\r')
      --end;
  }
  return end;
}

int CMyRichEdit::LineCount() const { return static_cast<int>(store_.LineCount()); }

QString CMyRichEdit::Line(int i) const {
  if (i < 0 || static_cast<std::uint64_t>(i) >= store_.Rows())
    return QString();
  return Decode(store_.Slice(store_.RowStart(i), store_.RowEnd(i)));
}

QString CMyRichEdit::LineBody(int i) const {
  if (i < 0 || static_cast<std::uint64_t>(i) >= store_.Rows())
    return QString();
  return Decode(store_.Slice(store_.RowStart(i), BodyEnd(i)));
}

QString CMyRichEdit::Text() const { return Decode(store_.Slice(0, store_.Size())); }

int CMyRichEdit::CharsBefore(std::uint64_t offset) const {
  int count = 0;
  const char* text = store_.Data();
  for (std::uint64_t i = 0; i < offset; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (!IsContinuation(text[i]))
      count += b >= 0xF0 ? 2 : 1;  // beyond the BMP: a surrogate pair
  }
  return count;
}

std::uint64_t CMyRichEdit::OffsetOfChar(int chars) const {
  const char* text = store_.Data();
  std::uint64_t offset = 0;
  for (int count = 0; offset < store_.Size(); ++offset) {
    if (!IsContinuation(text[offset])) {
      if (count >= chars)
        break;
      count += static_cast<unsigned char>(text[offset]) >= 0xF0 ? 2 : 1;
    }
  }
  return offset;
}

void CMyRichEdit::SetCharacterSelection(int anchor, int position) {
  FollowEnd();
  anchor_ = OffsetOfChar(std::max(0, anchor));
  MoveCaret(OffsetOfChar(std::max(0, position)), true);
}

CViewCursor CMyRichEdit::textCursor() const {
  return CViewCursor(CharsBefore(caret_), CharsBefore(anchor_));
}

// --- Caret and selection -----------------------------------------------

std::uint64_t CMyRichEdit::NextOffset(std::uint64_t offset) const {
  const std::uint64_t row = store_.RowOf(offset);
  if (offset >= BodyEnd(row))
    return store_.RowEnd(row);  // over the line end, to the next row
  const char* text = store_.Data();
  ++offset;
  while (offset < store_.Size() && IsContinuation(text[offset]))
    ++offset;
  return offset;
}

std::uint64_t CMyRichEdit::PreviousOffset(std::uint64_t offset) const {
  if (offset == 0)
    return 0;
  const std::uint64_t row = store_.RowOf(offset);
  if (offset == store_.RowStart(row))
    return BodyEnd(row - 1);
  const char* text = store_.Data();
  --offset;
  while (offset > 0 && IsContinuation(text[offset]))
    --offset;
  return offset;
}

std::uint64_t CMyRichEdit::WordStart(std::uint64_t offset) const {
  const std::uint64_t start = store_.RowStart(store_.RowOf(offset));
  const char* text = store_.Data();
  while (offset > start && IsWordByte(text[offset - 1]))
    --offset;
  return offset;
}

std::uint64_t CMyRichEdit::WordEnd(std::uint64_t offset) const {
  const std::uint64_t end = BodyEnd(store_.RowOf(offset));
  const char* text = store_.Data();
  while (offset < end && IsWordByte(text[offset]))
    ++offset;
  return offset;
}

void CMyRichEdit::MoveCaret(std::uint64_t offset, bool keepAnchor) {
  caret_ = std::min(offset, store_.Size());
  if (!keepAnchor)
    anchor_ = caret_;
  EnsureCaretVisible();
  viewport()->update();
}

void CMyRichEdit::moveCursor(QTextCursor::MoveOperation operation, QTextCursor::MoveMode mode) {
  FollowEnd();  // lines that came first take the caret along first
  const bool keep = mode == QTextCursor::KeepAnchor;
  const std::uint64_t row = store_.RowOf(caret_);
  std::uint64_t to = caret_;
  switch (operation) {
    case QTextCursor::Start: to = 0; break;
    case QTextCursor::End: to = store_.Size(); break;
    case QTextCursor::StartOfLine:
    case QTextCursor::StartOfBlock: to = store_.RowStart(row); break;
    case QTextCursor::EndOfLine:
    case QTextCursor::EndOfBlock: to = BodyEnd(row); break;
    case QTextCursor::Left:
    case QTextCursor::PreviousCharacter: to = PreviousOffset(caret_); break;
    case QTextCursor::Right:
    case QTextCursor::NextCharacter: to = NextOffset(caret_); break;
    case QTextCursor::Up:
    case QTextCursor::PreviousBlock:
      if (row > 0)
        to = OffsetAtX(row - 1, XOf(caret_));
      break;
    case QTextCursor::Down:
    case QTextCursor::NextBlock:
      if (row + 1 < store_.Rows())
        to = OffsetAtX(row + 1, XOf(caret_));
      break;
    default: break;
  }
  MoveCaret(to, keep);
}

void CMyRichEdit::selectAll() {
  FollowEnd();
  anchor_ = 0;
  caret_ = store_.Size();
  viewport()->update();
}

// --- Editing -----------------------------------------------------------

void CMyRichEdit::ReplaceBytes(std::uint64_t from, std::uint64_t to, const QByteArray& bytes) {
  store_.Replace(from, to,
                 std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  const std::int64_t delta = static_cast<std::int64_t>(bytes.size()) -
                             static_cast<std::int64_t>(to - from);
  const auto moved = [&](std::uint64_t p) {
    if (p <= from)
      return p;
    if (p >= to)
      return static_cast<std::uint64_t>(static_cast<std::int64_t>(p) + delta);
    return from;
  };
  for (Span& span : spans_) {
    span.from = moved(span.from);
    span.to = moved(span.to);
  }
  spans_.erase(std::remove_if(spans_.begin(), spans_.end(),
                              [](const Span& s) { return s.from >= s.to; }),
               spans_.end());
  const std::uint64_t row = store_.RowOf(from);
  longestRow_ = std::max(longestRow_, store_.RowEnd(row) - store_.RowStart(row));
  anchor_ = caret_ = from + static_cast<std::uint64_t>(bytes.size());
  UpdateScrollBars();
  EnsureCaretVisible();
  viewport()->update();
}

void CMyRichEdit::InsertTyped(const QString& text) {
  const std::uint64_t from = SelectionStart();
  ReplaceBytes(from, SelectionEnd(), text.toUtf8());
  if (!nextFormat_.properties().isEmpty())
    ApplyFormat(from, caret_, nextFormat_);
}

void CMyRichEdit::DeleteSelection() {
  if (caret_ != anchor_)
    ReplaceBytes(SelectionStart(), SelectionEnd(), QByteArray());
}

QMimeData* CMyRichEdit::createMimeDataFromSelection() const {
  auto* data = new QMimeData;
  data->setText(Decode(store_.Slice(SelectionStart(), SelectionEnd())));
  return data;
}

void CMyRichEdit::copy() {
  if (caret_ != anchor_)
    QApplication::clipboard()->setMimeData(createMimeDataFromSelection());
}

void CMyRichEdit::cut() {
  copy();
  DeleteSelection();
}

void CMyRichEdit::paste() {
  const QString text = QApplication::clipboard()->text();
  if (!text.isEmpty())
    InsertTyped(text);
}

void CMyRichEdit::CopyAllText() {
  FollowEnd();
  selectAll();
  copy();
  moveCursor(QTextCursor::End);
}

void CMyRichEdit::ClearAllText() {
  FollowEnd();
  store_.Clear();
  spans_.clear();
  caret_ = anchor_ = 0;
  longestRow_ = 0;
  UpdateMetrics();
  UpdateScrollBars();
  viewport()->update();
  setFocus();
}

// --- Menu and dialogs --------------------------------------------------

QMenu* CMyRichEdit::BuildContextMenu() {
  auto* menu = new QMenu(this);
  const struct {
    int id;
    const char* text;
    bool separatorAfter;
  } items[] = {{kCmdCopy, "&Copy", true},
               {kCmdClear, "C&lear", true},
               {kCmdSelectAll, "Select &All", false},
               {kCmdFont, "Select &Font", false},
               {kCmdBackground, "Background &Color", false}};
  for (const auto& item : items) {
    QAction* action = menu->addAction(QString::fromLatin1(item.text));
    action->setData(item.id);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { OnMenuCommand(id); });
    if (item.separatorAfter)
      menu->addSeparator();
  }
  return menu;
}

void CMyRichEdit::contextMenuEvent(QContextMenuEvent* event) {
  setFocus();
  QMenu* menu = BuildContextMenu();
  menu->exec(event->globalPos());
  delete menu;
}

void CMyRichEdit::OnMenuCommand(int id) {
  FollowEnd();
  switch (id) {
    case kCmdCopy: copy(); break;
    case kCmdClear: ClearAllText(); break;
    case kCmdSelectAll: selectAll(); break;
    case kCmdFont: ChooseFont(); break;
    case kCmdBackground: ChooseBackground(); break;
    default: break;
  }
}

void CMyRichEdit::ChooseFont() {
  // The format before the caret, as the text typed there would get it.
  const std::uint64_t at = SelectionStart();
  QFont font = FontAt(at > 0 && caret_ == anchor_ ? PreviousOffset(at) : at);
  bool ok = false;
  if (fontChooser_) {
    ok = fontChooser_(font);
  } else {
    font = QFontDialog::getFont(&ok, font, this);
  }
  if (!ok)
    return;
  QTextCharFormat format;
  format.setFont(font);
  MergeIntoSelectionOrWord(format);
}

void CMyRichEdit::ChooseBackground() {
  const QColor chosen =
      colourChooser_ ? colourChooser_(background_) : QColorDialog::getColor(background_);
  if (!chosen.isValid())
    return;
  background_ = chosen;
  QPalette p = palette();
  p.setColor(QPalette::Base, chosen);
  setPalette(p);
  viewport()->update();
}

// --- Layout and painting -----------------------------------------------

void CMyRichEdit::UpdateMetrics() {
  // One row height for all rows, the tallest font in use: the rows in sight
  // follow from the scroll position alone.
  QFontMetrics base(font());
  lineHeight_ = std::max(1, base.lineSpacing());
  ascent_ = base.ascent();
  for (const Span& span : spans_) {
    if (!span.format.hasProperty(QTextFormat::FontPointSize) &&
        !span.format.hasProperty(QTextFormat::FontFamilies) &&
        !span.format.hasProperty(QTextFormat::FontPixelSize))
      continue;
    const QFontMetrics fm(span.format.font().resolve(font()));
    lineHeight_ = std::max(lineHeight_, fm.lineSpacing());
    ascent_ = std::max(ascent_, fm.ascent());
  }
}

int CMyRichEdit::RowsInSight() const { return std::max(1, viewport()->height() / lineHeight_); }

void CMyRichEdit::UpdateScrollBars() {
  const int rows = static_cast<int>(std::min<std::uint64_t>(store_.Rows(), INT32_MAX));
  const int sight = RowsInSight();
  verticalScrollBar()->setRange(0, std::max(0, rows - sight));
  verticalScrollBar()->setPageStep(sight);
  const QFontMetrics fm(font());
  const auto width = static_cast<int>(std::min<std::uint64_t>(
      longestRow_ * static_cast<std::uint64_t>(fm.averageCharWidth() + 1) + 2 * kMargin,
      INT32_MAX / 2));
  horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void CMyRichEdit::EnsureCaretVisible() {
  const auto row = static_cast<int>(store_.RowOf(caret_));
  QScrollBar* v = verticalScrollBar();
  if (row >= v->maximum() + RowsInSight())
    UpdateScrollBars();  // rows came that the bar does not know yet
  if (row < v->value())
    v->setValue(row);
  else if (row >= v->value() + RowsInSight())
    v->setValue(row - RowsInSight() + 1);
  const int x = XOf(caret_);
  QScrollBar* h = horizontalScrollBar();
  if (x < h->value())
    h->setValue(std::max(0, x - viewport()->width() / 3));
  else if (x > h->value() + viewport()->width() - kMargin)
    h->setValue(x - viewport()->width() * 2 / 3);
}

QString CMyRichEdit::Shown(std::uint64_t from, std::uint64_t to) const {
  QString text = Decode(store_.Slice(from, to));
  text.replace(QLatin1Char('\r'), kCrSymbol);
  return text;
}

int CMyRichEdit::XOf(std::uint64_t offset) const {
  std::uint64_t at = store_.RowStart(store_.RowOf(offset));
  int x = kMargin;
  while (at < offset) {
    const std::uint64_t next = NextFormatChange(at, offset);
    x += QFontMetrics(FontAt(at)).horizontalAdvance(Shown(at, next));
    at = next;
  }
  return x;
}

std::uint64_t CMyRichEdit::OffsetAtX(std::uint64_t row, int x) const {
  const std::uint64_t end = BodyEnd(row);
  std::uint64_t at = store_.RowStart(row);
  int left = kMargin;
  while (at < end) {
    const std::uint64_t next = NextOffset(at);
    const int w = QFontMetrics(FontAt(at)).horizontalAdvance(Shown(at, std::min(next, end)));
    if (x < left + w / 2)
      return at;
    left += w;
    at = next;
  }
  return end;
}

std::uint64_t CMyRichEdit::OffsetAt(const QPoint& pos) const {
  const int rowInSight = std::max(0, pos.y()) / lineHeight_;
  const std::uint64_t row = std::min<std::uint64_t>(
      static_cast<std::uint64_t>(verticalScrollBar()->value() + rowInSight), store_.Rows() - 1);
  return OffsetAtX(row, pos.x() + horizontalScrollBar()->value());
}

void CMyRichEdit::PaintRow(QPainter& painter, std::uint64_t row, int x0, int y) const {
  const std::uint64_t start = store_.RowStart(row);
  const std::uint64_t end = BodyEnd(row);
  const std::uint64_t selFrom = SelectionStart();
  const std::uint64_t selTo = SelectionEnd();
  int x = x0;
  std::uint64_t at = start;
  while (at < end) {
    std::uint64_t next = NextFormatChange(at, end);
    if (selFrom > at && selFrom < next)
      next = selFrom;
    if (selTo > at && selTo < next)
      next = selTo;
    const QTextCharFormat format = FormatAt(at);
    const QFont font = format.properties().isEmpty() ? this->font() : format.font().resolve(this->font());
    const QString text = Shown(at, next);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(text);
    const bool selected = at >= selFrom && next <= selTo && selFrom != selTo;
    if (selected)
      painter.fillRect(x, y, w, lineHeight_, palette().highlight());
    QColor colour = palette().text().color();
    if (selected)
      colour = palette().highlightedText().color();
    else if (format.hasProperty(QTextFormat::ForegroundBrush))
      colour = format.foreground().color();
    painter.setPen(colour);
    painter.setFont(font);
    painter.drawText(x, y + ascent_, text);
    x += w;
    at = next;
  }
  // A selected line end shows as a little room after the text.
  if (selFrom != selTo && selFrom <= end && selTo > end)
    painter.fillRect(x, y, QFontMetrics(font()).averageCharWidth(), lineHeight_,
                     palette().highlight());
}

void CMyRichEdit::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  const auto first = static_cast<std::uint64_t>(verticalScrollBar()->value());
  const int x0 = -horizontalScrollBar()->value();
  const int rows = viewport()->height() / lineHeight_ + 1;
  for (int i = 0; i < rows && first + static_cast<std::uint64_t>(i) < store_.Rows(); ++i)
    PaintRow(painter, first + static_cast<std::uint64_t>(i), x0 + kMargin, i * lineHeight_);
  if (hasFocus()) {
    const std::uint64_t row = store_.RowOf(caret_);
    if (row >= first && row < first + static_cast<std::uint64_t>(rows)) {
      const int x = x0 + XOf(caret_);
      const int y = static_cast<int>(row - first) * lineHeight_;
      painter.fillRect(x, y, 1, lineHeight_, palette().text());
    }
  }
}

void CMyRichEdit::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CMyRichEdit::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void CMyRichEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void CMyRichEdit::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateMetrics();
    UpdateScrollBars();
    viewport()->update();
  }
}

// --- Input -------------------------------------------------------------

void CMyRichEdit::inputMethodEvent(QInputMethodEvent* event) {
  FollowEnd();
  if (!event->commitString().isEmpty())
    InsertTyped(event->commitString());
  event->accept();
}

QVariant CMyRichEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle) {
    const auto first = static_cast<std::uint64_t>(verticalScrollBar()->value());
    const std::uint64_t row = store_.RowOf(caret_);
    const int y = row >= first ? static_cast<int>(row - first) * lineHeight_ : 0;
    const int x = XOf(caret_) - horizontalScrollBar()->value();
    return QRect(viewport()->mapTo(this, QPoint(x, y)), QSize(1, lineHeight_));
  }
  if (query == Qt::ImEnabled)
    return true;
  if (query == Qt::ImFont)
    return FontAt(caret_);
  return QAbstractScrollArea::inputMethodQuery(query);
}

void CMyRichEdit::keyPressEvent(QKeyEvent* event) {
  FollowEnd();
  const struct {
    QKeySequence::StandardKey key;
    QTextCursor::MoveOperation move;
    QTextCursor::MoveMode mode;
  } moves[] = {
      {QKeySequence::MoveToNextChar, QTextCursor::Right, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToPreviousChar, QTextCursor::Left, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToNextLine, QTextCursor::Down, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToPreviousLine, QTextCursor::Up, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToStartOfLine, QTextCursor::StartOfLine, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToEndOfLine, QTextCursor::EndOfLine, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToStartOfDocument, QTextCursor::Start, QTextCursor::MoveAnchor},
      {QKeySequence::MoveToEndOfDocument, QTextCursor::End, QTextCursor::MoveAnchor},
      {QKeySequence::SelectNextChar, QTextCursor::Right, QTextCursor::KeepAnchor},
      {QKeySequence::SelectPreviousChar, QTextCursor::Left, QTextCursor::KeepAnchor},
      {QKeySequence::SelectNextLine, QTextCursor::Down, QTextCursor::KeepAnchor},
      {QKeySequence::SelectPreviousLine, QTextCursor::Up, QTextCursor::KeepAnchor},
      {QKeySequence::SelectStartOfLine, QTextCursor::StartOfLine, QTextCursor::KeepAnchor},
      {QKeySequence::SelectEndOfLine, QTextCursor::EndOfLine, QTextCursor::KeepAnchor},
      {QKeySequence::SelectStartOfDocument, QTextCursor::Start, QTextCursor::KeepAnchor},
      {QKeySequence::SelectEndOfDocument, QTextCursor::End, QTextCursor::KeepAnchor},
  };
  for (const auto& m : moves) {
    if (event->matches(m.key)) {
      moveCursor(m.move, m.mode);
      return;
    }
  }
  const bool pageDown = event->matches(QKeySequence::MoveToNextPage) ||
                        event->matches(QKeySequence::SelectNextPage);
  const bool pageUp = event->matches(QKeySequence::MoveToPreviousPage) ||
                      event->matches(QKeySequence::SelectPreviousPage);
  if (pageDown || pageUp) {
    const std::uint64_t row = store_.RowOf(caret_);
    const auto step = static_cast<std::uint64_t>(RowsInSight());
    const std::uint64_t to =
        pageDown ? std::min(row + step, store_.Rows() - 1) : (row > step ? row - step : 0);
    MoveCaret(OffsetAtX(to, XOf(caret_)), event->modifiers() & Qt::ShiftModifier);
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::Cut)) {
    cut();
  } else if (event->matches(QKeySequence::Paste)) {
    paste();
  } else if (event->key() == Qt::Key_Backspace) {
    if (caret_ == anchor_)
      anchor_ = PreviousOffset(caret_);
    DeleteSelection();
  } else if (event->matches(QKeySequence::Delete)) {
    if (caret_ == anchor_)
      anchor_ = NextOffset(caret_);
    DeleteSelection();
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    InsertTyped(QStringLiteral("\n"));  // a line the user makes ends with LF
  } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
    InsertTyped(event->text());
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

void CMyRichEdit::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  FollowEnd();
  dragging_ = true;
  MoveCaret(OffsetAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void CMyRichEdit::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_)
    MoveCaret(OffsetAt(event->position().toPoint()), true);
}

void CMyRichEdit::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void CMyRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  const std::uint64_t at = OffsetAt(event->position().toPoint());
  anchor_ = WordStart(at);
  MoveCaret(WordEnd(at), true);
}

// --- The document's shape (ViewDocument.h) ---------------------------

int CViewDocument::characterCount() const {
  return view_->CharsBefore(view_->Store().Size()) + 1;
}

int CViewDocument::blockCount() const { return static_cast<int>(view_->Store().Rows()); }

bool CViewDocument::isEmpty() const { return view_->Store().Size() == 0; }

bool CViewBlock::isValid() const { return row_ < view_->Store().Rows(); }

QString CViewBlock::text() const { return view_->LineBody(static_cast<int>(row_)); }

CViewFragment CViewFragmentIterator::fragment() const {
  const CLineStore& store = view_->Store();
  if (row_ >= store.Rows())
    return {QString(), QTextCharFormat()};
  const std::uint64_t start = store.RowStart(row_);
  const std::uint64_t end = view_->BodyEnd(row_);
  const std::uint64_t next = view_->NextFormatChange(start, end);
  return {QString::fromUtf8(store.Data() + start, static_cast<qsizetype>(next - start)),
          view_->FormatAt(start)};
}
