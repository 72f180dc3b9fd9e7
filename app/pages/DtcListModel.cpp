#include "app/pages/DtcListModel.h"

#include "tools/DtcLibrary.h"

CDtcListModel::CDtcListModel(const CDtcLibrary& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library), codePage_(SystemLegacyCodePage()) {}

void CDtcListModel::Reload() {
  beginResetModel();
  endResetModel();
}

int CDtcListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(library_.Size());
}

int CDtcListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QString CDtcListModel::Text(int row, int column) const {
  if (row < 0 || static_cast<std::size_t>(row) >= library_.Size())
    return QString();
  const DtcRow& r = library_.Row(static_cast<std::size_t>(row));
  return QString::fromStdString(
      CDtcLibrary::DecodedText(r, column == kCode ? r.code : r.description, codePage_));
}

QVariant CDtcListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
    return QVariant();
  return Text(index.row(), index.column());
}

QVariant CDtcListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QVariant();
  return section == kCode ? QStringLiteral("ID") : QStringLiteral("VAL");
}
