#pragma once
// CCatalogueKeys: the catalogue's place in the keyboard's path. The menu
// itself is painted by the main window on its surface and takes no input;
// this transparent widget lies over the menu column, lets every mouse
// event through to the window and takes the keyboard focus in its stead.
//
// While it has the focus it rings the entry the keys are on (the entry of
// the page shown when the focus arrives) in the skin's focus ring, and:
//   Up / Down, Home / End   move between the entries;
//   Space, Enter            choose the entry, as a click on it does;
//   Right                   on a folded family's header: unfold it;
//   Left                    in an open family: fold it, back on its header.
// While the window is busy every key but Tab is held back, as the window
// holds back clicks.
// Threads: UI thread only.

#include <QWidget>

class CVarnokDlg;

class CCatalogueKeys : public QWidget {
  Q_OBJECT
 public:
  explicit CCatalogueKeys(CVarnokDlg* window);

  // Index of the entry the keys are on; -1 while the catalogue does not
  // have the focus.
  int KeyEntry() const;
  // The menu was rebuilt or redrawn: the ring follows its entry.
  void MenuChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Index of the remembered entry in today's menu, else of the entry of
  // the page shown, else 0 (-1 without entries).
  int Resolve() const;
  void MoveTo(int index);

  CVarnokDlg* window_;
  int command_ = 0;  // the entry the keys are on, by command (layouts move it)
};
