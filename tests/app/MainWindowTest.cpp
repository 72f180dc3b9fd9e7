// The main window: geometry, catalogue clicks and layouts, re-selection,
// the frame painter's modes, keys, dragging and closing.
#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>

#include "app/pages/DlgDtcLookup.h"
#include "app/pages/HostedPage.h"
#include "app/pages/UpgradeQV120Dlg.h"
#include "app/pages/UpgradeQV220Dlg.h"
#include "app/shell/VarnokDlg.h"
#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/SkinButtonEx.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDevDir.h"
#include "update/ConfigHelper.h"

namespace varnok::apptest {
namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}

CUpgradeQV120Dlg* Qv120Page(const CVarnokDlg& window) {
  return qobject_cast<CUpgradeQV120Dlg*>(window.Page(PageId::QV120));
}

void SendKey(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &release);
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    EXPECT_TRUE(UseConfig(configPath));
    CVarnokDlg::Options options;
    options.screenSize = QSize(1024, 768);
    options.configPath = configPath;
    dlg = std::make_unique<CVarnokDlg>(nullptr, options);
  }

  // Centre of the menu entry that fires `command`.
  QPoint EntryCentre(int command) const {
    for (int i = 0; i < dlg->Menu().Count(); ++i)
      if (dlg->Menu().Entry(i).command == command)
        return dlg->Menu().Entry(i).rect.center();
    ADD_FAILURE() << "no entry for command " << command;
    return QPoint(-1, -1);
  }

  void Press(QPoint p) { SendMouse(dlg.get(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
  void Release(QPoint p) { SendMouse(dlg.get(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
  void Hover(QPoint p) { SendMouse(dlg.get(), QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
  void Click(int command) {
    const QPoint p = EntryCentre(command);
    Press(p);
    Release(p);
  }

  // The window shown on the QV220 page in data mode with a byte received:
  // busy until the page lets its port go.
  CUpgradeQV220Dlg* ShowQv220Receiving() {
    dlg->show();
    Click(cmd::kQv220);
    auto* qv220 = qobject_cast<CUpgradeQV220Dlg*>(dlg->Page(PageId::QV220));
    if (qv220 == nullptr)
      return nullptr;
    qv220->SetDayClock([] { return 36000; });
    qv220->SwitchToDataMode();
    qv220->OnReceivedByte('x');
    return qv220;
  }

  test::TempDevDir devDir;  // no tool
  TestFolder folder;
  PromptRecorder prompts;
  std::string configPath = WriteTestConfig(folder);
  std::unique_ptr<CVarnokDlg> dlg;
};

TEST_F(MainWindowTest, CentredOnA1024By768ScreenWithThePageAreaBesideTheMenu) {
  ASSERT_TRUE(dlg->IsInitialised());
  EXPECT_EQ(dlg->geometry(), QRect(112, 84, 800, 600));
  const QRect page = dlg->PageRect();
  EXPECT_EQ(page.topLeft(), QPoint(269, 160));
  EXPECT_EQ(page.left() + page.width(), 886);
  EXPECT_EQ(page.top() + page.height(), 646);
  CHostedPage* qv120 = dlg->Page(PageId::QV120);
  EXPECT_EQ(qv120->geometry(), QRect(157, 76, 617, 486));
  EXPECT_EQ(qv120->mapToGlobal(QPoint(0, 0)), QPoint(269, 160));
  EXPECT_EQ(qv120->PageRect(), page);
  EXPECT_EQ(dlg->windowTitle(), QString("Dennart2"));
  EXPECT_TRUE(dlg->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainWindowTest, OddScreenSizesTruncateTowardZero) {
  CVarnokDlg::Options options;
  options.screenSize = QSize(801, 599);
  options.configPath = configPath;
  CVarnokDlg small(nullptr, options);
  EXPECT_EQ(small.pos(), QPoint(0, 0));  // (1 / 2, -1 / 2)
}

TEST_F(MainWindowTest, StartsOnTheQv120PageWithTheQvMenu) {
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV120);
  EXPECT_EQ(dlg->CurrentProduct(), 1);
  EXPECT_EQ(dlg->SelectionName(), "QV120");
  EXPECT_EQ(dlg->CurrentLayout(), MenuLayout::Qv);
  EXPECT_EQ(dlg->Menu().Count(), 10);
  CHostedPage* qv120 = dlg->Page(PageId::QV120);
  EXPECT_TRUE(qv120->isVisibleTo(dlg.get()));
  EXPECT_TRUE(qv120->IsActive());
  EXPECT_EQ(dlg->LastPaintCode(), 109);
  for (PageId other : {PageId::PX110, PageId::QV220, PageId::Manual, PageId::Dtc})
    EXPECT_FALSE(dlg->Page(other)->isVisibleTo(dlg.get()));
}

TEST_F(MainWindowTest, PressAndReleaseOnOneEntryFiresItOnce) {
  const int paints = dlg->FramePaintCount();
  Click(cmd::kQv220);
  EXPECT_EQ(dlg->CurrentProduct(), 2);
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV220);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 1);
  EXPECT_EQ(dlg->Menu().selectedIndex, 2);
}

TEST_F(MainWindowTest, PressOnOneEntryAndReleaseOnAnotherFiresNothing) {
  const int paints = dlg->FramePaintCount();
  Press(EntryCentre(cmd::kQv220));
  Release(EntryCentre(cmd::kQv320));
  Press(QPoint(150, 140));  // in the column between entries
  Release(EntryCentre(cmd::kQv220));
  EXPECT_EQ(dlg->CurrentProduct(), 1);
  EXPECT_EQ(dlg->FramePaintCount(), paints);
}

struct Step {
  int command;
  MenuLayout layout;
  int entries;
  int selected;
  PageId page;
  int product;
};

TEST_F(MainWindowTest, EachHeaderAndToolLeavesItsLayout) {
  const Step steps[] = {
      {cmd::kPxFamily, MenuLayout::Px, 6, 3, PageId::QV120, 8},   // PX520 from a QV product
      {cmd::kPx110, MenuLayout::Px, 6, 4, PageId::PX110, 7},
      {cmd::kPxFamily, MenuLayout::Px, 6, 3, PageId::PX110, 7},   // PX110 stays
      {cmd::kPx520, MenuLayout::Px, 6, 4, PageId::QV120, 8},
      {cmd::kDtc, MenuLayout::Closed, 4, 2, PageId::Dtc, 8},      // tools keep the product
      {cmd::kManual, MenuLayout::Closed, 4, 1, PageId::Manual, 8},
      {cmd::kQvFamily, MenuLayout::Qv, 10, 1, PageId::QV120, 1},  // 8 is no QV product
      {cmd::kQv220, MenuLayout::Qv, 10, 2, PageId::QV220, 2},
      {cmd::kRw480, MenuLayout::Qv, 10, 6, PageId::QV220, 6},
      {cmd::kDtc, MenuLayout::Closed, 4, 2, PageId::Dtc, 6},
      {cmd::kQvFamily, MenuLayout::Qv, 10, 1, PageId::QV220, 6},  // back to RW480
  };
  for (const Step& s : steps) {
    Click(s.command);
    EXPECT_EQ(dlg->CurrentLayout(), s.layout) << s.command;
    EXPECT_EQ(dlg->Menu().Count(), s.entries) << s.command;
    EXPECT_EQ(dlg->Menu().selectedIndex, s.selected) << s.command;
    EXPECT_EQ(dlg->CurrentPage(), s.page) << s.command;
    EXPECT_EQ(dlg->CurrentProduct(), s.product) << s.command;
    CHostedPage* page = dlg->Page(s.page);
    EXPECT_TRUE(page->isVisibleTo(dlg.get()) || s.page == PageId::Manual) << s.command;
  }
}

TEST_F(MainWindowTest, PxHeaderWhileAQvProductIsShownSelectsPx520NotPx110) {
  Click(cmd::kQv240);
  ASSERT_EQ(dlg->CurrentProduct(), 4);
  Click(cmd::kPxFamily);
  EXPECT_EQ(dlg->CurrentProduct(), 8);
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV120);  // PX520 shares the QV120 page
  EXPECT_EQ(dlg->Page(PageId::QV120)->DevType(), 8);
  EXPECT_EQ(dlg->SelectionName(), "PX520");
  EXPECT_FALSE(dlg->Page(PageId::PX110)->isVisibleTo(dlg.get()));
}

TEST_F(MainWindowTest, ProductPagesGetTheirVariantAndToolsClearTheActiveFlags) {
  Click(cmd::kPxFamily);
  EXPECT_EQ(dlg->Page(PageId::QV120)->DevType(), 8);
  Click(cmd::kQvFamily);
  Click(cmd::kQv340);
  EXPECT_EQ(dlg->Page(PageId::QV220)->DevType(), 5);
  EXPECT_TRUE(dlg->Page(PageId::QV220)->IsActive());
  EXPECT_FALSE(dlg->Page(PageId::QV120)->IsActive());
  Click(cmd::kDtc);
  for (PageId id : {PageId::PX110, PageId::QV120, PageId::QV220, PageId::Dtc})
    EXPECT_FALSE(dlg->Page(id)->IsActive());
  EXPECT_EQ(dlg->SelectionName(), "DTCLookup");
}

TEST_F(MainWindowTest, ManualPageAppearsThroughItsFiveMillisecondTimer) {
  Click(cmd::kManual);
  CHostedPage* manual = dlg->Page(PageId::Manual);
  EXPECT_EQ(manual->TimerPeriod(CHostedPage::kTimerRefreshOnce), 5);
  EXPECT_TRUE(WaitFor([&] { return manual->isVisibleTo(dlg.get()); }, 1000));
  EXPECT_FALSE(manual->IsTimerSet(CHostedPage::kTimerRefreshOnce));
  EXPECT_EQ(manual->geometry(), QRect(157, 76, 617, 486));
}

TEST_F(MainWindowTest, PaintingTheFrameKeepsTheMenuAndShowsTheNewPicture) {
  Click(cmd::kQv240);
  const CSafeDC& surface = *dlg->Surface();
  EXPECT_TRUE(SurfaceShows(surface, QPoint(5, 111), 276));   // QV120 entry, normal
  EXPECT_TRUE(SurfaceShows(surface, QPoint(0, 301), 351));   // PX header
  EXPECT_TRUE(SurfaceShows(surface, QPoint(21, 422), 345));  // QV240 picture
  Click(cmd::kDtc);
  EXPECT_TRUE(SurfaceShows(surface, QPoint(0, 125), 311));
  // The QV layout's entries below the closed menu are gone.
  EXPECT_FALSE(SurfaceShows(surface, QPoint(5, 210), 284));
}

// The PX frames: the banner above the page (its part left of the port
// indicator), the PX110 page's backdrop and the product's picture.
TEST_F(MainWindowTest, PxFramesDrawTheBannerBackdropAndPicture) {
  const struct {
    int code;
    int picture;
  } rows[] = {{152, 449}, {159, 461}};
  // The banner's part above the page area, but for the port indicator.
  const auto bannerShown = [](const QImage& surface) {
    const QImage banner = skin::Bitmap(bmp::kBanner).convertToFormat(QImage::Format_RGB32);
    const QImage shown = surface.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 26; ++y) {
      for (int x = 0; x < 270; ++x) {
        const QPoint at(504 + x, 50 + y);
        if (!QRect(531, 53, 195, 17).contains(at) && shown.pixel(at) != banner.pixel(x, y))
          return false;
      }
    }
    return true;
  };
  for (const auto& row : rows) {
    // The window's background holds the banner too: cover it first.
    dlg->Surface()->DrawBitmap(bmp::kLeftPanel, 504, 50, 774, 102);
    ASSERT_FALSE(bannerShown(dlg->Surface()->Image()));
    SendPageMessage(dlg.get(), WM_SHOW_PAGE, row.code, kShowPageSelect);
    const CSafeDC& surface = *dlg->Surface();
    EXPECT_TRUE(bannerShown(surface.Image())) << row.code;
    EXPECT_TRUE(SurfaceShows(surface, QPoint(21, 422), row.picture)) << row.code;
    CHostedPage* px110 = dlg->Page(PageId::PX110);
    EXPECT_EQ(surface.Image().copy(200, 300, 20, 20),
              skin::Bitmap(px110->GetBackgroundImage()).convertToFormat(surface.Image().format())
                  .copy(43, 224, 20, 20))
        << row.code;
    EXPECT_TRUE(px110->isVisibleTo(dlg.get())) << row.code;
  }
}

TEST_F(MainWindowTest, ChoosingTheShownProductAgainOnlySetsTheOneShotTimer) {
  Click(cmd::kQv220);
  const int paints = dlg->FramePaintCount();
  CHostedPage* qv220 = dlg->Page(PageId::QV220);
  ASSERT_FALSE(qv220->IsTimerSet(CHostedPage::kTimerRefreshOnce));
  Click(cmd::kQv220);
  EXPECT_EQ(qv220->TimerPeriod(CHostedPage::kTimerRefreshOnce), 1);
  EXPECT_EQ(dlg->FramePaintCount(), paints);
  EXPECT_TRUE(qv220->isVisibleTo(dlg.get()));
  EXPECT_TRUE(qv220->IsActive());
  EXPECT_TRUE(WaitFor([&] { return !qv220->IsTimerSet(CHostedPage::kTimerRefreshOnce); }, 1000));
}

TEST_F(MainWindowTest, ChoosingTheShownPxProductFromItsOwnEntryDoesNothing) {
  const struct {
    int command;
    PageId page;
  } rows[] = {{cmd::kPx520, PageId::QV120}, {cmd::kPx110, PageId::PX110},
              {cmd::kPx630, PageId::QV120}, {cmd::kOmnix, PageId::PX110}};
  for (const auto& row : rows) {
    dlg->DispatchMenuCommand(row.command);
    ASSERT_EQ(dlg->CurrentLayout(), MenuLayout::Px);
    const int paints = dlg->FramePaintCount();
    // Not even the menu changes: the highlight stays where it is.
    Hover(EntryCentre(cmd::kDtc));
    const int hover = dlg->Menu().hoverIndex;
    const QImage before = dlg->Surface()->Image();
    dlg->DispatchMenuCommand(row.command);
    EXPECT_EQ(dlg->Menu().hoverIndex, hover) << row.command;
    EXPECT_EQ(dlg->Surface()->Image(), before) << row.command;
    EXPECT_FALSE(dlg->Page(row.page)->IsTimerSet(CHostedPage::kTimerRefreshOnce)) << row.command;
    EXPECT_EQ(dlg->FramePaintCount(), paints) << row.command;
  }
  // From the menu itself the pressed entry keeps its look.
  Click(cmd::kPx110);
  Press(EntryCentre(cmd::kPx110));
  const QImage pressed = dlg->Surface()->Image();
  Release(EntryCentre(cmd::kPx110));
  EXPECT_EQ(dlg->Surface()->Image(), pressed);
  // As a command (not from the menu) the same choice refreshes the page.
  dlg->OnCommand(cmd::kPx110);
  EXPECT_TRUE(dlg->Page(PageId::PX110)->IsTimerSet(CHostedPage::kTimerRefreshOnce));
}

TEST_F(MainWindowTest, ShowPageHoverTwicePaintsOnceAndLeaveResets) {
  const int paints = dlg->FramePaintCount();
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_SHOW_PAGE, 110, kShowPageHover), 1);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 1);
  SendPageMessage(dlg.get(), WM_SHOW_PAGE, 110, kShowPageHover);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 1);
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_SHOW_PAGE, 110, kShowPageLeave), 1);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 1);
  EXPECT_EQ(dlg->LastPaintCode(), 0);
  SendPageMessage(dlg.get(), WM_SHOW_PAGE, 110, kShowPageHover);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 2);
  // A button's control id is no page: remembered, nothing painted.
  SendPageMessage(dlg.get(), WM_SHOW_PAGE, 3, kShowPageHover);
  EXPECT_EQ(dlg->FramePaintCount(), paints + 2);
  EXPECT_EQ(dlg->LastPaintCode(), 3);
}

TEST_F(MainWindowTest, LinkStateIsAcceptedAndDrawsNothing) {
  const QImage before = dlg->Surface()->Image();
  const int paints = dlg->FramePaintCount();
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_LINK_STATE, 0, 1), 1);
  EXPECT_EQ(dlg->FramePaintCount(), paints);
  EXPECT_EQ(dlg->Surface()->Image(), before);
}

TEST_F(MainWindowTest, PointerOverAPageClearsTheMenuHighlight) {
  Hover(EntryCentre(cmd::kQv220));
  EXPECT_EQ(dlg->Menu().ShownBitmap(2), 278);  // hover bitmap
  EXPECT_EQ(dlg->Menu().hoverIndex, 2);
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_CHILD_MOUSEMOVE, 0, 0), 1);
  EXPECT_EQ(dlg->Menu().ShownBitmap(2), 280);
  // The page reports moves itself.
  CHostedPage* page = dlg->Page(PageId::QV120);
  Hover(EntryCentre(cmd::kQv320));
  EXPECT_EQ(dlg->Menu().ShownBitmap(3), 286);
  SendMouse(page, QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(dlg->Menu().ShownBitmap(3), 288);
}

TEST_F(MainWindowTest, LeavingAnEntryForEmptySpaceRedrawsItNormal) {
  Hover(EntryCentre(cmd::kQvFamily));  // index 0
  EXPECT_EQ(dlg->Menu().ShownBitmap(0), 307);
  Hover(QPoint(300, 20));  // header, not the page area
  EXPECT_EQ(dlg->Menu().ShownBitmap(0), 306);
}

TEST_F(MainWindowTest, EscapeAndEnterCloseNothing) {
  dlg->show();
  QLineEdit* edit = Qv120Page(*dlg)->Edit(CUpgradeQV120Dlg::kBinEditId);
  for (QWidget* target : {static_cast<QWidget*>(dlg.get()), static_cast<QWidget*>(Qv120Page(*dlg)),
                          static_cast<QWidget*>(edit)})
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
      SendKey(target, key);
      Pump(5);
      ASSERT_TRUE(dlg->isVisible()) << key;
    }
  EXPECT_EQ(dlg->result(), 0);
  EXPECT_NE(dlg->Surface(), nullptr);
  // The window system's close request does close it.
  dlg->close();
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_EQ(dlg->Surface(), nullptr);
}

// What a screen reader finds of the painted catalogue and port indicator.
TEST_F(MainWindowTest, PaintedEntriesAndThePortIndicatorAreNamedForAssistiveTechnology) {
  dlg->show();
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dlg.get());
  ASSERT_NE(window, nullptr);
  auto painted = [&] {
    QStringList tabs;
    QString status, selected, version;
    for (int i = 0; i < window->childCount(); ++i) {
      QAccessibleInterface* c = window->child(i);
      if (c->role() == QAccessible::PageTab) {
        tabs << c->text(QAccessible::Name);
        EXPECT_EQ(c->rect(), QRect(dlg->mapToGlobal(dlg->Menu().Entry(tabs.size() - 1).rect.topLeft()),
                                   dlg->Menu().Entry(tabs.size() - 1).rect.size()));
        if (c->state().selected)
          selected = c->text(QAccessible::Name);
      } else if (c->role() == QAccessible::StatusBar) {
        status = c->text(QAccessible::Name);
      } else if (c->role() == QAccessible::StaticText && c->object() == nullptr) {
        version = c->text(QAccessible::Name);
      }
    }
    EXPECT_EQ(version, QString::fromStdWString(CConfigHelper::GetInstance().GetVersionText()));
    return std::make_tuple(tabs, selected, status);
  };
  EXPECT_EQ(painted(), std::make_tuple(QStringList{"QV series", "QV120", "QV220", "QV320", "QV240",
                                                   "QV340", "RW480", "PX series", "DTC lookup",
                                                   "Manuals"},
                                       QString("QV120"), QString("No tool connected")));
  Click(cmd::kDtc);
  EXPECT_EQ(painted(), std::make_tuple(QStringList{"QV series", "PX series", "DTC lookup", "Manuals"},
                                       QString("DTC lookup"), QString()));
  // The entry's action runs it as a click does.
  window->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(dlg->CurrentProduct(), 8);
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV120);
}

// Keys go where the keyboard focus is, as on a real display: to the
// active window's focus widget.
TEST_F(MainWindowTest, KeysAfterChoosingAPageReachItsFirstControlNeverAHiddenPage) {
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QLineEdit* bin = Qv120Page(*dlg)->Edit(CUpgradeQV120Dlg::kBinEditId);
  EXPECT_EQ(QApplication::focusWidget(), bin);

  Click(cmd::kDtc);
  auto* dtc = qobject_cast<CDlgDtcLookup*>(dlg->Page(PageId::Dtc));
  ASSERT_NE(dtc, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), dtc->SearchBox());
  QTest::keyClicks(nullptr, QStringLiteral("p0420"));
  EXPECT_EQ(dtc->SearchBox()->text(), QStringLiteral("P0420"));
  EXPECT_EQ(bin->text(), QString());

  // A tool page without a control of its own (before it shows) and the
  // way back: the product page's first path box has the keyboard again.
  Click(cmd::kQvFamily);
  EXPECT_EQ(QApplication::focusWidget(), bin);
  Click(cmd::kManual);
  QTest::keyClicks(nullptr, QStringLiteral("x"));
  EXPECT_EQ(bin->text(), QString());
  EXPECT_EQ(dtc->SearchBox()->text(), QStringLiteral("P0420"));
}

TEST_F(MainWindowTest, WhileTheQv220PageReceivesCloseAndMinimiseDoNothing) {
  CUpgradeQV220Dlg* qv220 = ShowQv220Receiving();
  ASSERT_NE(qv220, nullptr);
  ASSERT_TRUE(qv220->IsBusy());
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(dlg.get())->state().busy);
  for (const char* name : {"minimiseButton", "closeButton"}) {
    auto* button = dlg->findChild<CSkinButtonEx*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    Pump(5);
    EXPECT_TRUE(dlg->isVisible()) << name;
    EXPECT_FALSE(dlg->isMinimized()) << name;
    EXPECT_NE(dlg->Surface(), nullptr) << name;
  }
  // The window's own face is held too: no menu entry, no drag.
  Click(cmd::kQv120);
  EXPECT_EQ(dlg->CurrentProduct(), 2);
  Press(QPoint(400, 30));
  EXPECT_FALSE(dlg->IsDragging());
}

TEST_F(MainWindowTest, MinimiseMinimisesWhenNothingIsReceived) {
  dlg->show();
  auto* button = dlg->findChild<CSkinButtonEx*>(QStringLiteral("minimiseButton"));
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  Pump(5);
  EXPECT_TRUE(dlg->isMinimized());
}

// Names of the controls Tab visits from the focus now, `count` times.
QStringList TabWalk(int count, bool forward = true) {
  QStringList names;
  for (int i = 0; i < count; ++i) {
    QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab);
    names << (QApplication::focusWidget() != nullptr ? QApplication::focusWidget()->accessibleName()
                                                     : QString());
  }
  return names;
}

TEST_F(MainWindowTest, TabGoesRoundCatalogueThenThePageInReadingOrderThenTheTitleButtons) {
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  // Update (.bin) and (.zpk) are disabled without a tool: no tab stops.
  EXPECT_EQ(TabWalk(7), (QStringList{"Browse... (.bin)", ".zpk file", "Browse... (.zpk)",
                                     "Minimise", "Close", "Catalogue", ".bin file"}));
  EXPECT_EQ(TabWalk(2, false), (QStringList{"Catalogue", "Close"}));
  // Enabled (a tool and the files there), each Update button follows its
  // row, also the .zpk one under the tall .zpk Browse button.
  for (CSkinButtonEx* b : Qv120Page(*dlg)->findChildren<CSkinButtonEx*>())
    b->setEnabled(true);
  EXPECT_EQ(TabWalk(7), (QStringList{"Catalogue", ".bin file", "Browse... (.bin)", "Update (.bin)",
                                     ".zpk file", "Browse... (.zpk)", "Update (.zpk)"}));
}

// A screen reader names every place the keyboard can reach on every page.
TEST_F(MainWindowTest, EveryTabStopOfEveryPageAnnouncesItsNameRoleAndFocusability) {
  dlg->show();
  auto check = [&](const char* page) {
    for (QWidget* w : dlg->TabOrder()) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      ASSERT_NE(a, nullptr) << page;
      EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << page << " " << w->metaObject()->className();
      EXPECT_NE(a->role(), QAccessible::Client) << page << " " << a->text(QAccessible::Name).toStdString();
      EXPECT_TRUE(a->state().focusable) << page << " " << a->text(QAccessible::Name).toStdString();
    }
  };
  check("QV120");
  Click(cmd::kQv220);
  check("QV220");
  qobject_cast<CUpgradeQV220Dlg*>(dlg->Page(PageId::QV220))->SwitchToDataMode();
  Pump(5);
  check("QV220 data mode");
  Click(cmd::kPxFamily);
  Click(cmd::kPx110);
  check("PX110");
  Click(cmd::kDtc);
  check("DTC lookup");
  Click(cmd::kManual);
  Pump(20);
  check("Manuals");
}

TEST_F(MainWindowTest, CatalogueKeysMoveChooseFoldAndUnfold) {
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QWidget* catalogue = dlg->findChild<QWidget*>(QStringLiteral("catalogue"));
  ASSERT_NE(catalogue, nullptr);
  catalogue->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(dlg->KeyEntry(), 1);  // QV120, the page shown
  QTest::keyClick(catalogue, Qt::Key_Down);
  QTest::keyClick(catalogue, Qt::Key_Space);
  EXPECT_EQ(dlg->CurrentProduct(), 2);
  // The chosen page does not take the keys away from the catalogue.
  EXPECT_EQ(QApplication::focusWidget(), catalogue);
  QTest::keyClick(catalogue, Qt::Key_Left);
  EXPECT_EQ(dlg->CurrentLayout(), MenuLayout::Closed);
  EXPECT_EQ(dlg->Menu().Entry(dlg->KeyEntry()).command, cmd::kQvFamily);
  EXPECT_EQ(dlg->CurrentProduct(), 2);  // folding chooses nothing
  QTest::keyClick(catalogue, Qt::Key_Right);
  EXPECT_EQ(dlg->CurrentLayout(), MenuLayout::Qv);
  QTest::keyClick(catalogue, Qt::Key_End);
  QTest::keyClick(catalogue, Qt::Key_Return);
  EXPECT_EQ(dlg->CurrentPage(), PageId::Manual);
}

TEST_F(MainWindowTest, WhileBusyNeitherKeysNorAnAccessiblePressChangeThePage) {
  CUpgradeQV220Dlg* qv220 = ShowQv220Receiving();
  ASSERT_NE(qv220, nullptr);
  ASSERT_TRUE(qv220->IsBusy());
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dlg.get());
  QAccessibleInterface* dtc = nullptr;
  for (int i = 0; i < window->childCount(); ++i)
    if (window->child(i)->text(QAccessible::Name) == QStringLiteral("DTC lookup"))
      dtc = window->child(i);
  ASSERT_NE(dtc, nullptr);
  dtc->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV220);
  QWidget* catalogue = dlg->findChild<QWidget*>(QStringLiteral("catalogue"));
  catalogue->setFocus(Qt::TabFocusReason);
  QTest::keyClick(catalogue, Qt::Key_End);
  QTest::keyClick(catalogue, Qt::Key_Space);
  EXPECT_EQ(dlg->CurrentPage(), PageId::QV220);
  auto* close = dlg->findChild<CSkinButtonEx*>(QStringLiteral("closeButton"));
  QAccessible::queryAccessibleInterface(close)->actionInterface()->doAction(
      QAccessibleActionInterface::pressAction());
  Pump(400);  // the press is an animated click of 100 ms
  EXPECT_NE(dlg->Surface(), nullptr);
}

// The press is judged when it is made: its click lands 100 ms later, and a
// hold that ended meanwhile (the tool went quiet) does not let it through.
TEST_F(MainWindowTest, APressOnCloseWhileBusyStaysRefusedWhenTheHoldEndsBeforeItsClick) {
  CUpgradeQV220Dlg* qv220 = ShowQv220Receiving();
  ASSERT_NE(qv220, nullptr);
  ASSERT_TRUE(dlg->IsBusy());
  auto* close = dlg->findChild<CSkinButtonEx*>(QStringLiteral("closeButton"));
  QAccessible::queryAccessibleInterface(close)->actionInterface()->doAction(
      QAccessibleActionInterface::pressAction());
  qv220->ReleasePort();
  ASSERT_FALSE(dlg->IsBusy());
  Pump(400);
  EXPECT_NE(dlg->Surface(), nullptr);
  EXPECT_TRUE(dlg->isVisible());
  // The next press, made while nothing holds the window, closes it.
  QAccessible::queryAccessibleInterface(close)->actionInterface()->doAction(
      QAccessibleActionInterface::pressAction());
  Pump(400);
  EXPECT_EQ(dlg->Surface(), nullptr);
}

TEST_F(MainWindowTest, CloseButtonEndsCancelledAndReleasesSurfaceAndPages) {
  dlg->show();
  auto* close = dlg->findChild<CSkinButtonEx*>("closeButton");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->geometry(), QRect(777, 2, 19, 20));
  close->click();
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_EQ(dlg->Surface(), nullptr);
  EXPECT_EQ(Qv120Page(*dlg), nullptr);
  // Late messages find nothing to draw on.
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_SHOW_PAGE, 110, kShowPageSelect), 1);
  EXPECT_EQ(SendPageMessage(dlg.get(), WM_CHILD_MOUSEMOVE, 0, 0), 1);
}

TEST_F(MainWindowTest, DraggingMovesTheWindowAndThePageAreaAlong) {
  Press(QPoint(400, 30));
  EXPECT_TRUE(dlg->IsDragging());
  SendMouse(dlg.get(), QEvent::MouseMove, QPoint(430, 50), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(dlg->pos(), QPoint(142, 104));
  EXPECT_EQ(dlg->PageRect().topLeft(), QPoint(299, 180));
  EXPECT_EQ(dlg->Page(PageId::QV120)->PageRect().topLeft(), QPoint(299, 180));
  EXPECT_EQ(dlg->Page(PageId::QV120)->pos(), QPoint(157, 76));
  Release(QPoint(400, 30));
  EXPECT_FALSE(dlg->IsDragging());
  EXPECT_EQ(dlg->CurrentProduct(), 1);
}

TEST_F(MainWindowTest, APressOnAnEmptyPartOfAPageDragsNothing) {
  for (PageId id : {PageId::QV120, PageId::PX110, PageId::QV220, PageId::Dtc, PageId::Manual}) {
    CHostedPage* page = dlg->Page(id);
    QPoint empty(2, page->height() - 3);
    ASSERT_EQ(page->childAt(empty), nullptr) << static_cast<int>(id);
    SendMouse(page, QEvent::MouseButtonPress, empty, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(dlg->IsDragging()) << static_cast<int>(id);
    SendMouse(page, QEvent::MouseButtonRelease, empty, Qt::LeftButton, Qt::NoButton);
  }
}

TEST_F(MainWindowTest, VersionLineIsDrawnInBlack) {
  const QImage part = dlg->Surface()->Image().copy(300, 39, 92, 12);
  int dark = 0;
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x)
      if (qGray(part.pixel(x, y)) < 80)
        ++dark;
  EXPECT_GT(dark, 10);
  // Painting again does not thicken it.
  dlg->grab();
  dlg->grab();
  EXPECT_EQ(dlg->Surface()->Image().copy(300, 39, 92, 12), part);
}

TEST(MainWindowConfigTest, WithoutReadableDeviceXmlTheWindowStaysBlank) {
  test::TempDevDir devDir;
  // A missing file, and a folder where the file should be.
  for (const std::string& path : {std::string("/nonexistent/device.xml"), devDir.Path()}) {
    SCOPED_TRACE(path);
    CVarnokDlg::Options options;
    options.screenSize = QSize(1024, 768);
    options.configPath = path;
    CConfigHelper::ResetForTesting();
    CVarnokDlg dlg(nullptr, options);
    EXPECT_FALSE(dlg.IsInitialised());
    EXPECT_EQ(dlg.Surface(), nullptr);
    EXPECT_EQ(dlg.Page(PageId::QV120), nullptr);
    EXPECT_TRUE(dlg.windowTitle().isEmpty());
    EXPECT_EQ(dlg.Menu().Count(), 0);
    dlg.grab();  // paints without a surface
  }
}

}  // namespace
}  // namespace varnok::apptest
