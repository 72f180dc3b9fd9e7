// CButtonGroup: hit tests, tracking and what each entry shows.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell/Catalogue.h"
#include "app/skin/ButtonGroup.h"
#include "app/skin/SafeDC.h"

namespace varnok::apptest {
namespace {

class ButtonGroupTest : public ::testing::Test {
 protected:
  ButtonGroupTest() : surface(nullptr, QRect(0, 0, 800, 600)) {
    for (const LayoutRow& r : Layout(MenuLayout::Px))
      menu.AddEntry(r.rect, r.normal, r.pressed, r.hover, r.command);
  }
  CSafeDC surface;
  CButtonGroup menu;
};

TEST_F(ButtonGroupTest, ColumnRunsFromY75ToTheLowestBottomAndStopsBeforeX155) {
  EXPECT_TRUE(menu.ColumnHit({0, 75}));
  EXPECT_TRUE(menu.ColumnHit({154, 232}));
  EXPECT_FALSE(menu.ColumnHit({155, 100}));  // right edge excluded
  EXPECT_FALSE(menu.ColumnHit({10, 74}));
  EXPECT_FALSE(menu.ColumnHit({10, 233}));   // PX layout ends at 233
  EXPECT_TRUE(menu.ColumnHit({150, 130}));   // between entries, still the column
}

TEST_F(ButtonGroupTest, HitTestStoresTheEntryAndAMissForgetsIt) {
  EXPECT_EQ(menu.HitTest({10, 140}), 2);  // PX110 at 5,132-142,154
  EXPECT_EQ(menu.pressedIndex, 2);
  EXPECT_EQ(menu.HitTest({150, 130}), -1);  // right of the model entries
  EXPECT_EQ(menu.pressedIndex, -1);
  EXPECT_EQ(menu.EntryAt({10, 154}), 3);  // bottom edge belongs to the next entry
  EXPECT_EQ(menu.pressedIndex, -1);       // EntryAt stores nothing
}

TEST_F(ButtonGroupTest, TrackShowsOneEntryPressedOrHoveredAndTheRestNormal) {
  EXPECT_EQ(menu.Track(surface, {10, 160}, CButtonGroup::kTrackPressed), 3);
  EXPECT_EQ(menu.ShownBitmap(3), 447);
  EXPECT_EQ(menu.ShownBitmap(2), 444);
  EXPECT_EQ(menu.Track(surface, {10, 140}, CButtonGroup::kTrackHover), 2);
  EXPECT_EQ(menu.ShownBitmap(2), 443);
  EXPECT_EQ(menu.ShownBitmap(3), 445);
  EXPECT_EQ(menu.Track(surface, {300, 300}, CButtonGroup::kTrackHover), -1);
  for (int i = 0; i < menu.Count(); ++i)
    EXPECT_EQ(menu.ShownBitmap(i), menu.Entry(i).normal) << i;
}

TEST_F(ButtonGroupTest, CommandOfSelectedFollowsTheSelectedIndex) {
  menu.selectedIndex = 3;
  EXPECT_EQ(menu.CommandOfSelected(), cmd::kPx520);
  menu.selectedIndex = 99;
  EXPECT_EQ(menu.CommandOfSelected(), 0);
}

// The catalogue as the window shows it: every entry of the three layouts in
// order with its rectangle (left, top, right, bottom) and bitmaps (normal,
// pressed, hover), and every product with its page, paint code and picture.
TEST(CatalogueTest, EveryEntryAndProductIsWhereTheTableHasIt) {
  struct Entry {
    MenuLayout layout;
    int command, left, top, right, bottom, normal, pressed, hover;
  };
  const Entry entries[] = {
      {MenuLayout::Qv, 129, 0, 75, 155, 100, 306, 308, 307},
      {MenuLayout::Qv, 100, 5, 111, 142, 133, 276, 275, 274},
      {MenuLayout::Qv, 103, 5, 144, 142, 166, 280, 279, 278},
      {MenuLayout::Qv, 105, 5, 177, 142, 199, 288, 287, 286},
      {MenuLayout::Qv, 104, 5, 210, 142, 232, 284, 283, 282},
      {MenuLayout::Qv, 107, 5, 243, 142, 265, 292, 291, 290},
      {MenuLayout::Qv, 108, 5, 276, 142, 298, 438, 436, 437},
      {MenuLayout::Qv, 150, 0, 301, 155, 326, 351, 353, 354},
      {MenuLayout::Qv, 140, 0, 326, 155, 351, 311, 313, 312},
      {MenuLayout::Qv, 125, 0, 351, 155, 376, 298, 300, 299},
      {MenuLayout::Closed, 129, 0, 75, 155, 100, 306, 308, 307},
      {MenuLayout::Closed, 150, 0, 100, 155, 125, 351, 353, 354},
      {MenuLayout::Closed, 140, 0, 125, 155, 150, 311, 313, 312},
      {MenuLayout::Closed, 125, 0, 150, 155, 175, 298, 300, 299},
      {MenuLayout::Px, 129, 0, 75, 155, 100, 306, 308, 307},
      {MenuLayout::Px, 150, 0, 100, 155, 125, 351, 353, 354},
      {MenuLayout::Px, 152, 5, 132, 142, 154, 444, 442, 443},
      {MenuLayout::Px, 151, 5, 154, 142, 176, 445, 447, 448},
      {MenuLayout::Px, 140, 0, 183, 155, 208, 311, 313, 312},
      {MenuLayout::Px, 125, 0, 208, 155, 233, 298, 300, 299},
  };
  std::size_t index[3] = {0, 0, 0};
  for (const Entry& e : entries) {
    const auto& layout = Layout(e.layout);
    std::size_t& i = index[static_cast<int>(e.layout)];
    ASSERT_LT(i, layout.size()) << e.command;
    const LayoutRow& row = layout[i++];
    EXPECT_EQ(row.command, e.command);
    EXPECT_EQ(row.rect, RectLTRB(e.left, e.top, e.right, e.bottom)) << e.command;
    EXPECT_EQ(std::vector<int>({row.normal, row.pressed, row.hover}),
              std::vector<int>({e.normal, e.pressed, e.hover}))
        << e.command;
  }
  for (MenuLayout l : {MenuLayout::Qv, MenuLayout::Closed, MenuLayout::Px})
    EXPECT_EQ(Layout(l).size(), index[static_cast<int>(l)]);

  const ProductRow products[] = {
      {"QV120", 1, PageId::QV120, true, 109, 451, 100},  {"QV220", 2, PageId::QV220, true, 110, 344, 103},
      {"QV320", 3, PageId::QV220, true, 112, 346, 105},  {"QV240", 4, PageId::QV220, true, 111, 345, 104},
      {"QV340", 5, PageId::QV220, true, 113, 347, 107},  {"RW480", 6, PageId::QV220, true, 115, 343, 108},
      {"PX110", 7, PageId::PX110, false, 152, 449, 152}, {"PX520", 8, PageId::QV120, true, 151, 450, 151},
      {"PX630", 11, PageId::QV120, true, 158, 340, 158}, {"OMNIX", 12, PageId::PX110, true, 159, 461, 159},
      {"QV480R", 14, PageId::QV120, true, 160, 486, 160}, {"QV130", 15, PageId::QV120, true, 161, 471, 161},
      {"QV330", 16, PageId::QV120, true, 162, 476, 162}, {"QV330XE", 17, PageId::QV120, true, 163, 481, 163},
  };
  ASSERT_EQ(Products().size(), std::size(products));
  for (std::size_t i = 0; i < std::size(products); ++i) {
    const ProductRow& want = products[i];
    const ProductRow& got = Products()[i];
    EXPECT_EQ(std::string(got.model), want.model);
    EXPECT_EQ(std::make_tuple(got.code, got.page, got.passVariant, got.paintCode, got.picture, got.command),
              std::make_tuple(want.code, want.page, want.passVariant, want.paintCode, want.picture,
                              want.command))
        << want.model;
  }
}

}  // namespace
}  // namespace varnok::apptest
