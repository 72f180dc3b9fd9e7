// Every bitmap resource the program draws exists under its number with the
// pixel size its caller gives it.
#include <QtMath>

#include <gtest/gtest.h>

#include <vector>

#include "app/skin/SkinBitmaps.h"

namespace varnok::apptest {
namespace {

struct SkinSize {
  std::vector<int> ids;
  int width;
  int height;
  const char* use;
};

const std::vector<SkinSize> kSizes = {
    {{325}, 800, 600, "main window background"},
    {{453}, 157, 502, "left panel"},
    {{502}, 270, 52, "PX banner"},
    {{451, 344, 346, 345, 347, 343, 449, 450, 340, 461, 486, 471, 476, 481}, 113, 155,
     "product pictures"},
    {{306, 308, 307, 351, 353, 354, 311, 313, 312, 298, 300, 299}, 155, 25, "menu headers"},
    {{276, 275, 274, 280, 279, 278, 288, 287, 286, 284, 283, 282, 292, 291, 290, 438, 436, 437,
      444, 442, 443, 445, 447, 448},
     137, 22, "menu model entries"},
    {{386, 384, 385, 392, 390, 391}, 19, 20, "close and minimise buttons"},
    {{314, 316, 315, 431, 317, 318}, 617, 486, "page backdrops"},
    {{378, 376, 375, 263, 265, 264}, 114, 29, "Browse and Update buttons"},
    {{360, 361}, 195, 17, "port indicator strip"},
    {{362, 363, 364, 365, 366, 367, 368, 369, 370, 371, 372}, 7, 10, "port digits"},
    {{373}, 417, 191, "download dialog face"},
    {{393, 394, 395, 396, 397, 398, 399, 400, 401, 402, 403, 404, 405, 406, 407, 408}, 35, 17,
     "data view buttons"},
    {{411}, 72, 40, "mode switch button"},
};

TEST(SkinTest, EveryNamedBitmapExistsAtItsSize) {
  for (const SkinSize& row : kSizes)
    for (int id : row.ids) {
      const QImage img = skin::Bitmap(id);
      ASSERT_FALSE(img.isNull()) << id << " (" << row.use << ")";
      EXPECT_EQ(img.size(), QSize(row.width, row.height)) << id << " (" << row.use << ")";
    }
}

// For a scaled screen every bitmap is painted again with the ratio's pixel
// count, covering the same window rectangle, and is drawn, not enlarged: at
// 2x the images as a whole differ from their 1x pixels doubled.
TEST(SkinTest, EveryBitmapIsDrawnForEachScreenRatioNotEnlarged) {
  for (double ratio : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
    qint64 pixels = 0, drawn = 0;
    for (const SkinSize& row : kSizes)
      for (int id : row.ids) {
        const QImage img = skin::Bitmap(id, ratio);
        ASSERT_FALSE(img.isNull()) << id << " at " << ratio;
        EXPECT_EQ(img.devicePixelRatio(), ratio) << id;
        EXPECT_EQ(img.size(), QSize(qCeil(row.width * ratio - 1e-9), qCeil(row.height * ratio - 1e-9)))
            << id << " at " << ratio;
        if (ratio != 2.0)
          continue;
        const QImage one = skin::Bitmap(id);
        for (int y = 0; y < img.height(); ++y)
          for (int x = 0; x < img.width(); ++x)
            drawn += img.pixel(x, y) != one.pixel(x / 2, y / 2);
        pixels += img.width() * img.height();
      }
    if (ratio == 2.0) {
      EXPECT_GT(drawn * 100, pixels * 2) << drawn << " of " << pixels << " pixels differ";
    }
  }
  EXPECT_EQ(skin::Bitmap(325, 1.0), skin::Bitmap(325));
}

TEST(SkinTest, DownloadGlyphAndIconExist) {
  EXPECT_TRUE(skin::HasBitmap(159));
  EXPECT_TRUE(skin::HasBitmap(128));
  EXPECT_FALSE(skin::HasBitmap(9999));
}

TEST(SkinTest, KeyedImagesCarryTheirKeyColourOutsideTheirShape) {
  // Skinned buttons: magenta corners; the download glyph: red around it.
  for (int id : {263, 264, 265, 375, 376, 378, 384, 385, 386, 390, 391, 392})
    EXPECT_EQ(skin::Bitmap(id).pixel(0, 0) | 0xFF000000u, qRgb(255, 0, 255)) << id;
  EXPECT_EQ(skin::Bitmap(159).pixel(0, 0) | 0xFF000000u, qRgb(255, 0, 0));
}

TEST(SkinTest, DigitsDifferFromEachOtherAndFromTheBlank) {
  for (int a = 362; a <= 372; ++a)
    for (int b = a + 1; b <= 372; ++b)
      EXPECT_NE(skin::Bitmap(a), skin::Bitmap(b)) << a << " " << b;
}

}  // namespace
}  // namespace varnok::apptest
