#pragma once
// The pages of the main window, one row per page: its id and how it is
// made. The main window creates the pages in this order, hides them in
// this order (letting each release a port it holds first) and deletes
// them in this order when it closes. The main window knows a page only
// through CHostedPage; the table itself is the program's page table
// (app/PageTable.cpp), the one place that knows every page. A new page is
// one row there.
// Threads: UI thread only.

#include <vector>

#include "app/shell/Catalogue.h"

class CHostedPage;
class IPageHost;
class QWidget;

struct PageSlot {
  PageId id;
  // Makes the page as a hidden child of `parent`, drawing into `host`.
  CHostedPage* (*create)(IPageHost* host, QWidget* parent);
};

// Defined by the page table.
const std::vector<PageSlot>& PageSlots();
