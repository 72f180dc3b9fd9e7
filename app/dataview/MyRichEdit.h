#pragma once
// CMyRichEdit: the data view of the QV220 page. An editable plain-text view
// that receives the tool's text line by line; the user may edit it before
// copying or printing it.
//
// Line ends are kept exactly: every line remembers whether it ended with
// LF or CR LF, and a carriage return inside a line is shown as U+240D and
// given back as CR. Text(), Line() and LineCount() therefore return what
// was received (plus the user's edits); the last line has no line end
// unless one was received.
//
// Right-click menu: "&Copy" (the selection), "C&lear" (all the text),
// "Select &All", "Select &Font" (font dialog for the selection or the
// word at the caret), "Background &Color" (colour dialog for the
// background, starting at the colour last chosen).
// Threads: UI thread only.

#include <QColor>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>

#include <functional>

class QMenu;
class QMimeData;
class QTextBlock;
class QTextCharFormat;

class CMyRichEdit : public QPlainTextEdit {
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
  // the text. Not undoable. The text is there at once; the layout, the
  // caret (after the line) and the scrolling follow when the event loop
  // next runs, once for all lines appended meanwhile; FollowEnd() does
  // it at once.
  void AppendLine(const QString& line);
  void FollowEnd();

  // The text colour of the selection, or of the word at the caret: 1.
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

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Copies carry the line ends as received.
  QMimeData* createMimeDataFromSelection() const override;

 private:
  // Merges `format` into the selection, or without one into the word at
  // the caret and the format typed next.
  void MergeIntoSelectionOrWord(const QTextCharFormat& format);
  // The line end of block `block` as received ("" for the unended last line).
  QString LineEnd(const QTextBlock& block) const;
  void ChooseFont();
  void ChooseBackground();

  QColor background_;  // invalid until first chosen
  bool followPending_ = false;
  QTextCursor appendCursor_;  // holds the edit open while lines come in
  int layoutsFrom_ = 0;       // first line that may hold a layout
  FontChooser fontChooser_;
  ColourChooser colourChooser_;
};
