// The skinned controls: CSkinButtonEx states, hover timer and missing
// bitmaps; CButtonST's reports to its parent; CColorStatic's colours.
#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "app/skin/ButtonST.h"
#include "app/skin/ColorStatic.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/SkinButtonEx.h"
#include "tests/app/AppTestSupport.h"

namespace varnok::apptest {
namespace {

void MoveMouse(QWidget* w, QPoint local, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(w->mapToGlobal(local)),
                    Qt::NoButton, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

QRgb CentrePixel(QWidget* w) {
  const QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  return img.pixel(img.width() / 2, img.height() / 2);
}

QRgb BitmapCentre(int id) {
  const QImage img = skin::Bitmap(id).convertToFormat(QImage::Format_RGB32);
  return img.pixel(img.width() / 2, img.height() / 2);
}

class SkinButtonExTest : public ::testing::Test {
 protected:
  SkinButtonExTest() {
    parent.setGeometry(100, 100, 400, 300);
    CSkinButtonEx::SetCursorSource([this] { return cursor; });
  }
  ~SkinButtonExTest() override { CSkinButtonEx::SetCursorSource(nullptr); }

  QWidget parent;
  QPoint cursor;
};

TEST_F(SkinButtonExTest, TakesTheSizeOfItsNormalBitmapAndKeepsItsPlace) {
  CSkinButtonEx b(&parent, 132);
  b.setGeometry(20, 30, 10, 10);
  ASSERT_TRUE(b.SetBitmaps(263, 263, 265, 264));
  EXPECT_EQ(b.geometry(), QRect(20, 30, 114, 29));
}

TEST_F(SkinButtonExTest, FailedHoverBitmapKeepsWhatLoadedAndDoesNotResize) {
  CSkinButtonEx b(&parent, 132);
  b.setGeometry(20, 30, 50, 40);
  EXPECT_FALSE(b.SetBitmaps(263, 9999, 265, 264));
  EXPECT_TRUE(b.HasBitmap(CSkinButtonEx::kNormal));
  EXPECT_FALSE(b.HasBitmap(CSkinButtonEx::kHover));
  EXPECT_FALSE(b.HasBitmap(CSkinButtonEx::kPressed));
  EXPECT_EQ(b.geometry(), QRect(20, 30, 50, 40));

  // Hovering shows the fill colour where the bitmap is missing.
  cursor = b.mapToGlobal(QPoint(5, 5));
  MoveMouse(&b, QPoint(5, 5));
  EXPECT_TRUE(b.IsHovering());
  EXPECT_EQ(CentrePixel(&b), CSkinButtonEx::kMissingBitmapFill.rgb());
  EXPECT_EQ(b.CurrentState(), CSkinButtonEx::kHover);

  // A later call loads only what is still missing.
  EXPECT_TRUE(b.SetBitmaps(378, 263, 376, 375));
  EXPECT_EQ(b.size(), QSize(114, 29));
  EXPECT_EQ(CentrePixel(&b), BitmapCentre(263));  // hover: the bitmap loaded now
}

TEST_F(SkinButtonExTest, LeavingQuicklyReturnsToNormalAtTheNextTick) {
  CSkinButtonEx b(&parent, 132);
  ASSERT_TRUE(b.SetBitmaps(263, 378, 265, 264));  // hover differs from normal
  cursor = b.mapToGlobal(QPoint(10, 10));
  MoveMouse(&b, QPoint(10, 10));
  ASSERT_TRUE(b.IsHovering());
  EXPECT_TRUE(b.IsHoverTimerSet());
  EXPECT_EQ(CentrePixel(&b), BitmapCentre(378));

  cursor = b.mapToGlobal(QPoint(200, 200));  // gone without another move event
  EXPECT_TRUE(WaitFor([&] { return !b.IsHovering(); }, 1000));
  EXPECT_FALSE(b.IsHoverTimerSet());
  EXPECT_EQ(CentrePixel(&b), BitmapCentre(263));
}

TEST_F(SkinButtonExTest, StillInsideKeepsHovering) {
  CSkinButtonEx b(&parent, 132);
  ASSERT_TRUE(b.SetBitmaps(263, 378, 265, 264));
  cursor = b.mapToGlobal(QPoint(10, 10));
  MoveMouse(&b, QPoint(10, 10));
  Pump(50);
  EXPECT_TRUE(b.IsHovering());
  EXPECT_TRUE(b.IsHoverTimerSet());
}

TEST_F(SkinButtonExTest, DisabledShowsItsDisabledBitmapAndIgnoresHover) {
  CSkinButtonEx b(&parent, 132);
  ASSERT_TRUE(b.SetBitmaps(263, 378, 265, 264));
  b.setEnabled(false);
  cursor = b.mapToGlobal(QPoint(10, 10));
  MoveMouse(&b, QPoint(10, 10));
  EXPECT_FALSE(b.IsHovering());
  EXPECT_EQ(CentrePixel(&b), BitmapCentre(264));
  EXPECT_EQ(b.CurrentState(), CSkinButtonEx::kDisabled);
}

TEST_F(SkinButtonExTest, KeyColoursAreTransparent) {
  CSkinButtonEx b(&parent, 138);
  ASSERT_TRUE(b.SetBitmaps(386, 384, 385, 386));
  QImage canvas(b.size(), QImage::Format_ARGB32);
  canvas.fill(Qt::transparent);
  b.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
  // The close button's normal image is a glyph on magenta.
  EXPECT_EQ(qAlpha(canvas.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(canvas.pixel(b.width() / 2, b.height() / 2)), 255);
}

TEST(ButtonSTTest, EveryMoveReportsHoverAndLeavingReportsOnce) {
  FakeHost parent;
  CButtonST button(&parent, 3);
  button.setGeometry(265, 129, 114, 29);
  for (int x : {5, 20, 40})
    MoveMouse(&button, QPoint(x, 10));
  EXPECT_TRUE(button.IsPointerOver());
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&button, &leave);
  EXPECT_FALSE(button.IsPointerOver());

  ASSERT_EQ(parent.messages.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parent.messages[i].message, WM_SHOW_PAGE);
    EXPECT_EQ(parent.messages[i].wParam, 3u);
    EXPECT_EQ(parent.messages[i].lParam, kShowPageHover);
  }
  EXPECT_EQ(parent.messages[3].message, WM_SHOW_PAGE);
  EXPECT_EQ(parent.messages[3].lParam, kShowPageLeave);
}

TEST(ButtonSTTest, DraggingInWithTheButtonHeldDoesNotLightUp) {
  FakeHost parent;
  CButtonST button(&parent, 3);
  button.setGeometry(0, 0, 114, 29);
  MoveMouse(&button, QPoint(5, 5), Qt::LeftButton);
  EXPECT_FALSE(button.IsPointerOver());
  EXPECT_EQ(parent.messages.size(), 1u);  // still reported
}

TEST(ColorStaticTest, BlackOnWhiteUnlessTheParentColoursIt) {
  QWidget parent;
  CColorStatic label(&parent);
  label.setGeometry(0, 0, 100, 20);
  label.setText("x");
  label.grab();
  EXPECT_EQ(label.PaintedTextColour(), QColor(Qt::black));
  EXPECT_EQ(label.BackgroundColour(), QColor(Qt::white));
  label.SetParentColouring([](QColor& text, QColor& background) {
    text = QColor(255, 0, 0);
    background = QColor();
  });
  label.grab();
  EXPECT_EQ(label.PaintedTextColour(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace varnok::apptest
