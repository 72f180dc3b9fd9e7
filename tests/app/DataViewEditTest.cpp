// The data view's own editing: keys join and split lines with the line
// ends as received, received lines follow the user's edits, and the view
// scrolls to the line that came last.
#include <QApplication>
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
