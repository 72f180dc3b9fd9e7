#pragma once
// The bitmap resources of the program's skin: one row per resource number,
// with its pixel size and how it looks. skingen paints every row into
// <id>.png at build time; the program loads them as ":/skin/<id>.png".
//
// Transparency conventions the controls rely on:
//   - skinned push buttons (CSkinButtonEx) treat magenta (255, 0, 255) as
//     transparent; their images are keyed with it outside their shape;
//   - the download button's glyph (159) is keyed with pure red (255, 0, 0);
//   - every other image is opaque.

#include <vector>

namespace skin {

enum class Look {
  Frame,          // main window background, 800 x 600
  LeftPanel,      // catalogue column behind the menu and the picture
  Banner,         // PX pages' strip at the top right
  Picture,        // product picture: a handheld scanner with its name
  MenuHeader,     // family / tool header of the catalogue, 155 x 25
  MenuItem,       // model entry of the catalogue, 137 x 22
  TitleClose,     // caption-less window's close button, 19 x 20
  TitleMinimise,  // minimise button, 19 x 20
  Backdrop,       // page backdrop, 617 x 486
  PushButton,     // page push button with a label, 114 x 29
  SmallButton,    // data view tool button, 35 x 17
  ModeButton,     // data / update mode switch, 72 x 40
  PortFound,      // port indicator strip, tool found (digits go on top)
  PortMissing,    // port indicator strip, no tool
  Digit,          // one 7 x 10 digit of the port number; variant = digit, -1 blank
  DownloadFace,   // download dialog background, 417 x 191
  DownloadGlyph,  // glyph of the download dialog's button (red keyed)
  AppIcon,        // window icon
};

enum class State { Normal, Hover, Pressed, Disabled };

// Variants of Backdrop.
enum BackdropKind {
  kBackdropQv120 = 0,
  kBackdropQv220Update,
  kBackdropQv220Data,
  kBackdropPx110,
  kBackdropDtc,
  kBackdropManual,
};

// Variants of Picture and PushButton (colour family / role).
enum PictureFamily { kFamilyQv = 0, kFamilyPx, kFamilyRw, kFamilyOmnix };
enum ButtonRole { kRolePrimary = 0, kRoleSecondary };

struct Entry {
  int id;
  int width;
  int height;
  Look look;
  State state;
  const char* label;  // text on the image, may be empty
  int variant;        // meaning depends on the look (see above)
};

// Every resource, in ascending id order, each id once.
const std::vector<Entry>& Table();

}  // namespace skin
