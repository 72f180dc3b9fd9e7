#pragma once
// The controls of a container in reading order, the order the Tab key
// visits them: rows from top to bottom, each row from left to right. A row
// is a run of controls whose vertical extents overlap (a path box and its
// Browse button beside it). Only the controls a person can reach now are
// listed: showing, enabled, taking the focus by Tab. A control inside
// another listed control (a view's viewport) is not listed on its own.
// Threads: UI thread only.

#include <vector>

class QWidget;

std::vector<QWidget*> ReadingOrder(QWidget* container);
