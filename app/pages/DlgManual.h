#pragma once
// CDlgManual: the manual page. 1.5 s after it is created (timer 4000) it
// lists the files of the folder `manual` beside the program once: every
// entry except "." and ".." and folders (hidden and system files included;
// no recursion), in the order the file system gives them, each with the
// icon of its type and its full path as the row's tool tip. A double-click on a row opens that
// document with the desktop's program for it, and so does Enter on the
// current row; a double-click below the last row, or Enter with no row,
// opens nothing; failures give no message. Documents added later
// appear at the next start.
// Threads: UI thread only.

#include <QString>

#include <vector>

#include "app/pages/HostedPage.h"

class QTreeWidget;
class QTreeWidgetItem;

class CDlgManual : public CHostedPage {
  Q_OBJECT
 public:
  static constexpr int kBackdrop = 318;
  static constexpr int kTimerLoad = 4000;
  static constexpr int kLoadDelayMs = 1500;
  static constexpr int kListX = 35, kListY = 60, kListW = 400, kListH = 300;
  static constexpr int kNameColumnWidth = 450;

  struct Document {
    QString path;  // full path
    QString name;  // file name
  };

  // `folder` empty: the `manual` folder beside the program.
  CDlgManual(IPageHost* host, QWidget* parent, const QString& folder = QString());

  const QString& Folder() const { return folder_; }
  const std::vector<Document>& Documents() const { return documents_; }
  QTreeWidget* List() const { return list_; }

  // Reads the folder (what timer 4000 does once).
  void LoadDocuments();

 protected:
  void OnTimer(int id) override;

 private:
  void Fill();
  void OpenRow(QTreeWidgetItem* item);

  QString folder_;
  std::vector<Document> documents_;
  QTreeWidget* list_;
};
