#include "app/dataview/MyRichEdit.h"

#include <algorithm>

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// Block states: how a line ended. Blocks the user makes have neither and
// end with LF unless they are the last.
constexpr int kEndsLf = 1;
constexpr int kEndsCrLf = 2;
constexpr QChar kCrSymbol(0x240D);
}  // namespace

CMyRichEdit::CMyRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("view1009"));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(false);
  setFocusPolicy(Qt::StrongFocus);
  // Received text is not undoable; without an undo record the view's
  // memory grows only with its text.
  document()->setUndoRedoEnabled(false);
}

void CMyRichEdit::AppendLine(const QString& line) {
  QString body = line;
  int state = 0;
  if (body.endsWith(QLatin1Char('\n'))) {
    body.chop(1);
    state = kEndsLf;
    if (body.endsWith(QLatin1Char('\r'))) {
      body.chop(1);
      state = kEndsCrLf;
    }
  }
  body.replace(QLatin1Char('\r'), kCrSymbol);
  // A line feed inside would split the block; only the last one ends the line.
  body.replace(QLatin1Char('\n'), QChar(0x240A));

  // The lines that come together form one edit: the document lays them
  // out and resizes once, when the event loop next runs (FollowEnd).
  if (!followPending_) {
    followPending_ = true;
    appendCursor_ = QTextCursor(document());
    appendCursor_.beginEditBlock();
    QMetaObject::invokeMethod(this, [this] { FollowEnd(); }, Qt::QueuedConnection);
  }
  QTextCursor& cursor = appendCursor_;
  cursor.movePosition(QTextCursor::End);
  QTextBlock last = cursor.block();
  const bool lastEnded = last.userState() == kEndsLf || last.userState() == kEndsCrLf;
  if (lastEnded)
    cursor.insertBlock();
  // In the format the caret carries (SetCaretColor's colour), as the text
  // typed at the caret would be.
  cursor.insertText(body, currentCharFormat());
  cursor.block().setUserState(state != 0 ? state : -1);
}

void CMyRichEdit::FollowEnd() {
  if (!followPending_)
    return;
  followPending_ = false;
  appendCursor_.endEditBlock();
  appendCursor_ = QTextCursor();
  // The caret goes after the last line, the view with it (one scroll for
  // all the lines of the edit).
  moveCursor(QTextCursor::End);
  ensureCursorVisible();
  // Lines that scrolled out of the view drop their layouts (glyphs and
  // positions, kilobytes a line); what is shown is laid out again.
  const int firstShown = firstVisibleBlock().blockNumber();
  for (QTextBlock b = document()->findBlockByNumber(layoutsFrom_);
       b.isValid() && b.blockNumber() < firstShown; b = b.next())
    b.clearLayout();
  layoutsFrom_ = std::max(0, firstShown);
}

CMyRichEdit::~CMyRichEdit() {
  if (followPending_)
    appendCursor_.endEditBlock();
}

int CMyRichEdit::SetCaretColor(const QColor& colour) {
  const QTextCharFormat current = currentCharFormat();
  if (!textCursor().hasSelection() && current.hasProperty(QTextFormat::ForegroundBrush) &&
      current.foreground().color() == colour)
    return 1;  // already so: no new format run (and no word look-up) per line
  QTextCharFormat format;
  format.setForeground(colour);
  MergeIntoSelectionOrWord(format);
  return 1;
}

void CMyRichEdit::MergeIntoSelectionOrWord(const QTextCharFormat& format) {
  QTextCursor cursor = textCursor();
  if (!cursor.hasSelection()) {
    QTextCursor word = cursor;
    word.select(QTextCursor::WordUnderCursor);
    if (word.hasSelection())
      word.mergeCharFormat(format);
  }
  mergeCurrentCharFormat(format);
}

QString CMyRichEdit::LineEnd(const QTextBlock& block) const {
  if (block.userState() == kEndsCrLf)
    return QStringLiteral("\r\n");
  if (block.userState() == kEndsLf || block.next().isValid())
    return QStringLiteral("\n");
  return QString();
}

QMimeData* CMyRichEdit::createMimeDataFromSelection() const {
  const QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart();
  const int end = cursor.selectionEnd();
  QString text;
  for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() <= end;
       b = b.next()) {
    const int bodyEnd = b.position() + b.length() - 1;
    const int from = std::max(start, b.position()) - b.position();
    const int to = std::min(end, bodyEnd) - b.position();
    QString part = b.text().mid(from, to - from);
    part.replace(kCrSymbol, QLatin1Char('\r'));
    part.replace(QChar(0x240A), QLatin1Char('\n'));
    text += part;
    // The line end goes with the selection when it reaches past the text.
    if (end > bodyEnd || (end == bodyEnd && !b.next().isValid() && start < end))
      text += LineEnd(b);
  }
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

int CMyRichEdit::LineCount() const {
  // An empty document still has its one block; it counts once it holds a
  // received line end.
  const QTextBlock first = document()->firstBlock();
  if (document()->blockCount() == 1 && first.length() <= 1 && LineEnd(first).isEmpty())
    return 0;
  return document()->blockCount();
}

QString CMyRichEdit::LineBody(int i) const {
  QString text = document()->findBlockByNumber(i).text();
  text.replace(kCrSymbol, QLatin1Char('\r'));
  text.replace(QChar(0x240A), QLatin1Char('\n'));
  return text;
}

QString CMyRichEdit::Line(int i) const {
  const QTextBlock block = document()->findBlockByNumber(i);
  if (!block.isValid())
    return QString();
  return LineBody(i) + LineEnd(block);
}

QString CMyRichEdit::Text() const {
  QString all;
  const int count = LineCount();
  for (int i = 0; i < count; ++i)
    all += Line(i);
  return all;
}

void CMyRichEdit::CopyAllText() {
  FollowEnd();
  selectAll();
  copy();
  moveCursor(QTextCursor::End);
}

void CMyRichEdit::ClearAllText() {
  FollowEnd();
  selectAll();
  textCursor().removeSelectedText();
  // The first block keeps no line end of the text that went.
  textCursor().block().setUserState(-1);
  layoutsFrom_ = 0;
  setFocus();
}

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
  QFont font = textCursor().charFormat().font();
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
}
