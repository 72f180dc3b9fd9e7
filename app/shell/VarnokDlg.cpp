#include "app/shell/VarnokDlg.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

#include "app/pages/HostedPage.h"
#include "app/shell/CatalogueKeys.h"
#include "app/shell/MainWindowAccessible.h"
#include "app/shell/PageSlot.h"
#include "app/shell/ReadingOrder.h"
#include "app/skin/SafeDC.h"
#include "app/skin/SkinBitmaps.h"
#include "app/skin/SkinButtonEx.h"
#include "update/ConfigHelper.h"

const char CVarnokDlg::kWindowTitle[] = "Dennart2";

namespace {
// Timer periods of timer 2000.
constexpr int kRefreshOnceMs = 1;
constexpr int kManualShowMs = 5;

bool IsMouseMessage(QEvent::Type t) {
  return t == QEvent::MouseMove || t == QEvent::MouseButtonPress ||
         t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick ||
         t == QEvent::Wheel || t == QEvent::ContextMenu;
}

// A key press or release other than Tab, which moves the focus.
bool IsHeldKey(QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key != Qt::Key_Tab && key != Qt::Key_Backtab;
}

void DrawBox(CSafeDC& surface, int id, const QRect& r) {
  surface.DrawBitmap(id, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
}  // namespace

CVarnokDlg::CVarnokDlg(QWidget* parent) : CVarnokDlg(parent, Options()) {}

CVarnokDlg::CVarnokDlg(QWidget* parent, const Options& options)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), options_(options) {
  InstallMainWindowAccessible();
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(geo::kWindowWidth, geo::kWindowHeight);
  initialised_ = InitDialog();
}

CVarnokDlg::~CVarnokDlg() { DeleteSurface(); }

QSize CVarnokDlg::ScreenSize() const {
  if (!options_.screenSize.isEmpty())
    return options_.screenSize;
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->size() : QSize(geo::kWindowWidth, geo::kWindowHeight);
}

QRect CVarnokDlg::PageRectAt(const QPoint& windowTopLeft) const {
  return QRect(windowTopLeft + QPoint(geo::kPageLeft, geo::kPageTop),
               QSize(geo::kPageWidth, geo::kPageHeight));
}

bool CVarnokDlg::InitDialog() {
  CConfigHelper& config = CConfigHelper::GetInstance();
  const std::string path =
      options_.configPath.empty() ? config.GetConfigPath() : options_.configPath;
  if (!config.LoadConfig(path))
    return false;

  BuildMenu(MenuLayout::Qv);
  setWindowTitle(QString::fromLatin1(kWindowTitle));

  const QSize screen = ScreenSize();
  const int x = (screen.width() - geo::kWindowWidth) / 2;
  const int y = (screen.height() - geo::kWindowHeight) / 2;
  setGeometry(x, y, geo::kWindowWidth, geo::kWindowHeight);
  setFixedSize(geo::kWindowWidth, geo::kWindowHeight);

  backgroundId_ = bmp::kBackground;
  // Drawn for the screen the window opens on.
  surface_ = std::make_unique<CSafeDC>(nullptr, QRect(0, 0, geo::kWindowWidth, geo::kWindowHeight),
                                       devicePixelRatioF());
  DrawBox(*surface_, backgroundId_, rect());
  // Drawn only here: a copy painted for a scaled screen would only take room.
  skin::ReleaseScaled(backgroundId_);
  // The version line is drawn again on every paint; keep what lies under it
  // so the text does not pile up.
  versionBackdrop_ = surface_->Copy(geo::VersionLine());

  catalogueKeys_ = new CCatalogueKeys(this);
  CreatePages();
  pageRect_ = PageRectAt(QPoint(x, y));
  CreateTitleButtons();

  SelectProduct(1);

  const QImage icon = skin::Bitmap(bmp::kIcon);
  if (!icon.isNull()) {
    // Painted for the window's screen as well (the same image at 1x).
    QIcon windowIcon(QPixmap::fromImage(icon));
    windowIcon.addPixmap(QPixmap::fromImage(skin::Bitmap(bmp::kIcon, devicePixelRatioF())));
    setWindowIcon(windowIcon);
  }

  if (CHostedPage* qv120 = Page(PageId::QV120)) {
    qv120->MoveToScreenRect(pageRect_);
    qv120->show();
  }

  menu_.SetOwner(this);
  menu_.DrawAll(*surface_);
  DrawVersionLine();
  closeButton_->show();
  minimiseButton_->show();
  return true;
}

void CVarnokDlg::CreatePages() {
  for (const PageSlot& slot : PageSlots())
    pages_.emplace_back(slot.id, slot.create(this, this));
}

void CVarnokDlg::CreateTitleButtons() {
  closeButton_ = new CSkinButtonEx(this, cmd::kClose);
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  closeButton_->setAccessibleName(QStringLiteral("Close"));
  closeButton_->hide();
  closeButton_->SetBitmaps(bmp::kCloseNormal, bmp::kCloseHover, bmp::kClosePressed,
                           bmp::kCloseNormal);
  closeButton_->move(geo::CloseButton());
  // Enter would close the window; only Space and a click press it.
  closeButton_->SetEnterPresses(false);
  ConnectTitleButton(closeButton_, cmd::kClose);

  minimiseButton_ = new CSkinButtonEx(this, cmd::kMinimise);
  minimiseButton_->setObjectName(QStringLiteral("minimiseButton"));
  minimiseButton_->setAccessibleName(QStringLiteral("Minimise"));
  minimiseButton_->hide();
  minimiseButton_->SetBitmaps(bmp::kMinNormal, bmp::kMinHover, bmp::kMinPressed, bmp::kMinNormal);
  minimiseButton_->move(geo::MinimiseButton());
  ConnectTitleButton(minimiseButton_, cmd::kMinimise);
  // The title buttons are the window's own controls: a reception holds
  // their mouse and key input back as it does the window's.
  closeButton_->installEventFilter(this);
  minimiseButton_->installEventFilter(this);
}

void CVarnokDlg::ConnectTitleButton(CSkinButtonEx* button, int command) {
  // Held back while busy, whatever pressed them (a click, a key or
  // assistive technology), judged at the press as well as at the click:
  // assistive technology's press is an animated click that lands 100 ms
  // later, and a hold ending meanwhile (the tool went quiet) must not let
  // through a press the window refused when it was made.
  connect(button, &QAbstractButton::pressed, this, [this, button] {
    heldPresses_.erase(std::remove(heldPresses_.begin(), heldPresses_.end(), button),
                       heldPresses_.end());
    if (IsBusy())
      heldPresses_.push_back(button);
  });
  connect(button, &QAbstractButton::clicked, this, [this, button, command] {
    const auto held = std::find(heldPresses_.begin(), heldPresses_.end(), button);
    const bool pressedWhileBusy = held != heldPresses_.end();
    if (pressedWhileBusy)
      heldPresses_.erase(held);
    if (!pressedWhileBusy && !IsBusy())
      OnCommand(command);
  });
}

CHostedPage* CVarnokDlg::Page(PageId id) const {
  for (const auto& [pageId, page] : pages_)
    if (pageId == id)
      return page;
  return nullptr;
}

void CVarnokDlg::UpdateSurfaceRect(const QRect& clientRect) { update(clientRect); }

void CVarnokDlg::PortIndicatorChanged(const QString& text) {
  if (text == portText_)
    return;
  portText_ = text;
  NotifyMainWindowAccessible(this);
}

bool CVarnokDlg::IsEntryCurrent(int command) const {
  switch (command) {
    case cmd::kDtc: return currentPage_ == PageId::Dtc;
    case cmd::kManual: return currentPage_ == PageId::Manual;
    default: break;
  }
  const ProductRow* row = ProductByCommand(command);
  return row != nullptr && row->page == currentPage_ && row->code == currentProduct_;
}

// --- Selection ---------------------------------------------------------

void CVarnokDlg::HideAllPages() {
  for (const auto& entry : pages_) {
    // A page that holds a port open lets go of it before it is hidden.
    entry.second->ReleasePort();
    entry.second->hide();
  }
}

void CVarnokDlg::ClearActiveFlags() {
  for (const auto& entry : pages_)
    entry.second->SetActive(false);
}

void CVarnokDlg::SelectProduct(int code) {
  const ProductRow* row = ProductByCode(code);
  CHostedPage* page = row != nullptr ? Page(row->page) : nullptr;
  if (page == nullptr)
    return;
  if (currentPage_ == row->page && currentProduct_ == code) {
    // Already shown: the page refreshes itself once.
    page->SetTimer(CHostedPage::kTimerRefreshOnce, kRefreshOnceMs);
    return;
  }
  currentPage_ = row->page;
  currentProduct_ = code;
  selectionName_ = row->model;
  HideAllPages();
  ClearActiveFlags();
  page->SetActive(true);
  if (row->passVariant)
    page->SetDevType(code);
  // Every model of the two pages with path boxes shows its own remembered
  // files, also the ones without a menu entry.
  if (row->page == PageId::QV120 || row->page == PageId::QV220)
    page->ReloadPaths();
  page->SetPageRect(pageRect_);
  page->PlaceAndShow(pageRect_);
  SendPageMessage(this, WM_SHOW_PAGE, static_cast<quintptr>(row->paintCode), kShowPageSelect);
}

void CVarnokDlg::SelectTool(PageId id) {
  CHostedPage* page = Page(id);
  if (page == nullptr || currentPage_ == id)
    return;
  const bool manual = id == PageId::Manual;
  currentPage_ = id;
  selectionName_ = manual ? "MANUAL" : "DTCLookup";
  HideAllPages();
  ClearActiveFlags();
  page->SetPageRect(pageRect_);
  if (manual)
    page->SetTimer(CHostedPage::kTimerRefreshOnce, kManualShowMs);
  else
    page->PlaceAndShow(pageRect_);
  SendPageMessage(this, WM_SHOW_PAGE,
                  static_cast<quintptr>(manual ? kManualPaintCode : kDtcPaintCode),
                  kShowPageSelect);
}

void CVarnokDlg::OnCommand(int command) {
  switch (command) {
    case cmd::kClose: OnClose(); return;
    case cmd::kMinimise: showMinimized(); return;
    case cmd::kQv120:
    case cmd::kQv220:
    case cmd::kQv320:
    case cmd::kQv340:
    case cmd::kRw480:
    case cmd::kPx520:
    case cmd::kPx110:
      SelectProduct(ProductByCommand(command)->code);
      return;
    case cmd::kManual: SelectTool(PageId::Manual); return;
    case cmd::kDtc: SelectTool(PageId::Dtc); return;
    case cmd::kQvFamily:
      switch (currentProduct_) {
        case 2: case 3: case 4: case 5: case 6: case 14: case 15: case 16: case 17:
          SelectProduct(currentProduct_);
          break;
        default: SelectProduct(1); break;
      }
      return;
    case cmd::kPxFamily:
      switch (currentProduct_) {
        case 7: SelectProduct(7); break;
        case 11: SelectProduct(11); break;
        case 12: SelectProduct(12); break;
        default: SelectProduct(8); break;
      }
      return;
    default: return;
  }
}

void CVarnokDlg::BuildMenu(MenuLayout layout) {
  layout_ = layout;
  for (const LayoutRow& r : Layout(layout))
    menu_.AddEntry(r.rect, r.normal, r.pressed, r.hover, r.command);
}

void CVarnokDlg::RebuildMenu(MenuLayout layout, int selectedIndex) {
  menu_.Clear();
  BuildMenu(layout);
  menu_.selectedIndex = selectedIndex;
  menu_.hoverIndex = selectedIndex;
  if (surface_ == nullptr)
    return;
  // Entries of the old layout may lie where the new one has none.
  const QRect panel = geo::LeftPanel();
  const int bottom = MenuBottom();
  surface_->DrawBitmap(bmp::kLeftPanel, panel.left(), panel.top(), panel.left() + panel.width(),
                       bottom);
  update(QRect(panel.left(), panel.top(), panel.width(), bottom - panel.top()));
  menu_.DrawAll(*surface_);
  if (catalogueKeys_ != nullptr)
    catalogueKeys_->MenuChanged();
  NotifyCatalogueLayout(this);
  NotifyMainWindowAccessible(this);
}

void CVarnokDlg::ShowMenuLayout(MenuLayout layout) {
  if (layout != layout_)
    RebuildMenu(layout, -1);
}

void CVarnokDlg::ChooseEntry(int index) {
  if (IsBusy() || index < 0 || index >= menu_.Count())
    return;
  menu_.selectedIndex = index;
  DispatchMenuCommand(menu_.CommandOfSelected());
}

int CVarnokDlg::KeyEntry() const {
  return catalogueKeys_ != nullptr ? catalogueKeys_->KeyEntry() : -1;
}

void CVarnokDlg::DispatchMenuCommand(int command) {
  if (const ProductRow* row = ProductByCommand(command)) {
    switch (command) {
      case cmd::kPx520:
      case cmd::kPx110:
      case cmd::kPx630:
      case cmd::kOmnix:
        // Choosing the PX product already shown from its own entry does
        // nothing at all: the menu keeps its look, the entry stays pressed.
        if (currentProduct_ == row->code)
          return;
        SelectProduct(row->code);
        RebuildMenu(MenuLayout::Px, 4);
        return;
      default:
        SelectProduct(row->code);  // QV entries; the layout stays
        return;
    }
  }
  switch (command) {
    case cmd::kQvFamily:
      OnCommand(command);
      RebuildMenu(MenuLayout::Qv, 1);
      return;
    case cmd::kPxFamily:
      OnCommand(command);
      RebuildMenu(MenuLayout::Px, 3);
      return;
    case cmd::kManual:
      SelectTool(PageId::Manual);
      RebuildMenu(MenuLayout::Closed, 1);
      return;
    case cmd::kDtc:
      SelectTool(PageId::Dtc);
      RebuildMenu(MenuLayout::Closed, 2);
      return;
    default: return;
  }
}

// --- Frame painting ----------------------------------------------------

long CVarnokDlg::OnPageMessage(unsigned message, quintptr wParam, qintptr lParam) {
  switch (message) {
    case WM_SHOW_PAGE: return OnShowPage(static_cast<int>(wParam), static_cast<int>(lParam));
    case WM_LINK_STATE: return 1;  // the pages draw their own indicators
    case WM_CHILD_MOUSEMOVE:
      if (surface_ != nullptr)
        menu_.RedrawAll(*surface_);
      return 1;
    default: return 0;
  }
}

void CVarnokDlg::DrawVersionLine() {
  if (surface_ == nullptr)
    return;
  const QRect r = geo::VersionLine();
  surface_->DrawImage(r.left(), r.top(), versionBackdrop_);
  surface_->SelectFontKind(CSafeDC::kFontSimSun);
  const QColor old = surface_->SetTextColor(Qt::black);
  surface_->DrawLabel(QString::fromStdWString(CConfigHelper::GetInstance().GetVersionText()), r, 0);
  surface_->SetTextColor(old);
}

void CVarnokDlg::DrawPagePicture(int picture) {
  if (picture != 0)
    DrawBox(*surface_, picture, geo::Picture());
}

void CVarnokDlg::DrawPageBackdrop(CHostedPage* page) {
  if (page == nullptr)
    return;
  QRect r = geo::PageArea();
  if (!page->PageRect().isNull())
    r = QRect(mapFromGlobal(page->PageRect().topLeft()), page->PageRect().size());
  DrawBox(*surface_, page->GetBackgroundImage(), r);
}

void CVarnokDlg::ShowFramedPage(CHostedPage* page, int refreshFlag) {
  if (page == nullptr)
    return;
  page->Refresh(refreshFlag);
  page->show();
}

long CVarnokDlg::OnShowPage(int code, int mode) {
  if (code == lastPaintCode_ && mode == kShowPageHover)
    return 1;
  if (mode != kShowPageLeave && surface_ != nullptr) {
    int picture = -1;  // -1: not a page's code
    CHostedPage* page = nullptr;
    int refreshFlag = 1;
    bool banner = false;
    if (const ProductRow* row = ProductByPaintCode(code)) {
      page = Page(row->page);
      picture = row->picture;
    } else if (code == kQv220NoPicturePaintCode) {
      page = Page(PageId::QV220);
      picture = 0;
    } else if (code == kManualPaintCode || code == kDtcPaintCode) {
      picture = 0;
      // Nothing looks for the tool on these pages: the blank header strip
      // covers the port indicator a product page left, so no stale port
      // number stays beside them.
      banner = true;
      portText_.clear();
    }
    if (page != nullptr && page == Page(PageId::PX110)) {
      banner = true;
      refreshFlag = 0;
    }
    if (picture >= 0) {
      DrawBox(*surface_, bmp::kLeftPanel, geo::LeftPanel());
      // The panel covered the menu; put its entries back as they were.
      menu_.Restore(*surface_);
      if (banner)
        DrawBox(*surface_, bmp::kBanner, geo::Banner());
      if (page != nullptr)
        DrawPageBackdrop(page);
      DrawPagePicture(picture);
      DrawVersionLine();
      ShowFramedPage(page, refreshFlag);
      ++framePaints_;
      update();
      NotifyMainWindowAccessible(this);
    }
  }
  lastPaintCode_ = mode == kShowPageLeave ? 0 : code;
  return 1;
}

// --- Window events -----------------------------------------------------

void CVarnokDlg::FollowWindowPosition() {
  pageRect_ = PageRectAt(pos());
  if (CHostedPage* page = Page(currentPage_)) {
    page->SetPageRect(pageRect_);
    page->MoveToScreenRect(pageRect_);
  }
}

bool CVarnokDlg::IsBusy() const {
  for (const auto& entry : pages_)
    if (entry.second->IsBusy())
      return true;
  return false;
}

bool CVarnokDlg::CursorOverPageArea() const {
  return pageRect_.contains(QCursor::pos());
}

bool CVarnokDlg::event(QEvent* event) {
  if (RoutePageMessage(event, this))
    return true;
  if (IsMouseMessage(event->type()) && IsBusy()) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::Move)
    FollowWindowPosition();  // also when the window system placed the window
  return QDialog::event(event);
}

bool CVarnokDlg::eventFilter(QObject* watched, QEvent* event) {
  if ((IsMouseMessage(event->type()) || IsHeldKey(event)) && IsBusy() &&
      (watched == closeButton_ || watched == minimiseButton_))
    return true;
  return QDialog::eventFilter(watched, event);
}

void CVarnokDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (surface_ == nullptr) {
    p.fillRect(rect(), palette().window());
    return;
  }
  if (CursorOverPageArea())
    menu_.DrawAll(*surface_);
  DrawVersionLine();
  surface_->SetTarget(&p);
  surface_->Flush();
  surface_->SetTarget(nullptr);
}

void CVarnokDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  const QPoint pos = event->position().toPoint();
  if (surface_ != nullptr && menu_.ColumnHit(pos)) {
    menu_.HitTest(pos);
    menu_.Track(*surface_, pos, CButtonGroup::kTrackPressed);
    return;
  }
  dragging_ = true;
  dragCursor_ = event->globalPosition().toPoint();
  dragWindow_ = geometry();
}

void CVarnokDlg::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    const QPoint delta = event->globalPosition().toPoint() - dragCursor_;
    move(dragWindow_.topLeft() + delta);
    FollowWindowPosition();
    return;
  }
  if (surface_ == nullptr)
    return;
  const QPoint pos = event->position().toPoint();
  const int hit = menu_.Track(*surface_, pos, CButtonGroup::kTrackHover);
  if (hit >= 0) {
    menu_.hoverIndex = hit;
    return;
  }
  if (geo::PageArea().contains(pos))
    menu_.hoverIndex = -1;
  if (menu_.hoverIndex >= 0)
    menu_.DrawOne(*surface_, menu_.hoverIndex);
}

void CVarnokDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  if (dragging_) {
    // A drag ends wherever the button comes up.
    dragging_ = false;
    return;
  }
  const QPoint pos = event->position().toPoint();
  if (!menu_.ColumnHit(pos))
    return;
  const int index = menu_.EntryAt(pos);
  if (index >= 0 && index == menu_.pressedIndex)
    ChooseEntry(index);
}

void CVarnokDlg::leaveEvent(QEvent* event) {
  // The pointer left the window (not onto a page, which reports itself):
  // no entry stays highlighted.
  if (surface_ != nullptr && !dragging_)
    menu_.DrawAll(*surface_);
  QDialog::leaveEvent(event);
}

void CVarnokDlg::keyPressEvent(QKeyEvent* event) {
  // No key closes or confirms the main window but Alt+F4, the close
  // command, which works without a window manager too.
  event->accept();
  if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier && !IsBusy())
    close();
}

std::vector<QWidget*> CVarnokDlg::TabOrder() const {
  std::vector<QWidget*> order;
  auto reachable = [](QWidget* w) {
    return w != nullptr && w->isVisible() && w->isEnabled();
  };
  if (reachable(catalogueKeys_))
    order.push_back(catalogueKeys_);
  for (QWidget* w : ReadingOrder(Page(currentPage_)))
    order.push_back(w);
  for (QWidget* w : {static_cast<QWidget*>(minimiseButton_), static_cast<QWidget*>(closeButton_)})
    if (reachable(w))
      order.push_back(w);
  return order;
}

bool CVarnokDlg::focusNextPrevChild(bool next) {
  const std::vector<QWidget*> order = TabOrder();
  if (order.empty())
    return false;
  const int n = static_cast<int>(order.size());
  QWidget* focus = QApplication::focusWidget();
  int at = -1;
  for (int i = 0; i < n && at < 0; ++i)
    if (focus != nullptr && (order[static_cast<size_t>(i)] == focus ||
                             order[static_cast<size_t>(i)]->isAncestorOf(focus)))
      at = i;
  const int to = at < 0 ? (next ? 0 : n - 1) : (at + (next ? 1 : n - 1)) % n;
  order[static_cast<size_t>(to)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

// --- Closing -----------------------------------------------------------

void CVarnokDlg::DeleteSurface() { surface_.reset(); }

void CVarnokDlg::OnClose() {
  DeleteSurface();
  currentPage_ = PageId::None;
  // Out of the table before each goes, so nothing reaches a deleted page.
  std::vector<std::pair<PageId, CHostedPage*>> pages;
  pages.swap(pages_);
  for (const auto& entry : pages)
    delete entry.second;
  if (closeButton_ != nullptr)
    closeButton_->ReleaseBitmaps();
  if (minimiseButton_ != nullptr)
    minimiseButton_->ReleaseBitmaps();
  reject();
}

void CVarnokDlg::done(int result) {
  DeleteSurface();
  QDialog::done(result);
}
