#include "update/ProductPageLogic.h"

#include <algorithm>
#include <vector>

#include "device/Clock.h"
#include "device/ProductFactory.h"
#include "device/SearchUsbPort.h"
#include "update/ConfigHelper.h"
#include "update/DownloadWorkflow.h"
#include "update/StatusTexts.h"
#include "update/UpdateFile.h"

namespace {

constexpr int kNameRetryPauseMs = 1000;

}  // namespace

std::string ModelNameOf(std::string name) {
  if (name.find('|') != std::string::npos && name.size() > 2) name.resize(name.size() - 2);
  return name;
}

bool PageForProduct(int devType, PageKind& kind) {
  switch (devType) {
    case 1: case 8: case 11: case 14: case 15: case 16: case 17:
      kind = PageKind::QV120;
      return true;
    case 2: case 3: case 4: case 5: case 6:
      kind = PageKind::QV220;
      return true;
    case 7: case 12: case 13:
      kind = PageKind::PX110;
      return true;
    default:
      return false;
  }
}

CProductPageLogic::CProductPageLogic(PageKind pageKind, int type)
    : kind(pageKind), devType(type) {}

int CProductPageLogic::DetectTool() {
  CSearchUsbPort search;
  std::vector<int> ports;
  search.SearchPorts(ports);
  varnok::KeepOnlyPort(ports, onlyPort_);
  if (ports.empty()) {
    ForgetTool();
  } else {
    port = ports.front();
  }
  return port;
}

void CProductPageLogic::ForgetTool() {
  port = -1;
  entry.Clear();
}

void CProductPageLogic::LoadEntry() { entry = CConfigHelper::GetInstance().FindByType(devType); }

bool CProductPageLogic::SkipsModelCheck() const {
  return kind == PageKind::QV220 && entry.DevType == kDevTypeSilentClassic;
}

bool CProductPageLogic::VerifyConnectedModel(int onPort) {
  // An unlisted model has DevType 0, as has the look-up of an unlisted
  // name: that equality proves nothing.
  lastCheck_ = ModelCheck::OtherModel;
  if (entry.IsEmpty()) return false;

  CProductFactory factory;
  std::unique_ptr<CUsbDevInterface> device = factory.Create(entry.USBType);
  if (!device) return false;
  lastCheck_ = ModelCheck::NoPort;
  device->port.SetTrace(trace_);
  if (!device->OpenPort(onPort)) return false;
  lastCheck_ = ModelCheck::NoAnswer;

  std::string name;
  int r = device->QueryDeviceName(name);
  if (r != 1) {
    varnok::SleepMs(kNameRetryPauseMs);
    name.clear();
    r = device->QueryDeviceName(name);
  }

  bool result = false;
  if (r == 1) {
    const DeviceEntry found = CConfigHelper::GetInstance().FindByName(ModelNameOf(name));
    lastCheck_ = ModelNameOf(name).empty() ? ModelCheck::NoAnswer : ModelCheck::OtherModel;
    if (found.DevType == entry.DevType) {
      result = true;
    } else if (kind == PageKind::PX110 && found.DevType == kDevTypeLoaderReboot) {
      entry.DevType = kDevTypeLoaderReboot;
      devType = kDevTypeLoaderReboot;
      result = true;
    }
  } else if (kind == PageKind::QV220) {
    // The QV220 page refuses only a stop or a silent tool; any other answer
    // (a refusal code, a short reply) lets the open port stand.
    result = r != 0 && r != -1;
  }
  device->ClosePort();
  if (result) lastCheck_ = ModelCheck::Match;
  return result;
}

std::string CProductPageLogic::CheckExtension(const std::string& path, UpdatePath which) const {
  const std::string upper = updatefile::AsciiUpper(path);
  const bool bin = which == UpdatePath::Bin || !HasZpkPath();
  if (upper.find(bin ? ".BIN" : ".ZPK") != std::string::npos) return std::string();
  if (kind == PageKind::QV220 && bin) return text::kFileFormatError;
  return text::kFileFormatIncorrect;
}

UpdatePath CProductPageLogic::ChooseUpdatePath(const std::string& path) const {
  if (updatefile::AsciiUpper(path).find(".BIN") != std::string::npos) return UpdatePath::Bin;
  return HasZpkPath() ? UpdatePath::Zpk : UpdatePath::Bin;
}

int CProductPageLogic::PartitionSelector(UpdatePath which) const {
  if (kind == PageKind::PX110) return devType == kDevTypeSmallBlocks ? 0 : 2;
  return which == UpdatePath::Bin ? 0 : 1;
}

PrepareResult CProductPageLogic::PrepareUpdate(UpdatePath which, const std::string& path,
                                               CDownloadWorkflow& workflow,
                                               const std::function<void()>& beforeLoad) {
  PrepareResult result;
  if (DetectTool() == -1) {
    result.step = PrepareStep::NoTool;
    return result;
  }
  LoadEntry();
  if (!SkipsModelCheck() && !VerifyConnectedModel(port)) {
    ForgetTool();
    result.step = PrepareStep::ModelMismatch;
    result.message = text::kEquipmentMismatch;
    return result;
  }
  const std::string formatMessage = CheckExtension(path, which);
  if (!formatMessage.empty()) {
    result.step = PrepareStep::BadExtension;
    result.message = formatMessage;
    return result;
  }
  workflow.SetPartitionSelector(PartitionSelector(which));
  workflow.SetDeviceEntry(entry);
  if (onlyPort_ >= 0) workflow.RestrictToPort(onlyPort_);
  if (trace_) workflow.SetWireTrace(trace_);
  if (beforeLoad) beforeLoad();
  if (!workflow.LoadUpdateFile(path)) {
    result.step = PrepareStep::WrongFile;
    result.message = text::kWrongFileMessage;
    return result;
  }
  result.step = PrepareStep::Ready;
  return result;
}
