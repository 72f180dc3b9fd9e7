#pragma once
// CDtcListModel: the DTC library as a two-column table (code, description)
// for a QTableView. Rows are decoded when the view asks for them, so a
// library of tens of thousands of lines loads and scrolls at once.
// Each line is decoded as the tools' text is: UTF-8 when valid, else the
// system's legacy code page. The model does not own the library; it must
// outlive the model.
// Threads: UI thread only.

#include <QAbstractTableModel>

#include "tools/TextDecode.h"

class CDtcLibrary;

class CDtcListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kCode = 0, kDescription = 1 };

  explicit CDtcListModel(const CDtcLibrary& library, QObject* parent = nullptr);

  // Call after the library changed.
  void Reload();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The text of a cell as shown.
  QString Text(int row, int column) const;

 private:
  const CDtcLibrary& library_;
  LegacyCodePage codePage_;
};
