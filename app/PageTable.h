#pragma once
// The pages of the main window, one row per page: its id and how it is
// made. The main window creates the pages in this order, hides them in
// this order (letting each release a port it holds first) and deletes
// them in this order when it closes. A new page is one row here.
// Threads: UI thread only.

#include <vector>

#include "app/Catalogue.h"

class CHostedPage;
class IPageHost;
class QWidget;

struct PageSlot {
  PageId id;
  // Makes the page as a hidden child of `parent`, drawing into `host`.
  CHostedPage* (*create)(IPageHost* host, QWidget* parent);
};

const std::vector<PageSlot>& PageSlots();
