#include "app/pages/DlgDownloadUniteDev.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>

#include <cstdio>

#include "app/skin/ButtonST.h"
#include "app/skin/ColorStatic.h"
#include "app/skin/SafeDC.h"
#include "device/TraceFolder.h"
#include "update/RunOutcome.h"
#include "update/StatusTexts.h"

const QColor CDlgDownloadUniteDev::kOkColour(0, 0, 255);
const QColor CDlgDownloadUniteDev::kFailColour(255, 0, 0);

namespace {
// Places of the controls on the face (bitmap 373).
const QRect kStatusRect(20, 64, 377, 24);
const QRect kProgressRect(24, 96, 369, 12);
const QPoint kButtonPos(265, 129);
const QSize kButtonSize(114, 29);

QFont FaceFont(int pixelSize, QFont::Weight weight) {
  QFont f;
  f.setFamilies({"Nimbus Sans", "Liberation Sans", "Arial", "DejaVu Sans"});
  f.setPixelSize(pixelSize);
  f.setWeight(weight);
  return f;
}
}  // namespace

CDlgDownloadUniteDev::CDlgDownloadUniteDev(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner),
      status_(new CColorStatic(this)),
      progress_(new QProgressBar(this)),
      button_(new CButtonST(this, kButtonId)) {
  setModal(true);
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);

  status_->setObjectName(QStringLiteral("status%1").arg(kStatusId));
  status_->setGeometry(kStatusRect);
  status_->setAlignment(Qt::AlignCenter);
  status_->setFont(FaceFont(14, QFont::Bold));
  status_->setText(QStringLiteral("Hint"));
  status_->SetParentColouring([this](QColor& text, QColor& background) {
    text = ok_ ? kOkColour : kFailColour;
    background = QColor();  // transparent
  });
  status_->setAttribute(Qt::WA_TransparentForMouseEvents);
  // Assistive technology reads the status line by its text (the name of a
  // label follows its text) and the bar by its value.
  setAccessibleName(QStringLiteral("Firmware update"));
  status_->setAccessibleDescription(QStringLiteral("Status"));
  progress_->setAccessibleName(QStringLiteral("Progress"));

  progress_->setObjectName(QStringLiteral("progress%1").arg(kProgressId));
  progress_->setGeometry(kProgressRect);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setAttribute(Qt::WA_TransparentForMouseEvents);

  button_->setObjectName(QStringLiteral("button%1").arg(kButtonId));
  button_->setGeometry(QRect(kButtonPos, kButtonSize));
  button_->setText(QString::fromUtf8(text::kButtonCancel));
  button_->setFont(FaceFont(13, QFont::Bold));
  button_->SetBitmaps(kButtonGlyph, QColor(255, 0, 0), kButtonGlyph, QColor(255, 0, 0));
  button_->DrawTransparent(true);
  button_->SetColor(CButtonST::kColorFgOut, Qt::black);
  button_->SetColor(CButtonST::kColorFgIn, Qt::black);
  // The one control: the dialog starts with it focused (its ring shows
  // where the keyboard is), though no key presses it (see IsSwallowedKey).
  button_->setFocusPolicy(Qt::TabFocus);
  button_->setFocus(Qt::OtherFocusReason);
  button_->installEventFilter(this);
  connect(button_, &QAbstractButton::clicked, this, &CDlgDownloadUniteDev::OnButton);

  const auto queued = Qt::QueuedConnection;
  connect(&bridge_, &CDownloadViewBridge::ViewShown, this, [this] {
    if (!isVisible())
      show();
  }, queued);
  connect(&bridge_, &CDownloadViewBridge::StatusChanged, this,
          [this](const QString& text, bool ok) {
            status_->setText(text);
            SetOk(ok);
          }, queued);
  connect(&bridge_, &CDownloadViewBridge::OkFlagChanged, this, [this](bool ok) { SetOk(ok); },
          queued);
  connect(&bridge_, &CDownloadViewBridge::ProgressRangeChanged, this, [this](int count) {
    progress_->setRange(0, count);
    progress_->setValue(0);
  }, queued);
  connect(&bridge_, &CDownloadViewBridge::ProgressPosChanged, this,
          [this](int pos) { progress_->setValue(pos); }, queued);
  connect(&bridge_, &CDownloadViewBridge::ProgressStepped, this, [this] {
    if (progress_->value() < progress_->maximum())
      progress_->setValue(progress_->value() + 1);
  }, queued);
  connect(&bridge_, &CDownloadViewBridge::ButtonCaptionChanged, this,
          [this](const QString& caption) { button_->setText(caption); }, queued);
  connect(&bridge_, &CDownloadViewBridge::TraceLine, this, [](const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fflush(stdout);
  }, queued);
  connect(&bridge_, &CDownloadViewBridge::Ended, this, [this](int how) {
    if (trace_) trace_->End(RunOutcomeWord(static_cast<DownloadEnd>(how)));
    ended_ = true;
    button_->setEnabled(true);
    emit RunEnded();
  }, queued);

  ApplyBarColour();
}

CDlgDownloadUniteDev::~CDlgDownloadUniteDev() {
  // Stop reports before the widgets go; the workflow's own destructor then
  // waits (bounded) for the worker.
  workflow_.DetachView();
  // A run closed before its end was reported (later events are dropped).
  if (trace_ && !ended_) trace_->End("cancelled");
}

void CDlgDownloadUniteDev::PlaceWindow() {
  QPoint topLeft;
  if (owner_ != nullptr) {
    topLeft = owner_->mapToGlobal(QPoint(0, 0)) + QPoint(kOffsetX, kOffsetY);
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    topLeft = screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2);
  }
  setGeometry(QRect(topLeft, QSize(kWidth, kHeight)));
}

void CDlgDownloadUniteDev::StartRun() {
  if (started_)
    return;
  started_ = true;
  PlaceWindow();
  const DeviceEntry& entry = workflow_.Entry();
  trace_ = varnok::CreateTraceFromEnvironment(
      {"varnok", "", entry.DevName, varnok::TraceClassName(entry.USBType)});
  if (trace_) workflow_.SetWireTrace(trace_);
  workflow_.SetView(&bridge_);
  workflow_.Start();
}

int CDlgDownloadUniteDev::RunModal() {
  StartRun();
  return exec();
}

void CDlgDownloadUniteDev::SetOk(bool ok) {
  if (ok_ == ok)
    return;
  ok_ = ok;
  status_->update();
  ApplyBarColour();
}

void CDlgDownloadUniteDev::ApplyBarColour() {
  barColour_ = ok_ ? kOkColour : kFailColour;
  progress_->setStyleSheet(
      QStringLiteral("QProgressBar { border: none; border-radius: 4px; background: #E3E8EE; }"
                     "QProgressBar::chunk { border-radius: 4px; background: %1; }")
          .arg(barColour_.name()));
}

QString CDlgDownloadUniteDev::StatusText() const { return status_->text(); }
QString CDlgDownloadUniteDev::ButtonCaption() const { return button_->text(); }
int CDlgDownloadUniteDev::ProgressValue() const { return progress_->value(); }
int CDlgDownloadUniteDev::ProgressMaximum() const { return progress_->maximum(); }

void CDlgDownloadUniteDev::OnButton() {
  if (button_->text() == QString::fromUtf8(text::kButtonOk))
    Finish();
  else
    CancelRun();
}

void CDlgDownloadUniteDev::OnCommand(int id) {
  if (id == kCmdFinish)
    Finish();
  else if (id == kButtonId)
    OnButton();
}

void CDlgDownloadUniteDev::Finish() {
  workflow_.Finish();
  accept();
}

void CDlgDownloadUniteDev::CancelRun() {
  button_->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  workflow_.Cancel();
  QApplication::restoreOverrideCursor();
  reject();
}

void CDlgDownloadUniteDev::closeEvent(QCloseEvent* event) {
  // A close request from the window system: stop without the cancel steps;
  // the workflow's teardown ends the worker.
  workflow_.CloseRequest();
  event->accept();
  reject();
}

void CDlgDownloadUniteDev::paintEvent(QPaintEvent*) {
  QPainter p(this);
  CSafeDC dc(&p, rect());
  dc.DrawBitmap(kBackground, 0, 0, width(), height());
}

bool CDlgDownloadUniteDev::IsSwallowedKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
         key == Qt::Key_Space;
}

void CDlgDownloadUniteDev::keyPressEvent(QKeyEvent* event) {
  if (IsSwallowedKey(event->key())) {
    event->accept();
    return;
  }
  // Alt+F4 is the close request also where no window manager turns it into
  // one (a bare X server, Wine's own windows).
  if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
    event->accept();
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CDlgDownloadUniteDev::eventFilter(QObject* watched, QEvent* event) {
  if (watched == button_ &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      IsSwallowedKey(static_cast<QKeyEvent*>(event)->key()))
    return true;
  return QDialog::eventFilter(watched, event);
}

void CDlgDownloadUniteDev::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    dragCursor_ = event->globalPosition().toPoint();
    dragWindow_ = geometry();
  }
  QDialog::mousePressEvent(event);
}

void CDlgDownloadUniteDev::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    const QPoint delta = event->globalPosition().toPoint() - dragCursor_;
    move(dragWindow_.topLeft() + delta);
  }
  QDialog::mouseMoveEvent(event);
}

void CDlgDownloadUniteDev::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    dragging_ = false;
  QDialog::mouseReleaseEvent(event);
}
