#pragma once
// What a hosted page may use of the main window: its long-lived drawing
// surface (the pages draw their port indicator into it) and the window
// that receives the pages' messages. Threads: UI thread only.

class CSafeDC;
class QRect;
class QString;
class QWidget;

class IPageHost {
 public:
  virtual ~IPageHost() = default;
  // The host's surface over its client area; null before it exists and
  // after the host closed.
  virtual CSafeDC* Surface() = 0;
  // Repaints `clientRect` of the host from its surface.
  virtual void UpdateSurfaceRect(const QRect& clientRect) = 0;
  // Receives WM_LINK_STATE and WM_CHILD_MOUSEMOVE.
  virtual QWidget* HostWindow() = 0;
  // What the port indicator that a page just drew says, in words ("Tool
  // found on port 7", "No tool connected"), for assistive technology.
  virtual void PortIndicatorChanged(const QString& text) = 0;
};
