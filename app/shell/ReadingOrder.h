#pragma once
// The controls of a container in reading order, the order the Tab key
// visits them: rows from top to bottom, each row from left to right. A row
// is the topmost control not yet placed and every control that starts
// above its middle (a path box and the Browse button beside it, not the
// Update button under a tall Browse button). Only the controls a person can reach now are
// listed: showing, enabled, taking the focus by Tab. A control inside
// another listed control (a view's viewport) is not listed on its own.
// Threads: UI thread only.

#include <vector>

class QWidget;

std::vector<QWidget*> ReadingOrder(QWidget* container);
