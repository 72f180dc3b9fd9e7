#include "app/shell/ReadingOrder.h"

#include <QWidget>

#include <algorithm>

namespace {

bool Reachable(QWidget* w, QWidget* container) {
  return w->isVisibleTo(container) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0;
}

QRect InContainer(QWidget* w, QWidget* container) {
  return QRect(w->mapTo(container, QPoint(0, 0)), w->size());
}

}  // namespace

std::vector<QWidget*> ReadingOrder(QWidget* container) {
  if (container == nullptr || !container->isVisible())
    return {};
  std::vector<QWidget*> controls;
  for (QWidget* w : container->findChildren<QWidget*>()) {
    if (!Reachable(w, container))
      continue;
    bool inner = false;
    for (QWidget* p = w->parentWidget(); p != nullptr && p != container; p = p->parentWidget())
      if ((p->focusPolicy() & Qt::TabFocus) != 0)
        inner = true;
    if (!inner)
      controls.push_back(w);
  }
  // Top to bottom, then cut into rows: a row is the topmost control left
  // and every control that starts above its middle.
  std::stable_sort(controls.begin(), controls.end(), [container](QWidget* a, QWidget* b) {
    return InContainer(a, container).top() < InContainer(b, container).top();
  });
  std::vector<QWidget*> ordered;
  size_t rowStart = 0;
  int rowLine = 0;  // a control that starts above it joins the row
  auto closeRow = [&](size_t end) {
    std::stable_sort(controls.begin() + static_cast<long>(rowStart),
                     controls.begin() + static_cast<long>(end),
                     [container](QWidget* a, QWidget* b) {
                       return InContainer(a, container).left() < InContainer(b, container).left();
                     });
    ordered.insert(ordered.end(), controls.begin() + static_cast<long>(rowStart),
                   controls.begin() + static_cast<long>(end));
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    const QRect r = InContainer(controls[i], container);
    if (i > rowStart && r.top() >= rowLine) {
      closeRow(i);
      rowStart = i;
    }
    if (i == rowStart)
      rowLine = r.center().y();
  }
  closeRow(controls.size());
  return ordered;
}
