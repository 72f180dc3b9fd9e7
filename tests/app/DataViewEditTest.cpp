// The data view's own editing: keys join and split lines with the line
// ends as received, received lines follow the user's edits, and the view
// scrolls to the line that came last; assistive technology reads it.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "app/dataview/MyRichEdit.h"

namespace {

void Key(CMyRichEdit& view, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
         const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(&view, &press);
}

TEST(DataViewEditTest, LineEndIsOneStepForDeleteAndBackspace) {
  CMyRichEdit view;
  view.AppendLine("ab\r\n");
  view.AppendLine("cd\n");
  view.moveCursor(QTextCursor::Start);
  view.moveCursor(QTextCursor::EndOfLine);
  Key(view, Qt::Key_Delete);  // CR LF goes as one
  EXPECT_EQ(view.Text(), QString("abcd\n"));
  Key(view, Qt::Key_Return);  // a line the user makes ends with LF
  Key(view, Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(view.Text(), QString("ab\nxcd\n"));
  view.moveCursor(QTextCursor::StartOfLine);
  Key(view, Qt::Key_Backspace);
  EXPECT_EQ(view.Text(), QString("abxcd\n"));
  EXPECT_EQ(view.LineCount(), 1);
  QInputMethodEvent composed;
  composed.setCommitString(QString("\u4E2D"));
  QApplication::sendEvent(&view, &composed);  // an input method's text is typed text
  EXPECT_EQ(view.Text(), QString("ab\u4E2Dxcd\n"));
}

TEST(DataViewEditTest, ReceivedLineGoesOnAnUnendedLineAndIsFollowed) {
  CMyRichEdit view;
  view.resize(300, 200);
  view.show();
  view.AppendLine("first\n");
  Key(view, Qt::Key_End, Qt::ControlModifier);
  Key(view, Qt::Key_Y, Qt::NoModifier, "y");  // typed after the last line feed
  for (int i = 0; i < 200; ++i)
    view.AppendLine(QString("n%1\r\n").arg(i));
  QApplication::processEvents();
  EXPECT_EQ(view.Line(1), QString("yn0\r\n"));
  EXPECT_EQ(view.LineCount(), 201);
  EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
  EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(view.textCursor().position(), view.document()->characterCount() - 1);
}

TEST(DataViewEditTest, ColourOfASelectionStaysWithItsTextThroughEdits) {
  CMyRichEdit view;
  view.AppendLine("plain\n");
  view.AppendLine("red here\n");
  view.moveCursor(QTextCursor::Start);
  view.moveCursor(QTextCursor::Down);
  view.moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
  view.SetCaretColor(Qt::red);
  view.moveCursor(QTextCursor::Start);
  Key(view, Qt::Key_Delete);  // the text before the colour moves it
  view.AppendLine("next\n");
  EXPECT_FALSE(view.FormatAt(0).hasProperty(QTextFormat::ForegroundBrush));
  const CViewFragment red = view.document()->findBlockByNumber(1).begin().fragment();
  EXPECT_EQ(red.text(), QString("red here"));
  EXPECT_EQ(red.charFormat().foreground().color(), QColor(Qt::red));
  EXPECT_FALSE(view.FormatAt(view.Store().RowStart(2)).hasProperty(QTextFormat::ForegroundBrush));
}

}  // namespace

namespace {

TEST(DataViewEditTest, AssistiveTechnologyReadsTheTextAndSetsTheSelection) {
  CMyRichEdit view;
  view.AppendLine("T=25\r\n");
  view.AppendLine("caf\u00e9\n");
  QAccessibleInterface* node = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(node, nullptr);
  QAccessibleTextInterface* text = node->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 11);
  EXPECT_EQ(text->text(0, text->characterCount()), QString("T=25\r\ncaf\u00e9\n"));
  text->setSelection(0, 6, 10);  // "café"
  EXPECT_EQ(view.textCursor().selectionStart(), 6);
  EXPECT_EQ(view.textCursor().selectionEnd(), 10);
  view.copy();
  EXPECT_EQ(QApplication::clipboard()->text(), QString("caf\u00e9"));
}

}  // namespace
