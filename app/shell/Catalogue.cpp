#include "app/shell/Catalogue.h"

#include <algorithm>

const std::vector<ProductRow>& Products() {
  static const std::vector<ProductRow> rows = {
      {"QV120", 1, PageId::QV120, true, 109, 451, cmd::kQv120},
      {"QV220", 2, PageId::QV220, true, 110, 344, cmd::kQv220},
      {"QV320", 3, PageId::QV220, true, 112, 346, cmd::kQv320},
      {"QV240", 4, PageId::QV220, true, 111, 345, cmd::kQv240},
      {"QV340", 5, PageId::QV220, true, 113, 347, cmd::kQv340},
      {"RW480", 6, PageId::QV220, true, 115, 343, cmd::kRw480},
      {"PX110", 7, PageId::PX110, false, 152, 449, cmd::kPx110},
      {"PX520", 8, PageId::QV120, true, 151, 450, cmd::kPx520},
      {"PX630", 11, PageId::QV120, true, 158, 340, cmd::kPx630},
      {"OMNIX", 12, PageId::PX110, true, 159, 461, cmd::kOmnix},
      {"QV480R", 14, PageId::QV120, true, 160, 486, cmd::kQv480r},
      {"QV130", 15, PageId::QV120, true, 161, 471, cmd::kQv130},
      {"QV330", 16, PageId::QV120, true, 162, 476, cmd::kQv330},
      {"QV330XE", 17, PageId::QV120, true, 163, 481, cmd::kQv330xe},
  };
  return rows;
}

const ProductRow* ProductByCode(int code) {
  for (const ProductRow& r : Products())
    if (r.code == code)
      return &r;
  return nullptr;
}

const ProductRow* ProductByCommand(int command) {
  for (const ProductRow& r : Products())
    if (r.command == command)
      return &r;
  return nullptr;
}

const ProductRow* ProductByPaintCode(int paintCode) {
  for (const ProductRow& r : Products())
    if (r.paintCode == paintCode)
      return &r;
  return nullptr;
}

const std::vector<LayoutRow>& Layout(MenuLayout layout) {
  static const std::vector<LayoutRow> qv = {
      {cmd::kQvFamily, RectLTRB(0, 75, 155, 100), 306, 308, 307},
      {cmd::kQv120, RectLTRB(5, 111, 142, 133), 276, 275, 274},
      {cmd::kQv220, RectLTRB(5, 144, 142, 166), 280, 279, 278},
      {cmd::kQv320, RectLTRB(5, 177, 142, 199), 288, 287, 286},
      {cmd::kQv240, RectLTRB(5, 210, 142, 232), 284, 283, 282},
      {cmd::kQv340, RectLTRB(5, 243, 142, 265), 292, 291, 290},
      {cmd::kRw480, RectLTRB(5, 276, 142, 298), 438, 436, 437},
      {cmd::kPxFamily, RectLTRB(0, 301, 155, 326), 351, 353, 354},
      {cmd::kDtc, RectLTRB(0, 326, 155, 351), 311, 313, 312},
      {cmd::kManual, RectLTRB(0, 351, 155, 376), 298, 300, 299},
  };
  static const std::vector<LayoutRow> closed = {
      {cmd::kQvFamily, RectLTRB(0, 75, 155, 100), 306, 308, 307},
      {cmd::kPxFamily, RectLTRB(0, 100, 155, 125), 351, 353, 354},
      {cmd::kDtc, RectLTRB(0, 125, 155, 150), 311, 313, 312},
      {cmd::kManual, RectLTRB(0, 150, 155, 175), 298, 300, 299},
  };
  static const std::vector<LayoutRow> px = {
      {cmd::kQvFamily, RectLTRB(0, 75, 155, 100), 306, 308, 307},
      {cmd::kPxFamily, RectLTRB(0, 100, 155, 125), 351, 353, 354},
      {cmd::kPx110, RectLTRB(5, 132, 142, 154), 444, 442, 443},
      {cmd::kPx520, RectLTRB(5, 154, 142, 176), 445, 447, 448},
      {cmd::kDtc, RectLTRB(0, 183, 155, 208), 311, 313, 312},
      {cmd::kManual, RectLTRB(0, 208, 155, 233), 298, 300, 299},
  };
  switch (layout) {
    case MenuLayout::Closed: return closed;
    case MenuLayout::Px: return px;
    default: return qv;
  }
}

int MenuBottom() {
  int bottom = 0;
  for (MenuLayout layout : {MenuLayout::Qv, MenuLayout::Closed, MenuLayout::Px})
    for (const LayoutRow& row : Layout(layout))
      bottom = std::max(bottom, row.rect.top() + row.rect.height());
  return bottom;
}

const char* EntryName(int command) {
  switch (command) {
    case cmd::kQvFamily: return "QV series";
    case cmd::kPxFamily: return "PX series";
    case cmd::kDtc: return "DTC lookup";
    case cmd::kManual: return "Manuals";
    default: break;
  }
  const ProductRow* row = ProductByCommand(command);
  return row != nullptr ? row->model : "";
}

int FamilyOf(int command) {
  switch (command) {
    case cmd::kQvFamily:
    case cmd::kQv120: case cmd::kQv220: case cmd::kQv240: case cmd::kQv320:
    case cmd::kQv340: case cmd::kRw480:
    case cmd::kQv480r: case cmd::kQv130: case cmd::kQv330: case cmd::kQv330xe:
      return cmd::kQvFamily;
    case cmd::kPxFamily:
    case cmd::kPx520: case cmd::kPx110: case cmd::kPx630: case cmd::kOmnix:
      return cmd::kPxFamily;
    default: return 0;
  }
}

MenuLayout OpenLayoutOf(int familyHeader) {
  switch (familyHeader) {
    case cmd::kQvFamily: return MenuLayout::Qv;
    case cmd::kPxFamily: return MenuLayout::Px;
    default: return MenuLayout::Closed;
  }
}
