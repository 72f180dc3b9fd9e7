#pragma once
// What assistive technology (a screen reader, any AT-SPI or UI Automation
// client) finds in the main window besides its child widgets: the
// catalogue entries, which the window paints on its surface, as page tabs
// (name: EntryName; selected: the entry of the page shown; the family
// headers expandable and expanded while their family is open; action
// "Press" runs the entry as a click does, held back while the window is
// busy; focusable, focused while the catalogue's keys are on it), and the
// port indicator, which
// the pages paint there, as a status bar named by what it says, and the
// version line as static text. The window itself is busy while a page
// holds it (the wait cursor).
//
// InstallMainWindowAccessible() registers the factory once; Qt then builds
// the interface for every CVarnokDlg. NotifyMainWindowAccessible() tells
// listeners that the painted items changed (selection, layout, indicator).
// Threads: UI thread only.

class CVarnokDlg;

void InstallMainWindowAccessible();
void NotifyMainWindowAccessible(CVarnokDlg* window);
// Tells listeners that every catalogue entry may name another entry now
// (the catalogue was laid out anew).
void NotifyCatalogueLayout(CVarnokDlg* window);
// Tells listeners that the catalogue's keys moved onto entry `entryIndex`.
void NotifyCatalogueFocus(CVarnokDlg* window, int entryIndex);
