// The data view: line ends kept, its right-click menu and commands, and the
// hand-off of the whole text to a text editor.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "app/dataview/MyRichEdit.h"
#include "app/dataview/TextEditorHandoff.h"

namespace {

class MyRichEditTest : public ::testing::Test {
 protected:
  ~MyRichEditTest() override { SetTextFileOpener(nullptr); }
  CMyRichEdit view;
};

TEST_F(MyRichEditTest, LineEndsAndInnerCarriageReturnsComeBackAsReceived) {
  EXPECT_EQ(view.LineCount(), 0);
  view.AppendLine("\r\n");
  view.AppendLine("a\rb\n");
  view.AppendLine("c\r\n");
  EXPECT_EQ(view.LineCount(), 3);
  EXPECT_EQ(view.Text(), QString("\r\na\rb\nc\r\n"));
  EXPECT_EQ(view.LineBody(1), QString("a\rb"));
}

TEST_F(MyRichEditTest, MenuItemsAndCommands) {
  std::unique_ptr<QMenu> menu(view.BuildContextMenu());
  QStringList texts;
  for (QAction* a : menu->actions())
    texts << (a->isSeparator() ? QString("-") : a->text());
  EXPECT_EQ(texts, QStringList({"&Copy", "-", "C&lear", "-", "Select &All", "Select &Font",
                                "Background &Color"}));

  view.AppendLine("one\r\n");
  view.AppendLine("two\r\n");
  view.CopyAllText();
  EXPECT_EQ(QApplication::clipboard()->text().count(QChar('\n')), 2);
  EXPECT_EQ(view.textCursor().position(), view.document()->characterCount() - 1);

  view.SetColourChooser([](const QColor& initial) {
    EXPECT_FALSE(initial.isValid());  // nothing chosen before
    return QColor(10, 20, 30);
  });
  view.OnMenuCommand(CMyRichEdit::kCmdBackground);
  EXPECT_EQ(view.BackgroundColour(), QColor(10, 20, 30));

  view.SetFontChooser([](QFont& font) {
    font.setPointSize(31);
    return true;
  });
  view.moveCursor(QTextCursor::Start);
  view.OnMenuCommand(CMyRichEdit::kCmdFont);  // no selection: the word at the caret
  EXPECT_EQ(view.document()->firstBlock().begin().fragment().charFormat().font().pointSize(), 31);

  view.OnMenuCommand(CMyRichEdit::kCmdClear);
  EXPECT_EQ(view.LineCount(), 0);
  EXPECT_EQ(view.Text(), QString());
}

// POSIX hands the text over in a file; Windows gives it to Notepad's edit
// window (the Windows GUI stage's data journey).
#ifndef _WIN32
TEST_F(MyRichEditTest, EditorGetsWholeLongLinesInAPrivateFile) {
  const QString longLine = QString(1200, 'x') + "\r\n";
  view.AppendLine(longLine);
  view.AppendLine("end");
  QString written;
  QFile::Permissions mode;
  SetTextFileOpener([&](const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    written = QString::fromUtf8(f.readAll());
    mode = QFileInfo(path).permissions();
    QFile::remove(path);
    return true;
  });
  EXPECT_TRUE(EditInTextEditor(nullptr, view.Text()));
  EXPECT_EQ(written, longLine + "end");
  EXPECT_TRUE(mode & QFile::ReadOwner);
  EXPECT_FALSE(mode & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther));
}
#endif

}  // namespace
