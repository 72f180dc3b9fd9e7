#pragma once
// CDlgDtcLookup: the DTC page. It reads the trouble-code library
// (DtcLookup/OBDII.txt beside the program) once, when it is created, and
// shows it as a two-column list (code, description) with a search box.
//
// Every change of the search box (at most 5 characters, upper-cased as
// typed) selects the first row whose code begins with the text, case
// ignored, and scrolls it to the top of the list unless the list is near
// its end; no match selects nothing and leaves the list where it is; an
// empty text selects row 0.
//
// A library that cannot be opened shows "OBDII lib open failure！" with an
// error icon (during the program's start, before the main window shows);
// the page then stays empty and the rest of the program works.
// Threads: UI thread only.

#include <QString>

#include <memory>
#include <string>

#include "app/pages/HostedPage.h"

class CDtcLibrary;
class CDtcListModel;
class QLabel;
class QLineEdit;
class QTableView;

class CDlgDtcLookup : public CHostedPage {
  Q_OBJECT
 public:
  static constexpr int kBackdrop = 317;
  static constexpr int kMaxSearchChars = 5;
  // Controls, page client coordinates.
  static constexpr int kListX = 16, kListY = 40, kListW = 600, kListH = 440;
  static constexpr int kCodeColumnWidth = 56;
  static constexpr int kSearchX = 453, kSearchY = 6, kSearchW = 60, kSearchH = 20;
  static constexpr int kLabelX = 433;

  // `libraryPath` empty: the library beside the program.
  CDlgDtcLookup(IPageHost* host, QWidget* parent, const std::string& libraryPath = std::string());
  ~CDlgDtcLookup() override;

  bool LibraryLoaded() const { return loaded_; }
  const CDtcLibrary& Library() const { return *library_; }

  QLineEdit* SearchBox() const { return search_; }
  QTableView* List() const { return list_; }
  // Row chosen by the last search, -1 when it found nothing.
  int FoundIndex() const { return found_; }
  // Rows the list shows at once.
  int RowsPerPage() const;

 private:
  void Load(const std::string& path);
  void OnSearchChanged(const QString& text);

  std::unique_ptr<CDtcLibrary> library_;
  CDtcListModel* model_;
  QTableView* list_;
  QLineEdit* search_;
  QLabel* label_;
  bool loaded_ = false;
  int found_ = 0;
};
