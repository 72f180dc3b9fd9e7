#pragma once
// CMyRichEdit: the data view of the QV220 page. An editable plain-text view
// that receives the tool's text line by line; the user may edit it before
// copying or printing it. It holds a whole day of capture: the text lives
// in a CLineStore (one byte per byte of text, 8 bytes per line) and only
// the lines in sight are laid out, when they are painted.
//
// Line ends are kept exactly: the text is held as received, so a line
// ends with LF or CR LF as it came, and a carriage return inside a line is
// shown as U+240D and given back as CR. Text(), Line() and LineCount()
// therefore return what was received (plus the user's edits); the last
// line has no line end unless one was received.
//
// Right-click menu: "&Copy" (the selection), "C&lear" (all the text),
// "Select &All", "Select &Font" (font dialog for the selection or the
// word at the caret), "Background &Color" (colour dialog for the
// background, starting at the colour last chosen).
// document(), textCursor() and moveCursor() read and move the view as
// those of a QPlainTextEdit would (app/dataview/ViewDocument.h).
// Threads: UI thread only.

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <cstdint>
#include <functional>
#include <vector>

#include "app/dataview/ViewDocument.h"
#include "tools/LineStore.h"

class QMenu;
class QMimeData;
class QPainter;

class CMyRichEdit : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // Right-click menu commands.
  static constexpr int kCmdCopy = 101;
  static constexpr int kCmdClear = 102;
  static constexpr int kCmdSelectAll = 103;
  static constexpr int kCmdFont = 104;
  static constexpr int kCmdBackground = 105;

  // Replaceable dialogs (tests answer them): the font dialog gets the
  // current font and returns false when cancelled; the colour dialog gets
  // the initial colour and returns an invalid colour when cancelled.
  using FontChooser = std::function<bool(QFont& font)>;
  using ColourChooser = std::function<QColor(const QColor& initial)>;

  explicit CMyRichEdit(QWidget* parent = nullptr);
  ~CMyRichEdit() override;

  // Appends one received line (decoded, with its line end) at the end of
  // the text, in the format set by SetCaretColor. Not undoable. The text
  // is there at once; the caret (after the line) and the scrolling follow
  // when the event loop next runs, once for all lines appended meanwhile;
  // FollowEnd() does it at once.
  void AppendLine(const QString& line);
  void FollowEnd();

  // The text colour of the selection, or of the word at the caret and of
  // the text that comes next: 1.
  int SetCaretColor(const QColor& colour);

  // Number of lines; 0 for an empty view.
  int LineCount() const;
  // Line `i` with its line end.
  QString Line(int i) const;
  // Line `i` without its line end (what gets printed).
  QString LineBody(int i) const;
  // The whole text, line ends as received.
  QString Text() const;

  // The commands of the page's data-mode buttons.
  void CopyAllText();
  void ClearAllText();

  // The right-click menu as shown (the caller owns it).
  QMenu* BuildContextMenu();
  void OnMenuCommand(int id);

  QColor BackgroundColour() const { return background_; }
  void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }
  void SetColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }

  // The text and the caret as a QPlainTextEdit shows them (ViewDocument.h).
  const CViewDocument* document() const { return &document_; }
  CViewCursor textCursor() const;
  void moveCursor(QTextCursor::MoveOperation operation,
                  QTextCursor::MoveMode mode = QTextCursor::MoveAnchor);
  void selectAll();
  // Selects the UTF-16 characters [anchor, position) (the caret at
  // `position`); both are clamped to the text.
  void SetCharacterSelection(int anchor, int position);
  // The selection to the clipboard; cut also removes it; paste replaces it.
  void copy();
  void cut();
  void paste();

  // For ViewDocument.h: the store, the format in effect at byte `offset`
  // and where that format next changes in [offset, limit).
  const CLineStore& Store() const { return store_; }
  QTextCharFormat FormatAt(std::uint64_t offset) const;
  std::uint64_t NextFormatChange(std::uint64_t offset, std::uint64_t limit) const;
  // End of the text of row `row` (before its LF or CR LF).
  std::uint64_t BodyEnd(std::uint64_t row) const;
  // UTF-16 characters in the bytes [0, offset), and back.
  int CharsBefore(std::uint64_t offset) const;
  std::uint64_t OffsetOfChar(int chars) const;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Copies carry the line ends as received.
  QMimeData* createMimeDataFromSelection() const;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Text composed with an input method comes in as typed text.
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 private:
  // A format given to the bytes [from, to); later spans win.
  struct Span {
    std::uint64_t from;
    std::uint64_t to;
    QTextCharFormat format;
  };

  // Merges `format` into the selection, or without one into the word at
  // the caret and the format of the text that comes next.
  void MergeIntoSelectionOrWord(const QTextCharFormat& format);
  void ApplyFormat(std::uint64_t from, std::uint64_t to, const QTextCharFormat& format);
  // Replaces the bytes [from, to) by `bytes` (the user's edits): formats
  // move with the text, the caret goes after the new bytes.
  void ReplaceBytes(std::uint64_t from, std::uint64_t to, const QByteArray& bytes);
  void InsertTyped(const QString& text);
  void DeleteSelection();
  void ChooseFont();
  void ChooseBackground();

  // Caret steps over whole characters; a line end is one step.
  std::uint64_t NextOffset(std::uint64_t offset) const;
  std::uint64_t PreviousOffset(std::uint64_t offset) const;
  std::uint64_t WordStart(std::uint64_t offset) const;
  std::uint64_t WordEnd(std::uint64_t offset) const;
  std::uint64_t SelectionStart() const { return std::min(caret_, anchor_); }
  std::uint64_t SelectionEnd() const { return std::max(caret_, anchor_); }
  void MoveCaret(std::uint64_t offset, bool keepAnchor);

  // Layout of the rows in sight.
  QString Shown(std::uint64_t from, std::uint64_t to) const;
  QFont FontAt(std::uint64_t offset) const;
  int XOf(std::uint64_t offset) const;  // in the text, without the scroll
  std::uint64_t OffsetAt(const QPoint& viewportPos) const;
  std::uint64_t OffsetAtX(std::uint64_t row, int x) const;
  void PaintRow(QPainter& painter, std::uint64_t row, int x0, int y) const;
  void UpdateMetrics();
  void UpdateScrollBars();
  int RowsInSight() const;
  void EnsureCaretVisible();

  CLineStore store_;
  CViewDocument document_{this};
  std::uint64_t caret_ = 0;
  std::uint64_t anchor_ = 0;
  std::vector<Span> spans_;
  QTextCharFormat nextFormat_;  // for the text that comes next at the caret
  std::uint64_t longestRow_ = 0;  // bytes of the longest row seen (scroll width)
  int lineHeight_ = 1;
  int ascent_ = 0;
  bool dragging_ = false;
  QColor background_;  // invalid until first chosen
  bool followPending_ = false;
  FontChooser fontChooser_;
  ColourChooser colourChooser_;
};
