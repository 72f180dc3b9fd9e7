#include "SkinTable.h"

#include <algorithm>

namespace skin {

namespace {

constexpr State N = State::Normal;
constexpr State H = State::Hover;
constexpr State P = State::Pressed;
constexpr State D = State::Disabled;

std::vector<Entry> BuildTable() {
  std::vector<Entry> t = {
      // Window frame and its fixed parts.
      {128, 64, 64, Look::AppIcon, N, "V", 0},
      {325, 800, 600, Look::Frame, N, "", 0},
      {453, 157, 502, Look::LeftPanel, N, "", 0},
      {502, 270, 52, Look::Banner, N, "", 0},
      {386, 19, 20, Look::TitleClose, N, "", 0},
      {384, 19, 20, Look::TitleClose, H, "", 0},
      {385, 19, 20, Look::TitleClose, P, "", 0},
      {392, 19, 20, Look::TitleMinimise, N, "", 0},
      {390, 19, 20, Look::TitleMinimise, H, "", 0},
      {391, 19, 20, Look::TitleMinimise, P, "", 0},

      // Catalogue headers: normal / pressed / hover.
      {306, 155, 25, Look::MenuHeader, N, "QV series", 0},
      {308, 155, 25, Look::MenuHeader, P, "QV series", 0},
      {307, 155, 25, Look::MenuHeader, H, "QV series", 0},
      {351, 155, 25, Look::MenuHeader, N, "PX series", 0},
      {353, 155, 25, Look::MenuHeader, P, "PX series", 0},
      {354, 155, 25, Look::MenuHeader, H, "PX series", 0},
      {311, 155, 25, Look::MenuHeader, N, "DTC lookup", 1},
      {313, 155, 25, Look::MenuHeader, P, "DTC lookup", 1},
      {312, 155, 25, Look::MenuHeader, H, "DTC lookup", 1},
      {298, 155, 25, Look::MenuHeader, N, "Manuals", 2},
      {300, 155, 25, Look::MenuHeader, P, "Manuals", 2},
      {299, 155, 25, Look::MenuHeader, H, "Manuals", 2},

      // Catalogue model entries: normal / pressed / hover.
      {276, 137, 22, Look::MenuItem, N, "QV120", 0},
      {275, 137, 22, Look::MenuItem, P, "QV120", 0},
      {274, 137, 22, Look::MenuItem, H, "QV120", 0},
      {280, 137, 22, Look::MenuItem, N, "QV220", 0},
      {279, 137, 22, Look::MenuItem, P, "QV220", 0},
      {278, 137, 22, Look::MenuItem, H, "QV220", 0},
      {288, 137, 22, Look::MenuItem, N, "QV320", 0},
      {287, 137, 22, Look::MenuItem, P, "QV320", 0},
      {286, 137, 22, Look::MenuItem, H, "QV320", 0},
      {284, 137, 22, Look::MenuItem, N, "QV240", 0},
      {283, 137, 22, Look::MenuItem, P, "QV240", 0},
      {282, 137, 22, Look::MenuItem, H, "QV240", 0},
      {292, 137, 22, Look::MenuItem, N, "QV340", 0},
      {291, 137, 22, Look::MenuItem, P, "QV340", 0},
      {290, 137, 22, Look::MenuItem, H, "QV340", 0},
      {438, 137, 22, Look::MenuItem, N, "RW480", 0},
      {436, 137, 22, Look::MenuItem, P, "RW480", 0},
      {437, 137, 22, Look::MenuItem, H, "RW480", 0},
      {444, 137, 22, Look::MenuItem, N, "PX110", 0},
      {442, 137, 22, Look::MenuItem, P, "PX110", 0},
      {443, 137, 22, Look::MenuItem, H, "PX110", 0},
      {445, 137, 22, Look::MenuItem, N, "PX520", 0},
      {447, 137, 22, Look::MenuItem, P, "PX520", 0},
      {448, 137, 22, Look::MenuItem, H, "PX520", 0},

      // Product pictures, 113 x 155.
      {451, 113, 155, Look::Picture, N, "QV120", kFamilyQv},
      {344, 113, 155, Look::Picture, N, "QV220", kFamilyQv},
      {346, 113, 155, Look::Picture, N, "QV320", kFamilyQv},
      {345, 113, 155, Look::Picture, N, "QV240", kFamilyQv},
      {347, 113, 155, Look::Picture, N, "QV340", kFamilyQv},
      {343, 113, 155, Look::Picture, N, "RW480", kFamilyRw},
      {449, 113, 155, Look::Picture, N, "PX110", kFamilyPx},
      {450, 113, 155, Look::Picture, N, "PX520", kFamilyPx},
      {340, 113, 155, Look::Picture, N, "PX630", kFamilyPx},
      {461, 113, 155, Look::Picture, N, "OMNIX", kFamilyOmnix},
      {486, 113, 155, Look::Picture, N, "QV480R", kFamilyQv},
      {471, 113, 155, Look::Picture, N, "QV130", kFamilyQv},
      {476, 113, 155, Look::Picture, N, "QV330", kFamilyQv},
      {481, 113, 155, Look::Picture, N, "QV330XE", kFamilyQv},

      // Page backdrops, 617 x 486.
      {314, 617, 486, Look::Backdrop, N, "Firmware update", kBackdropQv120},
      {316, 617, 486, Look::Backdrop, N, "Firmware update", kBackdropQv220Update},
      {315, 617, 486, Look::Backdrop, N, "Tool data", kBackdropQv220Data},
      {431, 617, 486, Look::Backdrop, N, "Firmware update", kBackdropPx110},
      {317, 617, 486, Look::Backdrop, N, "DTC lookup", kBackdropDtc},
      {318, 617, 486, Look::Backdrop, N, "Manuals", kBackdropManual},

      // Page push buttons, 114 x 29 (normal and hover share one image).
      {263, 114, 29, Look::PushButton, N, "Update", kRolePrimary},
      {265, 114, 29, Look::PushButton, P, "Update", kRolePrimary},
      {264, 114, 29, Look::PushButton, D, "Update", kRolePrimary},
      {378, 114, 29, Look::PushButton, N, "Browse...", kRoleSecondary},
      {376, 114, 29, Look::PushButton, P, "Browse...", kRoleSecondary},
      {375, 114, 29, Look::PushButton, D, "Browse...", kRoleSecondary},

      // Data view tool buttons, 35 x 17: normal / hover / pressed / disabled.
      {396, 35, 17, Look::SmallButton, N, "Print", 0},
      {395, 35, 17, Look::SmallButton, H, "Print", 0},
      {394, 35, 17, Look::SmallButton, P, "Print", 0},
      {393, 35, 17, Look::SmallButton, D, "Print", 0},
      {400, 35, 17, Look::SmallButton, N, "Clear", 0},
      {399, 35, 17, Look::SmallButton, H, "Clear", 0},
      {398, 35, 17, Look::SmallButton, P, "Clear", 0},
      {397, 35, 17, Look::SmallButton, D, "Clear", 0},
      {404, 35, 17, Look::SmallButton, N, "Copy", 0},
      {403, 35, 17, Look::SmallButton, H, "Copy", 0},
      {402, 35, 17, Look::SmallButton, P, "Copy", 0},
      {401, 35, 17, Look::SmallButton, D, "Copy", 0},
      {408, 35, 17, Look::SmallButton, N, "Edit", 0},
      {407, 35, 17, Look::SmallButton, H, "Edit", 0},
      {406, 35, 17, Look::SmallButton, P, "Edit", 0},
      {405, 35, 17, Look::SmallButton, D, "Edit", 0},
      {411, 72, 40, Look::ModeButton, N, "Switch mode", 0},

      // Port indicator: status strip 195 x 17, digits 7 x 10.
      {360, 195, 17, Look::PortFound, N, "Tool found on port", 0},
      {361, 195, 17, Look::PortMissing, N, "No tool connected", 0},
      {362, 7, 10, Look::Digit, N, "0", 0},
      {363, 7, 10, Look::Digit, N, "1", 1},
      {364, 7, 10, Look::Digit, N, "2", 2},
      {365, 7, 10, Look::Digit, N, "3", 3},
      {366, 7, 10, Look::Digit, N, "4", 4},
      {367, 7, 10, Look::Digit, N, "5", 5},
      {368, 7, 10, Look::Digit, N, "6", 6},
      {369, 7, 10, Look::Digit, N, "7", 7},
      {370, 7, 10, Look::Digit, N, "8", 8},
      {371, 7, 10, Look::Digit, N, "9", 9},
      {372, 7, 10, Look::Digit, N, "", -1},

      // Download dialog.
      {373, 417, 191, Look::DownloadFace, N, "Firmware update", 0},
      {159, 18, 18, Look::DownloadGlyph, N, "", 0},
  };
  std::sort(t.begin(), t.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
  return t;
}

}  // namespace

const std::vector<Entry>& Table() {
  static const std::vector<Entry> table = BuildTable();
  return table;
}

}  // namespace skin
