// Why a model check turned a tool down, as varnok-cli reports it.
#include "cli/platform/PortDiagnosis.h"
#include "cli/run/UpdateSteps.h"
#include "cli/run/ToolPorts.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
#include "update/StatusTexts.h"

namespace cli {

ModelRefusal ExplainModelRefusal(const CProductPageLogic& page, int port) {
  const std::string path = port > 0 ? varnok::PortDevicePath(port) : std::string("the port");
  ModelRefusal why;
  switch (page.LastModelCheck()) {
    case ModelCheck::OtherModel:
    case ModelCheck::Match:
      why.result = "wrong-tool";
      why.text = text::kEquipmentMismatch;
      why.advice = PortAdvice(port);
      why.otherModel = true;
      return why;
    case ModelCheck::NoAnswer:
      why.result = "no-answer";
      why.text = "The tool on " + path + " did not tell its model name.";
      return why;
    case ModelCheck::NoPort:
      break;
  }
  // The port would not open: find out why, now that the check is over.
  if (varnok::IsRemotePort(port)) {
    why.result = "no-tool";
    why.text = "Cannot open " + path + ".";
    why.advice = RemoteOpenFailure(port);
    return why;
  }
  varnok::PortFailure failure = varnok::PortFailure::None;
  why.advice = port > 0 ? ProbePort(port, &failure) : std::string();
  if (failure == varnok::PortFailure::PermissionDenied) {
    why.result = "no-access";  // the advice says it all
  } else if (failure == varnok::PortFailure::Busy) {
    why.result = "busy";
    why.text = path + " is busy: another program holds the port.";
  } else {
    why.result = "no-tool";
    why.text = "Cannot open " + path + ".";
  }
  return why;
}

}  // namespace cli
