#pragma once
// CColorStatic: a static text with fixed colours (black on white).
//
// The parent may take over the colouring, as a dialog does for its status
// line: SetParentColouring() installs a function that decides the text
// colour and whether the background is transparent each time the text is
// painted. Threads: UI thread only.

#include <QColor>
#include <QLabel>

#include <functional>

class CColorStatic : public QLabel {
  Q_OBJECT
 public:
  // Fills `text` and `background`; an invalid background means transparent.
  using Colouring = std::function<void(QColor& text, QColor& background)>;

  explicit CColorStatic(QWidget* parent = nullptr);

  void SetParentColouring(Colouring colouring) { parentColouring_ = std::move(colouring); }

  QColor BackgroundColour() const { return background_; }
  // The colours of the last paint.
  QColor PaintedTextColour() const { return paintedText_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor textColour_ = Qt::black;
  QColor background_ = Qt::white;
  QColor paintedText_;
  Colouring parentColouring_;
};
