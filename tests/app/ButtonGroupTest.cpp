// CButtonGroup: hit tests, tracking and what each entry shows.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace varnok::apptest
