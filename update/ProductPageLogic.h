#pragma once
// CProductPageLogic: what the three product pages (QV120, QV220, PX110) do
// when looking for the tool and when Update is pressed, without any UI.
// The GUI pages and varnok-cli both use it; the GUI adds the indicator,
// the buttons, the remembered paths and the message boxes.
//
// Threads: one thread (the UI thread). VerifyConnectedModel and
// PrepareUpdate block: they open the port and ask the tool its name (up to
// two tries 1000 ms apart plus the device's own time-outs).

#include <functional>
#include <memory>
#include <string>

#include "update/DeviceEntry.h"

namespace varnok {
class CWireTrace;
}

class CDownloadWorkflow;

enum class PageKind {
  QV120,  // product codes 1, 8, 11, 14..17: .bin and .zpk paths
  QV220,  // 2..6: .bin and .zpk paths; DevType 6 skips the model check
  PX110,  // 7, 12 (13 adopted when such a tool is found): .bin path only
};

enum class UpdatePath { Bin, Zpk };

// The page that serves a product code; false when no page serves it
// (13 counts as the PX110 page's).
bool PageForProduct(int devType, PageKind& kind);

// The model a tool's reported name stands for: a name with "|" longer than
// two characters loses its last two ("QV120|1" is QV120); any other name
// stays as it is.
std::string ModelNameOf(std::string name);

// Outcome of PrepareUpdate, in the order the steps run.
enum class PrepareStep {
  NoTool,         // no port found: nothing happens, no message
  ModelMismatch,  // text::kEquipmentMismatch
  BadExtension,   // the page's format message
  WrongFile,      // LoadUpdateFile refused: text::kWrongFileMessage
  Ready,          // the workflow holds the image; show it and Start()
};

// How the last model check went (VerifyConnectedModel).
enum class ModelCheck {
  Match,       // the tool is the model (or was adopted)
  OtherModel,  // the tool answered with another model's name
  NoAnswer,    // the port opened but the tool gave no usable name
  NoPort,      // the port could not be opened (busy, no access, gone)
};

struct PrepareResult {
  PrepareStep step = PrepareStep::NoTool;
  std::string message;  // message box text; empty for NoTool and Ready
};

class CProductPageLogic {
 public:
  // `devType` is the model variant the main window passes (the PX110 page
  // starts at 7 unless told 12).
  CProductPageLogic(PageKind kind, int devType);
  virtual ~CProductPageLogic() = default;

  int DevType() const { return devType; }
  void SetDevType(int type) { devType = type; }
  const DeviceEntry& Entry() const { return entry; }
  int Port() const { return port; }

  // Port search: port = first port found, or -1 and the entry cleared.
  // Returns the port. With RestrictToPort only that port counts.
  int DetectTool();

  // Use port `port` only, here and in the download PrepareUpdate sets up
  // (a named port, or one of several tools updated at once). -1: the first
  // port found, as the window's pages do.
  void RestrictToPort(int port) { onlyPort_ = port; }
  // Records the model check's line and, through PrepareUpdate, the
  // download's into `trace` (null: no recording).
  void SetWireTrace(std::shared_ptr<varnok::CWireTrace> trace) { trace_ = std::move(trace); }

  // entry = FindByType(DevType()).
  void LoadEntry();

  // Whether this page skips the model check for its current entry
  // (QV220 page, DevType 6).
  bool SkipsModelCheck() const;

  // Asks the tool on `port` for its model name and checks it against the
  // entry by this page's rules. PX110 page: a tool whose name maps to
  // DevType 13 is accepted and the page (and entry) adopt 13. An empty
  // entry (model not in device.xml) never matches.
  bool VerifyConnectedModel(int port);
  // Why the last VerifyConnectedModel said what it said.
  ModelCheck LastModelCheck() const { return lastCheck_; }

  // Whether the page has a .zpk update path.
  bool HasZpkPath() const { return kind != PageKind::PX110; }

  // The page's extension test for the path of button `which`: empty when
  // the upper-cased path contains ".BIN" (".ZPK"), else the page's message
  // ("File format incorrect!", or "File format error!" on the QV220 page's
  // .bin path).
  std::string CheckExtension(const std::string& path, UpdatePath which) const;

  // The path (button) a file of `path` goes to: .bin when the upper-cased
  // path contains ".BIN", else .zpk where the page has it, else .bin.
  UpdatePath ChooseUpdatePath(const std::string& path) const;

  // Partition selector the page gives the download: QV120/QV220 0 for .bin,
  // 1 for .zpk; PX110 0 for DevType 7, 2 otherwise.
  int PartitionSelector(UpdatePath which) const;

  // Pressing Update: DetectTool, LoadEntry, the model check (a failure
  // forgets the port and clears the entry), the extension test, the
  // partition selector and entry into `workflow`, LoadUpdateFile.
  // `beforeLoad` runs once the checks passed, just before the file is
  // loaded (the page disables its Update button there).
  PrepareResult PrepareUpdate(UpdatePath which, const std::string& path,
                              CDownloadWorkflow& workflow,
                              const std::function<void()>& beforeLoad = {});

  // Clears the entry and forgets the port.
  void ForgetTool();

 private:
  PageKind kind;
  int devType;
  DeviceEntry entry;
  int port = -1;
  int onlyPort_ = -1;
  ModelCheck lastCheck_ = ModelCheck::NoPort;
  std::shared_ptr<varnok::CWireTrace> trace_;
};
