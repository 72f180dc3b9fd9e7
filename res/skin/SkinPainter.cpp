#include "SkinPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QtMath>

namespace skin {

namespace {

// One palette for the whole program.
namespace pal {
const QColor kAccent(0x2F, 0x80, 0xED);
const QColor kAccentLight(0x3A, 0x8B, 0xF5);
const QColor kAccentDark(0x1F, 0x5F, 0xBF);
const QColor kInk(0x1B, 0x24, 0x30);
const QColor kMuted(0x6B, 0x77, 0x85);
const QColor kLine(0xDC, 0xE2, 0xEA);
const QColor kHeader(0xFF, 0xFF, 0xFF);
const QColor kHeaderLine(0xE2, 0xE7, 0xEE);
const QColor kContent(0xEE, 0xF1, 0xF5);
const QColor kCard(0xFF, 0xFF, 0xFF);
const QColor kField(0xF7, 0xF9, 0xFB);
const QColor kFieldLine(0xCB, 0xD3, 0xDD);
const QColor kPanel(0x1A, 0x23, 0x30);
const QColor kPanelEdge(0x12, 0x19, 0x22);
const QColor kPanelCard(0x22, 0x2D, 0x3B);
const QColor kPanelText(0xB8, 0xC4, 0xD1);
const QColor kPanelMuted(0x7D, 0x8B, 0x9C);
const QColor kHeaderEntry(0x24, 0x30, 0x3F);
const QColor kHeaderEntryHover(0x36, 0x48, 0x60);
const QColor kItemHover(0x2D, 0x3E, 0x56);
const QColor kGood(0x1E, 0x9E, 0x5A);
const QColor kGoodInk(0x17, 0x68, 0x3F);
const QColor kGoodFill(0xE6, 0xF5, 0xEC);
const QColor kGoodLine(0xA8, 0xDD, 0xBE);
const QColor kBad(0xD6, 0x45, 0x45);
const QColor kBadInk(0xA1, 0x2C, 0x2C);
const QColor kBadFill(0xFD, 0xEC, 0xEC);
const QColor kBadLine(0xF3, 0xB9, 0xB9);
const QColor kDisabledFill(0xE3, 0xE8, 0xEE);
const QColor kDisabledInk(0x94, 0x9F, 0xAC);
const QColor kMagentaKey(255, 0, 255);
const QColor kRedKey(255, 0, 0);
}  // namespace pal

// The positions below are where the program puts its controls and texts;
// the images leave room for them (window or page client coordinates).
constexpr int kHeaderHeight = 75;    // main window header, left panel starts here
constexpr int kPanelWidth = 157;     // left panel
constexpr int kPillWidth = 150;      // visible part of the port indicator strip
constexpr int kDigitSlotLeft = 121;  // hundreds slot of the port number in the strip
constexpr int kNumberBoxLeft = 118;  // the number field around the three digit slots
constexpr int kNumberBoxRight = 145;
constexpr int kMinTextPx = 7;        // texts shrink to fit their boxes down to this
const QColor kNumberFill(0xFF, 0xFF, 0xFF);  // number field of the port indicator

QFont UiFont(double pixelSize, int weight = QFont::Normal) {
  QFont f;
  // The program paints the skin again at run time for scaled screens; a
  // machine without the skin's family gets its metric twin.
  f.setFamilies({QString::fromLatin1(kFontFamily), QStringLiteral("Arial")});
  f.setPixelSize(qRound(pixelSize));
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// Draws `s` in `r`, never clipped: a text too large for its box is drawn
// smaller (down to kMinTextPx), and a single line that still does not fit is
// elided at its end.
void Text(QPainter& p, const QRectF& r, const QString& s, const QFont& f, const QColor& c,
          int flags = Qt::AlignLeft | Qt::AlignVCenter) {
  // A single line is measured by its advance (its line height may exceed
  // a small box without clipping any ink); several lines by their box.
  const bool multiLine = s.contains(QLatin1Char('\n'));
  QFont font = f;
  for (int px = font.pixelSize(); px > kMinTextPx; --px) {
    const QFontMetricsF metrics(font);
    const bool fits = multiLine ? metrics.boundingRect(r, flags, s).height() <= r.height() &&
                                      metrics.boundingRect(r, flags, s).width() <= r.width()
                                : metrics.horizontalAdvance(s) <= r.width();
    if (fits) break;
    font.setPixelSize(px - 1);
  }
  QString shown = s;
  const QFontMetricsF metrics(font);
  if (!multiLine && metrics.horizontalAdvance(s) > r.width())
    shown = metrics.elidedText(s, Qt::ElideRight, r.width());
  p.setFont(font);
  p.setPen(c);
  p.drawText(r, flags, shown);
}

void RoundFill(QPainter& p, const QRectF& r, double radius, const QBrush& fill,
               const QColor& border = QColor(), double borderWidth = 1.0) {
  p.setRenderHint(QPainter::Antialiasing, true);
  if (border.isValid()) {
    p.setPen(QPen(border, borderWidth));
    const double inset = borderWidth / 2.0;
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(inset, inset, -inset, -inset), radius, radius);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
  }
}

// Turns an image painted on a transparent canvas into a keyed one: pixels
// that the shape does not touch become `key`; partly covered edge pixels are
// blended against `edge`, the colour the image will sit on, so no key colour
// fringe shows around anti-aliased edges.
QImage KeyOut(const QImage& argb, const QColor& edge, const QColor& key) {
  QImage out(argb.size(), QImage::Format_RGB32);
  out.setDevicePixelRatio(argb.devicePixelRatio());
  for (int y = 0; y < argb.height(); ++y) {
    const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      const QRgb s = src[x];  // premultiplied
      const int a = qAlpha(s);
      if (a < 8) {
        dst[x] = key.rgb();
        continue;
      }
      const int r = qRed(s) + edge.red() * (255 - a) / 255;
      const int g = qGreen(s) + edge.green() * (255 - a) / 255;
      const int b = qBlue(s) + edge.blue() * (255 - a) / 255;
      QRgb c = qRgb(qMin(r, 255), qMin(g, 255), qMin(b, 255));
      // Never produce the key colours by accident inside the shape.
      if (c == pal::kMagentaKey.rgb() || c == qRgb(128, 0, 128) || c == key.rgb())
        c = qRgb(qRed(c) ^ 1, qGreen(c), qBlue(c));
      dst[x] = c;
    }
  }
  return out;
}

// The ratio of the image being painted (device pixels per skin pixel).
// Every look draws in skin pixels; the canvas carries the ratio, so a
// painter on it draws each shape and text for the screen it will be shown on.
thread_local double paintRatio = 1.0;

QImage Blank(const Entry& e, QImage::Format format) {
  QImage img(DeviceSize(e, paintRatio), format);
  img.setDevicePixelRatio(paintRatio);
  return img;
}

QImage Canvas(const Entry& e, const QColor& fill) {
  QImage img = Blank(e, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

QImage TransparentCanvas(const Entry& e) {
  QImage img = Blank(e, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// Small line icons of the catalogue headers (12 x 12 around `c`).
void HeaderIcon(QPainter& p, QPointF c, int kind, const QColor& col) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(col, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  if (kind == 0) {  // tool family: a small handheld
    p.drawRoundedRect(QRectF(c.x() - 4, c.y() - 6, 8, 12), 2, 2);
    p.drawLine(QPointF(c.x() - 1.5, c.y() + 3), QPointF(c.x() + 1.5, c.y() + 3));
  } else if (kind == 1) {  // lookup: magnifier
    p.drawEllipse(QPointF(c.x() - 1, c.y() - 1), 4, 4);
    p.drawLine(QPointF(c.x() + 2, c.y() + 2), QPointF(c.x() + 5.5, c.y() + 5.5));
  } else {  // manuals: a book
    p.drawRoundedRect(QRectF(c.x() - 5, c.y() - 5.5, 10, 11), 1.5, 1.5);
    p.drawLine(QPointF(c.x() - 2.5, c.y() - 5.5), QPointF(c.x() - 2.5, c.y() + 5.5));
  }
}

// The white header strip shared by the frame and the banner, drawn in
// window coordinates through `origin` (top-left of the image in the window).
void HeaderStrip(QPainter& p, QPoint origin, int width) {
  p.save();
  p.translate(-origin);
  p.fillRect(QRect(origin.x(), 0, width, kHeaderHeight - 1), pal::kHeader);
  p.fillRect(QRect(origin.x(), kHeaderHeight - 1, width, 1), pal::kHeaderLine);
  p.restore();
}

QImage PaintFrame(const Entry& e) {
  QImage img = Canvas(e, pal::kContent);
  QPainter p(&img);
  HeaderStrip(p, QPoint(0, 0), e.width);

  // Brand.
  QLinearGradient g(18, 19, 54, 55);
  g.setColorAt(0, pal::kAccentLight);
  g.setColorAt(1, pal::kAccentDark);
  RoundFill(p, QRectF(18, 19, 36, 36), 9, g);
  Text(p, QRectF(18, 19, 36, 36), "V", UiFont(22, QFont::Bold), Qt::white, Qt::AlignCenter);
  Text(p, QRectF(66, 17, 220, 26), "Varnok", UiFont(21, QFont::Bold), pal::kInk);
  Text(p, QRectF(66, 41, 220, 16), "Scan tool firmware updater", UiFont(11.5), pal::kMuted);

  // Caption above the version line (300, 39). The port indicator (531, 53)
  // explains itself and is not on every page, so it has no caption.
  const QFont caption = UiFont(9, QFont::DemiBold);
  Text(p, QRectF(300, 24, 120, 12), "VERSION", caption, pal::kMuted);

  // Left column below the panel and the footer hint below the page area.
  p.fillRect(QRect(0, kHeaderHeight, kPanelWidth, e.height - kHeaderHeight), pal::kPanel);
  p.fillRect(QRect(kPanelWidth - 1, kHeaderHeight, 1, e.height - kHeaderHeight),
             pal::kPanelEdge);
  return img;
}

QImage PaintLeftPanel(const Entry& e) {
  QImage img = Canvas(e, pal::kPanel);
  QPainter p(&img);
  p.fillRect(QRect(e.width - 1, 0, 1, e.height), pal::kPanelEdge);
  return img;
}

QImage PaintBanner(const Entry& e) {
  // The same header as the frame's: the PX pages draw it over the frame
  // and it stays when a QV page comes back.
  const QPoint origin(504, 50);
  QImage img = Canvas(e, pal::kContent);
  QPainter p(&img);
  HeaderStrip(p, origin, e.width);
  return img;
}

QColor FamilyColour(int family, bool dark) {
  switch (family) {
    case kFamilyPx: return dark ? QColor(0xC9, 0x63, 0x1A) : QColor(0xF0, 0x8A, 0x2C);
    case kFamilyRw: return dark ? QColor(0x1E, 0x84, 0x60) : QColor(0x2B, 0xAE, 0x7E);
    case kFamilyOmnix: return dark ? QColor(0x65, 0x40, 0xC7) : QColor(0x8A, 0x5C, 0xF0);
    default: return dark ? QColor(0x2A, 0x5D, 0xB8) : QColor(0x3D, 0x7B, 0xE0);
  }
}

// A handheld OBD-II scanner seen from the front, with its name below.
QImage PaintPicture(const Entry& e) {
  QImage img = Canvas(e, pal::kPanel);
  QPainter p(&img);
  RoundFill(p, QRectF(0, 0, e.width, e.height), 10, pal::kPanelCard);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double cx = e.width / 2.0;
  const QColor light = FamilyColour(e.variant, false);
  const QColor dark = FamilyColour(e.variant, true);

  // Cable leaving the top of the tool.
  p.setPen(QPen(QColor(0x4A, 0x55, 0x63), 3, Qt::SolidLine, Qt::RoundCap));
  QPainterPath cable;
  cable.moveTo(cx, 12);
  cable.cubicTo(cx, 4, cx + 26, 8, cx + 30, 0);
  p.drawPath(cable);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x4A, 0x55, 0x63));
  p.drawRoundedRect(QRectF(cx - 7, 8, 14, 7), 2, 2);

  // Body with a soft shadow.
  const QRectF body(cx - 35, 13, 70, 110);
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawRoundedRect(body.translated(0, 3), 13, 13);
  QLinearGradient bg(body.topLeft(), body.bottomLeft());
  bg.setColorAt(0, light);
  bg.setColorAt(1, dark);
  p.setBrush(bg);
  p.drawRoundedRect(body, 13, 13);
  // Grip band.
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawRoundedRect(QRectF(body.left() + 6, body.bottom() - 20, body.width() - 12, 12), 5, 5);

  // Screen with a tiny status display.
  const QRectF bezel(cx - 28, 21, 56, 46);
  p.setBrush(QColor(0x10, 0x17, 0x20));
  p.drawRoundedRect(bezel, 5, 5);
  const QRectF screen = bezel.adjusted(4, 4, -4, -4);
  QLinearGradient sg(screen.topLeft(), screen.bottomRight());
  sg.setColorAt(0, QColor(0x1D, 0x3B, 0x5C));
  sg.setColorAt(1, QColor(0x12, 0x24, 0x3A));
  p.setBrush(sg);
  p.drawRoundedRect(screen, 2, 2);
  QFont tiny = UiFont(7, QFont::Bold);
  Text(p, QRectF(screen.left() + 3, screen.top() + 1, screen.width() - 6, 10),
       QString::fromUtf8(e.label), tiny, QColor(0xBF, 0xE3, 0xFF), Qt::AlignLeft | Qt::AlignVCenter);
  p.setPen(Qt::NoPen);
  const QColor bars[3] = {QColor(0x5E, 0xD3, 0x8C), QColor(0x7F, 0xB8, 0xFF),
                          QColor(0x7F, 0xB8, 0xFF)};
  const double widths[3] = {0.75, 0.55, 0.65};
  for (int i = 0; i < 3; ++i) {
    p.setBrush(bars[i]);
    p.drawRoundedRect(QRectF(screen.left() + 3, screen.top() + 14 + i * 6,
                             (screen.width() - 6) * widths[i], 3),
                      1.5, 1.5);
  }

  // Keys: a round pad with its cross and two side keys.
  const QPointF pad(cx, 91);
  p.setBrush(QColor(0x16, 0x1E, 0x29, 200));
  p.drawEllipse(pad, 13, 13);
  p.setBrush(QColor(0xE8, 0xEE, 0xF5));
  p.drawRoundedRect(QRectF(pad.x() - 2, pad.y() - 9, 4, 18), 1.5, 1.5);
  p.drawRoundedRect(QRectF(pad.x() - 9, pad.y() - 2, 18, 4), 1.5, 1.5);
  p.setBrush(QColor(0xE8, 0xEE, 0xF5, 220));
  p.drawRoundedRect(QRectF(cx - 31, 80, 10, 6), 3, 3);
  p.drawRoundedRect(QRectF(cx + 21, 80, 10, 6), 3, 3);
  p.drawRoundedRect(QRectF(cx - 31, 96, 10, 6), 3, 3);
  p.drawRoundedRect(QRectF(cx + 21, 96, 10, 6), 3, 3);

  // Name.
  Text(p, QRectF(0, 129, e.width, 20), QString::fromUtf8(e.label), UiFont(13, QFont::Bold),
       Qt::white, Qt::AlignCenter);
  return img;
}

QImage PaintMenuHeader(const Entry& e) {
  QColor fill = pal::kHeaderEntry, ink(0xE6, 0xEC, 0xF2), icon(0x8F, 0xA3, 0xB8);
  if (e.state == State::Hover) {
    fill = pal::kHeaderEntryHover;
    ink = Qt::white;
    icon = QColor(0xCF, 0xE0, 0xF5);
  } else if (e.state == State::Pressed) {
    fill = pal::kAccent;
    ink = Qt::white;
    icon = Qt::white;
  }
  QImage img = Canvas(e, fill);
  QPainter p(&img);
  p.fillRect(QRect(0, 0, e.width, 1), fill.lighter(112));
  p.fillRect(QRect(0, e.height - 1, e.width, 1), pal::kPanelEdge);
  HeaderIcon(p, QPointF(17, 12.5), e.variant, icon);
  Text(p, QRectF(32, 0, e.width - 40, e.height), QString::fromUtf8(e.label),
       UiFont(12.5, QFont::DemiBold), ink);
  return img;
}

QImage PaintMenuItem(const Entry& e) {
  QImage img = Canvas(e, pal::kPanel);
  QPainter p(&img);
  QColor ink = pal::kPanelText, dot(0x4E, 0x5E, 0x71);
  if (e.state == State::Hover) {
    RoundFill(p, QRectF(0, 1, e.width, e.height - 2), 5, pal::kItemHover);
    ink = Qt::white;
    dot = QColor(0x5E, 0xA0, 0xFF);
  } else if (e.state == State::Pressed) {
    RoundFill(p, QRectF(0, 1, e.width, e.height - 2), 5, pal::kAccent);
    ink = Qt::white;
    dot = Qt::white;
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(dot);
  p.drawEllipse(QPointF(16, e.height / 2.0), 2.5, 2.5);
  Text(p, QRectF(28, 0, e.width - 32, e.height), QString::fromUtf8(e.label), UiFont(12.5), ink);
  return img;
}

QImage PaintTitleButton(const Entry& e, bool close) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QColor glyph = pal::kMuted;
  if (e.state == State::Hover || e.state == State::Pressed) {
    QColor fill;
    if (close) {
      fill = e.state == State::Hover ? QColor(0xE5, 0x48, 0x4D) : QColor(0xC2, 0x35, 0x3A);
      glyph = Qt::white;
    } else {
      fill = e.state == State::Hover ? QColor(0xE6, 0xEA, 0xF0) : QColor(0xD3, 0xD9, 0xE1);
      glyph = pal::kInk;
    }
    RoundFill(p, QRectF(0, 0, e.width, e.height), 4, fill);
  }
  p.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap));
  const QPointF c(e.width / 2.0, e.height / 2.0);
  if (close) {
    p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
    p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
  } else {
    p.drawLine(c + QPointF(-4.5, 3.5), c + QPointF(4.5, 3.5));
  }
  p.end();
  return KeyOut(img, pal::kHeader, pal::kMagentaKey);
}

void Card(QPainter& p, const QRectF& r) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1B, 0x24, 0x30, 14));
  p.drawRoundedRect(r.translated(0, 2), 10, 10);
  RoundFill(p, r, 10, pal::kCard, pal::kLine);
}

void Badge(QPainter& p, QPointF c, const QString& digit) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(pal::kAccent);
  p.drawEllipse(c, 11, 11);
  Text(p, QRectF(c.x() - 11, c.y() - 11, 22, 22), digit, UiFont(12, QFont::Bold), Qt::white,
       Qt::AlignCenter);
}

// A field outline behind an edit box (the edit paints over it).
void Field(QPainter& p, const QRect& edit) {
  RoundFill(p, QRectF(edit).adjusted(-1, -1, 1, 1), 4, pal::kField, pal::kFieldLine);
}

// One update section: badge, title, caption, field, and a hint left of the
// Update button.
struct Section {
  QRect card;
  QPoint badge;
  QString digit;
  QString title;
  QString description;
  QRect edit;
  QRect update;
};

void PaintSection(QPainter& p, const Section& s) {
  Card(p, s.card);
  Badge(p, s.badge, s.digit);
  Text(p, QRectF(s.badge.x() + 20, s.badge.y() - 11, 360, 22), s.title,
       UiFont(14.5, QFont::Bold), pal::kInk);
  Text(p, QRectF(s.badge.x() + 20, s.badge.y() + 12, 420, 16), s.description, UiFont(11.5),
       pal::kMuted);
  Text(p, QRectF(s.edit.left(), s.edit.top() - 17, 200, 14), "FILE", UiFont(9, QFont::DemiBold),
       pal::kMuted);
  Field(p, s.edit);
}

void PageTitle(QPainter& p, int x, const QString& title, const QString& subtitle) {
  Text(p, QRectF(x, 16, 500, 26), title, UiFont(19, QFont::Bold), pal::kInk);
  if (!subtitle.isEmpty())
    Text(p, QRectF(x, 43, 540, 18), subtitle, UiFont(12), pal::kMuted);
}

QImage PaintBackdrop(const Entry& e) {
  QImage img = Canvas(e, pal::kContent);
  QPainter p(&img);
  const QString title = QString::fromUtf8(e.label);
  switch (e.variant) {
    case kBackdropQv120:
      PageTitle(p, 32, title, "Connect the tool by USB, choose a file, then press Update.");
      PaintSection(p, {QRect(32, 86, 553, 184), QPoint(58, 112), "1", "Firmware image (.bin)",
                       "Choose the .bin update file for this model.", QRect(72, 183, 368, 22),
                       QRect(280, 222, 114, 29)});
      PaintSection(p, {QRect(32, 298, 553, 180), QPoint(58, 324), "2",
                       "Resource package (.zpk)", "Choose the .zpk update file for this model.",
                       QRect(72, 395, 368, 22), QRect(280, 434, 114, 29)});
      break;
    case kBackdropQv220Update:
      PageTitle(p, 100, title, "Connect the tool by USB, choose a file, then press Update.");
      PaintSection(p, {QRect(100, 96, 495, 176), QPoint(124, 122), "1", "Firmware image (.bin)",
                       "Choose the .bin update file for this model.", QRect(129, 200, 316, 22),
                       QRect(285, 229, 114, 29)});
      PaintSection(p, {QRect(100, 300, 495, 176), QPoint(124, 326), "2",
                       "Resource package (.zpk)", "Choose the .zpk update file for this model.",
                       QRect(129, 398, 316, 22), QRect(285, 427, 114, 29)});
      break;
    case kBackdropQv220Data:
      Text(p, QRectF(380, 2, 220, 22), title, UiFont(15, QFont::Bold), pal::kInk);
      Card(p, QRectF(86, 42, 521, 432));
      break;
    case kBackdropPx110:
      PageTitle(p, 32, title, "Connect the tool by USB, choose a file, then press Update.");
      PaintSection(p, {QRect(32, 70, 553, 160), QPoint(58, 94), "1", "Firmware image (.bin)",
                       "Choose the .bin update file for this model.", QRect(72, 143, 368, 22),
                       QRect(280, 182, 114, 29)});
      break;
    case kBackdropDtc:
      // The list (16, 40, 600 x 440) draws its own frame; the search box
      // and its caption sit at the top right.
      Text(p, QRectF(16, 5, 300, 26), title, UiFont(17, QFont::Bold), pal::kInk);
      break;
    case kBackdropManual:
      // A card just around the list (35, 60, 400 x 300).
      Text(p, QRectF(35, 6, 400, 26), title, UiFont(19, QFont::Bold), pal::kInk);
      Text(p, QRectF(35, 31, 400, 18), "Double-click a document to open it.", UiFont(12),
           pal::kMuted);
      Card(p, QRectF(31, 56, 408, 308));
      break;
    default:
      break;
  }
  return img;
}

QImage PaintPushButton(const Entry& e) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  const QRectF r(0, 0, e.width, e.height);
  QColor ink;
  const bool primary = e.variant == kRolePrimary;
  if (e.state == State::Disabled) {
    RoundFill(p, r, 6, primary ? pal::kDisabledFill : QColor(0xF3, 0xF5, 0xF8),
              primary ? QColor() : pal::kFieldLine);
    ink = pal::kDisabledInk;
  } else if (primary) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const bool down = e.state == State::Pressed;
    g.setColorAt(0, down ? pal::kAccentDark : pal::kAccentLight);
    g.setColorAt(1, down ? pal::kAccentDark.darker(110) : pal::kAccent);
    RoundFill(p, r, 6, g);
    ink = Qt::white;
  } else {
    const bool down = e.state == State::Pressed;
    RoundFill(p, r, 6, down ? QColor(0xE3, 0xEE, 0xFD) : pal::kCard, pal::kAccent, 1.4);
    ink = pal::kAccent;
  }
  const double shift = e.state == State::Pressed ? 1 : 0;
  Text(p, r.translated(0, shift), QString::fromUtf8(e.label), UiFont(13, QFont::Bold), ink,
       Qt::AlignCenter);
  p.end();
  return KeyOut(img, pal::kCard, pal::kMagentaKey);
}

QImage PaintSmallButton(const Entry& e) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  const QRectF r(0, 0, e.width, e.height);
  QColor ink = QColor(0x33, 0x41, 0x55);
  switch (e.state) {
    case State::Hover: RoundFill(p, r, 4, QColor(0xE8, 0xF0, 0xFD), pal::kAccent); break;
    case State::Pressed:
      RoundFill(p, r, 4, pal::kAccent);
      ink = Qt::white;
      break;
    case State::Disabled:
      RoundFill(p, r, 4, QColor(0xF1, 0xF3, 0xF6), pal::kLine);
      ink = pal::kDisabledInk;
      break;
    default: RoundFill(p, r, 4, pal::kCard, pal::kFieldLine); break;
  }
  Text(p, r, QString::fromUtf8(e.label), UiFont(9.5, QFont::DemiBold), ink, Qt::AlignCenter);
  p.end();
  return KeyOut(img, pal::kContent, pal::kMagentaKey);
}

QImage PaintModeButton(const Entry& e) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  const QRectF r(0, 0, e.width, e.height);
  RoundFill(p, r, 8, pal::kCard, pal::kFieldLine);
  Text(p, r, "Switch\nmode", UiFont(11, QFont::Bold), pal::kAccent, Qt::AlignCenter);
  p.end();
  return KeyOut(img, pal::kContent, pal::kMagentaKey);
}

QImage PaintPortStrip(const Entry& e, bool found) {
  QImage img = Canvas(e, pal::kHeader);
  QPainter p(&img);
  const QRectF pill(0, 0, kPillWidth, e.height);
  RoundFill(p, pill, e.height / 2.0, found ? pal::kGoodFill : pal::kBadFill,
            found ? pal::kGoodLine : pal::kBadLine);
  p.setPen(Qt::NoPen);
  p.setBrush(found ? pal::kGood : pal::kBad);
  p.drawEllipse(QPointF(9.5, e.height / 2.0), 3.5, 3.5);
  const QFont f = UiFont(10.5, QFont::Bold);
  if (found) {
    // The digits (slots from x 121, 7 px each) sit in a field of their own
    // right of the words, so one, two or three digits read alike.
    RoundFill(p, QRectF(kNumberBoxLeft, 2, kNumberBoxRight - kNumberBoxLeft, e.height - 4), 3,
              kNumberFill);
    Text(p, QRectF(17, 0, kNumberBoxLeft - 20, e.height), QString::fromUtf8(e.label), f,
         pal::kGoodInk, Qt::AlignRight | Qt::AlignVCenter);
  } else {
    Text(p, QRectF(18, 0, kPillWidth - 22, e.height), QString::fromUtf8(e.label), f,
         pal::kBadInk);
  }
  return img;
}

QImage PaintDigit(const Entry& e) {
  QImage img = Canvas(e, kNumberFill);
  if (e.variant < 0)
    return img;
  QPainter p(&img);
  Text(p, QRectF(0, 0, e.width, e.height), QString::number(e.variant), UiFont(11, QFont::Bold),
       pal::kGoodInk, Qt::AlignCenter);
  return img;
}

QImage PaintDownloadFace(const Entry& e) {
  QImage img = Canvas(e, pal::kCard);
  QPainter p(&img);
  p.fillRect(QRect(0, 0, e.width, 4), pal::kAccent);
  p.setPen(pal::kFieldLine);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(0, 0, e.width - 1, e.height - 1));
  Text(p, QRectF(24, 16, 370, 22), QString::fromUtf8(e.label), UiFont(15.5, QFont::Bold),
       pal::kInk);
  Text(p, QRectF(24, 38, 370, 16), "Writes the chosen file into the tool's flash.",
       UiFont(11), pal::kMuted);
  p.fillRect(QRect(24, 60, e.width - 48, 1), pal::kLine);
  // Plate under the transparent button at (265, 129), 114 x 29.
  RoundFill(p, QRectF(265, 129, 114, 29), 6, QColor(0xF3, 0xF5, 0xF8), pal::kFieldLine);
  return img;
}

QImage PaintDownloadGlyph(const Entry& e) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(pal::kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  const double cx = e.width / 2.0;
  p.drawLine(QPointF(cx, 2), QPointF(cx, 11));
  p.drawPolyline(QPolygonF({QPointF(cx - 4, 7.5), QPointF(cx, 11.5), QPointF(cx + 4, 7.5)}));
  p.drawPolyline(
      QPolygonF({QPointF(2.5, 11), QPointF(2.5, 15.5), QPointF(e.width - 2.5, 15.5),
                 QPointF(e.width - 2.5, 11)}));
  p.end();
  return KeyOut(img, QColor(0xF3, 0xF5, 0xF8), pal::kRedKey);
}

QImage PaintAppIcon(const Entry& e) {
  QImage img = TransparentCanvas(e);
  QPainter p(&img);
  QLinearGradient g(0, 0, e.width, e.height);
  g.setColorAt(0, pal::kAccentLight);
  g.setColorAt(1, pal::kAccentDark);
  RoundFill(p, QRectF(2, 2, e.width - 4, e.height - 4), 14, g);
  Text(p, QRectF(0, 0, e.width, e.height), QString::fromUtf8(e.label), UiFont(40, QFont::Bold),
       Qt::white, Qt::AlignCenter);
  return img;
}

QImage PaintLook(const Entry& e) {
  switch (e.look) {
    case Look::Frame: return PaintFrame(e);
    case Look::LeftPanel: return PaintLeftPanel(e);
    case Look::Banner: return PaintBanner(e);
    case Look::Picture: return PaintPicture(e);
    case Look::MenuHeader: return PaintMenuHeader(e);
    case Look::MenuItem: return PaintMenuItem(e);
    case Look::TitleClose: return PaintTitleButton(e, true);
    case Look::TitleMinimise: return PaintTitleButton(e, false);
    case Look::Backdrop: return PaintBackdrop(e);
    case Look::PushButton: return PaintPushButton(e);
    case Look::SmallButton: return PaintSmallButton(e);
    case Look::ModeButton: return PaintModeButton(e);
    case Look::PortFound: return PaintPortStrip(e, true);
    case Look::PortMissing: return PaintPortStrip(e, false);
    case Look::Digit: return PaintDigit(e);
    case Look::DownloadFace: return PaintDownloadFace(e);
    case Look::DownloadGlyph: return PaintDownloadGlyph(e);
    case Look::AppIcon: return PaintAppIcon(e);
  }
  return QImage();
}

}  // namespace

QSize DeviceSize(QSize size, double ratio) {
  return QSize(qCeil(size.width() * ratio - 1e-9), qCeil(size.height() * ratio - 1e-9));
}

QSize DeviceSize(const Entry& e, double ratio) { return DeviceSize(QSize(e.width, e.height), ratio); }

QImage Paint(const Entry& e, double ratio) {
  if (!(ratio >= kMinRatio && ratio <= kMaxRatio))
    return QImage();
  paintRatio = ratio;
  QImage img = PaintLook(e);
  paintRatio = 1.0;
  return img;
}

}  // namespace skin
