// CSafeDC: black start, exact boxes, one copy to the target, labels.
#include <QPainter>
#include <QtMath>

#include <gtest/gtest.h>

#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "tests/app/AppTestSupport.h"

namespace varnok::apptest {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

QImage WhiteTarget() {
  QImage target(800, 600, QImage::Format_RGB32);
  target.fill(kWhite);
  return target;
}

// Pixels of `image` in `box` that differ from `colour`.
int CountNot(const QImage& image, const QRect& box, QRgb colour) {
  int n = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (image.pixel(x, y) != colour)
        ++n;
  return n;
}

TEST(SafeDCTest, UntouchedSurfacePaintsItsRectangleBlackAndNothingElse) {
  QImage target = WhiteTarget();
  const QRect box(40, 30, 100, 50);
  {
    QPainter p(&target);
    CSafeDC dc(&p, box);
  }
  EXPECT_EQ(CountNot(target, box, kBlack), 0);
  EXPECT_EQ(target.pixel(39, 30), kWhite);
  EXPECT_EQ(target.pixel(140, 30), kWhite);
  EXPECT_EQ(target.pixel(40, 80), kWhite);
}

TEST(SafeDCTest, StripImageCoversExactlyItsBoxInTargetCoordinates) {
  QImage target = WhiteTarget();
  const QImage strip = skin::Bitmap(360).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(strip.size(), QSize(195, 17));
  {
    QPainter p(&target);
    CSafeDC dc(&p, QRect(500, 40, 260, 40));  // the surface does not start at 0, 0
    ASSERT_TRUE(dc.DrawBitmap(360, 531, 53, 726, 70));
  }
  EXPECT_EQ(target.copy(531, 53, 195, 17), strip);
  // Just outside the box the surface is still black.
  const QRect ring(530, 52, 197, 19);
  for (int x = ring.left(); x <= ring.right(); ++x) {
    EXPECT_EQ(target.pixel(x, ring.top()), kBlack) << x;
    EXPECT_EQ(target.pixel(x, ring.bottom()), kBlack) << x;
  }
  for (int y = ring.top(); y <= ring.bottom(); ++y) {
    EXPECT_EQ(target.pixel(ring.left(), y), kBlack) << y;
    EXPECT_EQ(target.pixel(ring.right(), y), kBlack) << y;
  }
}

TEST(SafeDCTest, BoxSmallerThanTheImageCutsItAndLargerBoxKeepsTheRest) {
  CSafeDC dc(nullptr, QRect(0, 0, 300, 100));
  ASSERT_TRUE(dc.DrawBitmap(360, 10, 10, 60, 20));  // 50 x 10 of 195 x 17
  const QImage strip = skin::Bitmap(360).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(dc.Image().copy(10, 10, 50, 10), strip.copy(0, 0, 50, 10));
  EXPECT_EQ(CountNot(dc.Image(), QRect(60, 10, 20, 10), kBlack), 0);
  EXPECT_EQ(CountNot(dc.Image(), QRect(10, 20, 50, 10), kBlack), 0);

  ASSERT_TRUE(dc.DrawBitmap(362, 100, 50, 200, 90));  // a 7 x 10 digit in a big box
  EXPECT_EQ(CountNot(dc.Image(), QRect(107, 50, 93, 40), kBlack), 0);
  EXPECT_EQ(CountNot(dc.Image(), QRect(100, 60, 7, 30), kBlack), 0);
}

TEST(SafeDCTest, MissingBitmapReturnsFalseAndDrawsNothing) {
  CSafeDC dc(nullptr, QRect(0, 0, 50, 50));
  EXPECT_FALSE(dc.DrawBitmap(9999, 0, 0, 50, 50));
  EXPECT_EQ(CountNot(dc.Image(), QRect(0, 0, 50, 50), kBlack), 0);
}

TEST(SafeDCTest, AfterFlushDestructionCopiesNothingMore) {
  QImage target = WhiteTarget();
  {
    QPainter p(&target);
    CSafeDC dc(&p, QRect(0, 0, 20, 20));
    dc.Flush();
    EXPECT_TRUE(dc.IsFlushed());
    EXPECT_EQ(target.pixel(5, 5), kBlack);
    p.fillRect(QRect(0, 0, 20, 20), Qt::white);  // the target changes after the copy
  }
  EXPECT_EQ(target.pixel(5, 5), kWhite);
}

TEST(SafeDCTest, DefaultLabelIsOneYellowLineCentredAndCutWithAnEllipsis) {
  CSafeDC dc(nullptr, QRect(0, 0, 200, 60));
  const QRect box(10, 10, 80, 40);
  const QString longText = QStringLiteral("A label far too long for its box, in one line");
  ASSERT_TRUE(dc.DrawLabel(longText, box));
  const QImage& img = dc.Image();
  int top = 1000, bottom = -1, left = 1000, right = -1, yellowish = 0, inked = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (c == kBlack)
        continue;
      ++inked;
      EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
      top = qMin(top, y), bottom = qMax(bottom, y), left = qMin(left, x), right = qMax(right, x);
      if (qBlue(c) <= 10 && qAbs(qRed(c) - qGreen(c)) <= 8)
        ++yellowish;
    }
  ASSERT_GT(inked, 0);
  EXPECT_EQ(yellowish, inked);  // yellow on black: even blended edges have no blue
  EXPECT_LT(bottom - top, 2 * 15);  // one line of the 15 px label font
  const int middle = (top + bottom) / 2;
  EXPECT_NEAR(middle, box.center().y(), 3);

  // The same text cut to the box ends with the ellipsis: drawing the cut
  // text gives the same picture.
  CSafeDC cut(nullptr, QRect(0, 0, 200, 60));
  const QString elided = QFontMetrics(cut.CurrentFont()).elidedText(longText, Qt::ElideRight, 80);
  EXPECT_TRUE(elided.endsWith(QChar(0x2026)));
  cut.DrawLabel(elided, box, CSafeDC::kDtSingleLine | CSafeDC::kDtVCenter);
  EXPECT_EQ(cut.Image(), dc.Image());
}

TEST(SafeDCTest, TextColourChangesOnlyWhenTheCallerSetsIt) {
  CSafeDC dc(nullptr, QRect(0, 0, 100, 30));
  EXPECT_EQ(dc.TextColor(), QColor(255, 255, 0));
  const QColor old = dc.SetTextColor(Qt::black);
  EXPECT_EQ(old, QColor(255, 255, 0));
  EXPECT_EQ(dc.TextColor(), QColor(Qt::black));
}

// On a scaled screen the surface has the screen's pixels and a bitmap lands
// on them as painted for that ratio; where a window pixel's edge falls inside
// a screen pixel (1.25: 617 window pixels are 771.25 screen pixels) the
// pixel at the edge is covered too instead of keeping the surface's black.
TEST(SafeDCTest, ScaledSurfaceTakesTheBitmapPaintedForItsRatioUpToTheLastPixel) {
  constexpr int kBackdrop = 314;  // a page backdrop, no black in it
  for (qreal ratio : {1.25, 1.5, 2.0}) {
    CSafeDC dc(nullptr, QRect(0, 0, 617, 486), ratio);
    ASSERT_TRUE(dc.DrawBitmap(kBackdrop, 0, 0, 617, 486));
    const QImage& img = dc.Image();
    EXPECT_EQ(img.size(), QSize(qCeil(617 * ratio), qCeil(486 * ratio))) << ratio;
    EXPECT_EQ(CountNot(img, QRect(0, 0, 1, img.height()), kBlack), img.height()) << ratio;
    EXPECT_EQ(CountNot(img, QRect(img.width() - 1, 0, 1, img.height()), kBlack), img.height())
        << ratio;
    EXPECT_EQ(CountNot(img, QRect(0, img.height() - 1, img.width(), 1), kBlack), img.width())
        << ratio;
    const QImage painted = skin::Bitmap(kBackdrop, ratio);
    EXPECT_EQ(img.pixel(img.width() / 2, img.height() / 3),
              painted.pixel(img.width() / 2, img.height() / 3)) << ratio;
  }
}

}  // namespace
}  // namespace varnok::apptest
