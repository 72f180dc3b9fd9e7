#pragma once
// CVarnokDlg: the main window. A caption-less 800 x 600 window titled
// "Dennart2", centred on the screen, whose face is painted from bitmaps
// through one long-lived drawing surface: background, the catalogue menu
// on the left, a product picture, the version line, and the page area
// (617 x 486 at (157, 76)) where one of five pages is shown at a time.
//
// Pages are child windows laid over the page area. They draw their port
// indicator into this window's surface (IPageHost) and report to it only
// by page messages:
//   WM_SHOW_PAGE (paint code, mode) paints the frame for a page;
//   WM_LINK_STATE is accepted and draws nothing;
//   WM_CHILD_MOUSEMOVE clears any hover highlight of the menu.
//
// Keys never close the window (every key press that reaches it is
// swallowed) but Alt+F4, the close command; while the QV220 page is busy
// the window, its catalogue and its title buttons ignore the mouse and the
// keys (Tab still moves the focus), and assistive technology's presses.
//
// Tab and Shift+Tab go round the window in reading order: the catalogue
// (CCatalogueKeys), the controls of the page shown from top to bottom
// (ReadingOrder), the minimise and the close button.
// Threads: UI thread only.

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/pages/PageHost.h"
#include "app/shell/Catalogue.h"
#include "app/skin/ButtonGroup.h"
#include "app/skin/PageMessage.h"

class CCatalogueKeys;
class CHostedPage;
class CSafeDC;
class CSkinButtonEx;

class CVarnokDlg : public QDialog, public IPageHost, public IPageMessageHandler {
  Q_OBJECT
 public:
  static const char kWindowTitle[];  // "Dennart2"

  struct Options {
    // Screen size used to centre the window; empty: the primary screen's.
    QSize screenSize;
    // device.xml to load; empty: the one beside the program.
    std::string configPath;
  };

  explicit CVarnokDlg(QWidget* parent = nullptr);
  CVarnokDlg(QWidget* parent, const Options& options);
  ~CVarnokDlg() override;

  // False when device.xml could not be loaded: the window then stays
  // blank (no menu, no pages, no title).
  bool IsInitialised() const { return initialised_; }

  // IPageHost.
  CSafeDC* Surface() override { return surface_.get(); }
  void UpdateSurfaceRect(const QRect& clientRect) override;
  QWidget* HostWindow() override { return this; }
  void PortIndicatorChanged(const QString& text) override;

  long OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) override;

  // A command as from a menu click (with the menu rules) or as a
  // WM_COMMAND (selection only).
  void DispatchMenuCommand(int command);
  void OnCommand(int command);

  // State, for the pages and for tests.
  PageId CurrentPage() const { return currentPage_; }
  int CurrentProduct() const { return currentProduct_; }
  const std::string& SelectionName() const { return selectionName_; }
  MenuLayout CurrentLayout() const { return layout_; }
  const CButtonGroup& Menu() const { return menu_; }
  CHostedPage* Page(PageId id) const;
  // Screen rectangle of the page area.
  const QRect& PageRect() const { return pageRect_; }
  int FramePaintCount() const { return framePaints_; }
  int LastPaintCode() const { return lastPaintCode_; }
  bool IsDragging() const { return dragging_; }
  // What the port indicator says ("" while a tool page covers it).
  const QString& PortIndicatorText() const { return portText_; }
  // Whether the menu entry of `command` leads to the page shown now.
  bool IsEntryCurrent(int command) const;
  // A page holds the window busy (a reception): the mouse is held back.
  bool IsBusy() const;

  // Choosing menu entry `index` as a click on it does (held back while
  // busy): it becomes the selected entry and its command runs.
  void ChooseEntry(int index);
  // Folds or unfolds the families without choosing anything.
  void ShowMenuLayout(MenuLayout layout);
  // The menu entry the keyboard is on; -1 unless the catalogue has the focus.
  int KeyEntry() const;
  CCatalogueKeys* CatalogueKeys() const { return catalogueKeys_; }
  // Every control Tab visits now, in its order.
  std::vector<QWidget*> TabOrder() const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 public slots:
  void done(int result) override;

 private:
  bool InitDialog();
  void CreatePages();
  void CreateTitleButtons();
  // `button` runs `command` when clicked, unless the window was busy at
  // the press or is at the click.
  void ConnectTitleButton(CSkinButtonEx* button, int command);
  QSize ScreenSize() const;
  QRect PageRectAt(const QPoint& windowTopLeft) const;

  void SelectProduct(int code);
  void SelectTool(PageId page);
  void HideAllPages();
  void ClearActiveFlags();
  void BuildMenu(MenuLayout layout);
  void RebuildMenu(MenuLayout layout, int selectedIndex);
  long OnShowPage(int code, int mode);
  void DrawVersionLine();
  void DrawPagePicture(int picture);
  void DrawPageBackdrop(CHostedPage* page);
  void ShowFramedPage(CHostedPage* page, int refreshFlag);
  void OnClose();
  void DeleteSurface();
  // The page area moves with the window.
  void FollowWindowPosition();
  bool CursorOverPageArea() const;

  Options options_;
  bool initialised_ = false;
  std::unique_ptr<CSafeDC> surface_;
  QImage versionBackdrop_;  // what lies under the version line
  // The pages in the order of PageSlots(), each owned.
  std::vector<std::pair<PageId, CHostedPage*>> pages_;
  std::string selectionName_;
  PageId currentPage_ = PageId::None;
  int currentProduct_ = -1;
  CCatalogueKeys* catalogueKeys_ = nullptr;
  CSkinButtonEx* closeButton_ = nullptr;
  CSkinButtonEx* minimiseButton_ = nullptr;
  // The title buttons pressed while busy whose click has not come yet.
  std::vector<const CSkinButtonEx*> heldPresses_;
  QRect pageRect_;
  bool dragging_ = false;
  QPoint dragCursor_;
  QRect dragWindow_;
  int backgroundId_ = 0;
  CButtonGroup menu_;
  MenuLayout layout_ = MenuLayout::Qv;
  int lastPaintCode_ = 0;
  int framePaints_ = 0;
  QString portText_;
};
