#include "cli/commands/Commands.h"

#include <fstream>
#include <optional>
#include <vector>

#include "cli/ExitCodes.h"
#include "cli/platform/Interrupt.h"
#include "cli/output/JsonLine.h"
#include "cli/commands/ModelResolver.h"
#include "cli/platform/PortDiagnosis.h"
#include "cli/platform/PortInfo.h"
#include "cli/platform/PortSource.h"
#include "cli/run/ToolPorts.h"
#include "cli/run/TraceRecording.h"
#include "cli/run/UpdateSteps.h"
#include "device/FilePath.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
#include "device/SearchUsbPort.h"
#include "update/ConfigHelper.h"
#include "update/DownloadWorkflow.h"
#include "update/FileKind.h"
#include "update/ProductPageLogic.h"
#include "update/RunOutcome.h"
#include "update/StatusTexts.h"
#include "update/UpdateRecord.h"

namespace cli {

namespace {

// How long the tool may take to finish the block in flight after a cancel.
constexpr int kCancelGraceMs = 15000;
constexpr int kRunPollMs = 100;

const char* ClassName(int usbType) {
  switch (usbType) {
    case 0: return "classic tool";
    case 1: return "new tool";
    case 2: return "programmer tool";
  }
  return "unknown tool class";
}

const char* PageName(PageKind kind) {
  switch (kind) {
    case PageKind::QV120: return "QV120";
    case PageKind::QV220: return "QV220";
    case PageKind::PX110: return "PX110";
  }
  return "?";
}

std::string FileNameOf(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Why a configuration could not be used, for the user.
std::string ConfigProblem(ConfigLoad outcome) {
  switch (outcome) {
    case ConfigLoad::Missing: return "no such file";
    case ConfigLoad::NotAFile: return "not a regular file";
    case ConfigLoad::Unreadable: return "no permission to read it, or a read error";
    case ConfigLoad::Malformed: return "not well-formed XML";
    case ConfigLoad::Loaded: break;
  }
  return "unknown problem";
}

}  // namespace

int LoadModel(const CliOptions& options, CliReporter& out, DeviceEntry& entry, PageKind& kind) {
  CConfigHelper& config = CConfigHelper::GetInstance();
  const std::string path = options.configPath.empty() ? config.GetConfigPath() : options.configPath;
  if (!config.LoadConfig(path)) {
    out.Message("varnok-cli: cannot read the configuration " + path + ": " +
                    ConfigProblem(config.LastLoad()),
                true);
    out.Result("usage", kExitUsage, "", "");
    return kExitUsage;
  }
  if (options.model.empty()) return kExitOk;
  std::string error;
  if (!ResolveModel(options.model, config.AllEntries(), entry, error)) {
    out.Message("varnok-cli: " + error, true);
    out.Result("usage", kExitUsage, "", "");
    return kExitUsage;
  }
  if (!PageForProduct(entry.DevType, kind)) {
    out.Message("varnok-cli: no product page serves product code " + std::to_string(entry.DevType),
                true);
    out.Result("usage", kExitUsage, "", "");
    return kExitUsage;
  }
  out.Info("Model: " + entry.ShowName + " (product code " + std::to_string(entry.DevType) + ", " +
               ClassName(entry.USBType) + ", " + PageName(kind) + " page)",
           JsonLine("model")
               .Add("show_name", entry.ShowName)
               .Add("dev_name", entry.DevName)
               .Add("code", entry.DevType)
               .Add("usb_type", entry.USBType)
               .Add("page", PageName(kind))
               .Str());
  return kExitOk;
}

void ReportPort(CliReporter& out, int port) {
  const std::string path = varnok::PortDevicePath(port);
  // A remote port's number is the program's own: its URL says it all.
  const std::string number =
      varnok::IsRemotePort(port) ? "" : " (port " + std::to_string(port) + ")";
  out.Info("Tool port: " + path + number, JsonLine("port").AddPort(port).Add("path", path).Str());
}

int NoTool(CliReporter& out, const std::string& hint) {
  out.Result("no-tool", kExitNotWritten, "", hint);
  return kExitNotWritten;
}

int FindTheTool(const CliOptions& options, CliReporter& out, CProductPageLogic& page) {
  int onlyPort = -1;
  int port = -1;
  const int status = FindOneTool(options, out, "", onlyPort, port);
  if (onlyPort >= 0) page.RestrictToPort(onlyPort);
  return status;
}

std::string PortAdvice(int port) { return port > 0 ? ProbePort(port) : std::string(); }

void ReportModelRefusal(CliReporter& out, const ModelRefusal& why) {
  if (!why.text.empty()) out.Message(why.text, true);
  out.Result(why.result, kExitNotWritten, why.text, why.advice);
}

int ExitFor(DownloadEnd how) { return RunOutcomeExitStatus(how); }

const char* ResultName(DownloadEnd how) { return RunOutcomeWord(how); }

DownloadEnd RunToEnd(CDownloadWorkflow& workflow, IDownloadView& view, bool ownsInterrupt) {
  workflow.SetView(&view);
  // Until the result is out an interrupt stops the run (as the Cancel
  // button) instead of ending the program.
  std::optional<ScopedInterruptAction> stopRun;
  if (ownsInterrupt) stopRun.emplace([&workflow] { workflow.RequestStop(true); });
  workflow.Start();
  bool cancelled = false;
  while (!workflow.WaitForWorker(kRunPollMs)) {
    if (InterruptRequested() && !cancelled) {
      cancelled = true;
      workflow.Cancel();  // as the Cancel button: stop, close the port, wait
    }
  }
  if (cancelled) {
    // The worker notices the stop at its next check; let it end before exit.
    workflow.WaitForWorker(kCancelGraceMs);
  }
  DownloadEnd how = workflow.RunHasEnded() ? workflow.EndResult() : DownloadEnd::Stopped;
  if (cancelled || (InterruptRequested() && how != DownloadEnd::Done)) how = DownloadEnd::Stopped;
  if (how == DownloadEnd::Done) workflow.Finish();
  workflow.DetachView();
  return how;
}

std::string HintFor(DownloadEnd how) {
  switch (how) {
    case DownloadEnd::NotStarted:
    case DownloadEnd::FailedBeforeErase:
      return "Nothing was written; the tool keeps its old firmware.";
    case DownloadEnd::FailedAfterErase:
      return "The tool's flash was erased: run the update again before using the tool.";
    case DownloadEnd::Stopped:
      return "Update cancelled.";
    default:
      return std::string();
  }
}

int RunPorts(const CliOptions& /*options*/, CliReporter& out) {
  CSearchUsbPort search;
  std::vector<int> ports;
  search.SearchPorts(ports);
  if (ports.empty() && !out.Json()) {
    out.Message(NoToolPortsText(), false);
  }
  for (const int port : ports) {
    const std::string path = varnok::PortDevicePath(port);
    const UsbPortInfo usb = ReadUsbPortInfo(FileNameOf(path));
    std::string line = std::to_string(port) + "\t" + path;
    JsonLine json("port");
    json.Add("port", port).Add("path", path);
    if (usb.found) {
      line += "\t" + usb.vendorId + ":" + usb.productId;
      if (!usb.product.empty()) line += "\t" + usb.product;
      if (!usb.serial.empty()) line += "\tserial " + usb.serial;
      json.Add("usb_id", usb.vendorId + ":" + usb.productId)
          .Add("vendor_id", usb.vendorId)
          .Add("product_id", usb.productId)
          .Add("manufacturer", usb.manufacturer)
          .Add("product", usb.product)
          .Add("serial", usb.serial);
    }
    out.Info(line, json.Str());
  }
  out.JsonOnly(JsonLine("result").Add("result", "ports").Add("ok", true).Add("exit", kExitOk)
                   .Add("count", static_cast<int>(ports.size())).Str());
  return kExitOk;
}

int RunModels(const CliOptions& options, CliReporter& out) {
  DeviceEntry unused;
  PageKind kind = PageKind::QV120;
  const int loaded = LoadModel(options, out, unused, kind);
  if (loaded != kExitOk) return loaded;
  for (const DeviceEntry& e : CConfigHelper::GetInstance().AllEntries()) {
    PageKind page = PageKind::QV120;
    const bool served = PageForProduct(e.DevType, page);
    out.Info(std::to_string(e.DevType) + "\t" + e.ShowName + "\t" + e.DevName + "\t" +
                 ClassName(e.USBType) + "\t" + (served ? PageName(page) : "-") + " page",
             JsonLine("model").Add("code", e.DevType).Add("show_name", e.ShowName)
                 .Add("dev_name", e.DevName).Add("usb_type", e.USBType)
                 .Add("page", served ? PageName(page) : "").Str());
  }
  out.JsonOnly(JsonLine("result").Add("result", "models").Add("ok", true).Add("exit", kExitOk).Str());
  return kExitOk;
}

int RunIdentify(const CliOptions& options, CliReporter& out) {
  DeviceEntry model;
  PageKind kind = PageKind::QV120;
  const int loaded = LoadModel(options, out, model, kind);
  if (loaded != kExitOk) return loaded;

  CProductPageLogic page(kind, model.DevType);
  const int found = FindTheTool(options, out, page);
  if (found != kExitOk) return found;
  const int port = page.DetectTool();
  if (port == -1) return NoTool(out, NoPortText(PortSearch::None, options, PortQuery(), 0));
  ReportPort(out, port);
  page.LoadEntry();
  if (page.SkipsModelCheck()) {
    const std::string text = page.Entry().ShowName +
                             " does not report its model name; its page updates it unchecked.";
    out.Info(text, JsonLine("message").Add("text", text).Add("failure", false).Str());
    out.Result("unchecked", kExitOk, "", "");
    return kExitOk;
  }
  if (!page.VerifyConnectedModel(port)) {
    ReportModelRefusal(out, ExplainModelRefusal(page, port));
    return kExitNotWritten;
  }
  std::string text = "The tool on " + varnok::PortDevicePath(port) + " is a " + model.ShowName + ".";
  if (page.DevType() != model.DevType) {
    const DeviceEntry adopted = CConfigHelper::GetInstance().FindByType(page.DevType());
    text = "The tool on " + varnok::PortDevicePath(port) + " is a " +
           (adopted.ShowName.empty() ? "model" : adopted.ShowName) + " (product code " +
           std::to_string(page.DevType()) + "), which the " + PageName(kind) +
           " page takes in its place.";
  }
  out.Info(text, JsonLine("message").Add("text", text).Add("failure", false).Str());
  out.Result("match", kExitOk, "", "");
  return kExitOk;
}

namespace {

// One update of the tool on one port (the first found, or --port's);
// `record` learns the port.
int UpdateTheTool(const CliOptions& options, CliReporter& out, const DeviceEntry& model,
                  PageKind kind, varnok::CUpdateRecorder& record,
                  const std::shared_ptr<varnok::CWireTrace>& trace) {
  CProductPageLogic page(kind, model.DevType);
  page.SetWireTrace(trace);
  const UpdatePath which = page.ChooseUpdatePath(options.updateFile);
  const int found = FindTheTool(options, out, page);
  if (found != kExitOk) return found;
  const int port = page.DetectTool();
  if (port == -1) return NoTool(out, NoPortText(PortSearch::None, options, PortQuery(), 0));
  record.SetPort(port);
  ReportPort(out, port);
  if (InterruptRequested()) {
    out.Result("cancelled", kExitCancelled, "", HintFor(DownloadEnd::Stopped));
    return kExitCancelled;
  }

  CDownloadWorkflow workflow;
  const PrepareResult prepared = page.PrepareUpdate(which, options.updateFile, workflow);
  switch (prepared.step) {
    case PrepareStep::NoTool:
      return NoTool(out, NoPortText(PortSearch::None, options, PortQuery(), 0));
    case PrepareStep::ModelMismatch:
      ReportModelRefusal(out, ExplainModelRefusal(page, port));
      return kExitNotWritten;
    case PrepareStep::BadExtension:
    case PrepareStep::WrongFile: {
      out.Message(prepared.message, true);
      std::string hint;
      const varnok::FileKind kind = varnok::KindOfFile(options.updateFile);
      if (kind == varnok::FileKind::Other) {
        hint = options.updateFile + " is not a regular file.";
      } else if (kind != varnok::FileKind::Regular ||
                 !std::ifstream(varnok::FilePath(options.updateFile), std::ios::binary).is_open()) {
        hint = "Cannot open " + options.updateFile + ".";
      }
      out.Result("wrong-file", kExitNotWritten, prepared.message, hint);
      return kExitNotWritten;
    }
    case PrepareStep::Ready:
      break;
  }
  TellLineNotice(out, port);
  if (options.dryRun) return ReportDryRun(out, page, which, workflow, options.updateFile);
  if (InterruptRequested()) {
    out.Result("cancelled", kExitCancelled, "", HintFor(DownloadEnd::Stopped));
    return kExitCancelled;
  }

  const DownloadEnd how = RunToEnd(workflow, out, true);

  std::string hint = HintFor(how);
  int exitCode = ExitFor(how);
  const bool eraseBegun = workflow.EraseBegun();
  if (how == DownloadEnd::Stopped && eraseBegun) {
    // The erase has begun: the tool holds at most part of an image.
    exitCode = kExitAfterErase;
    hint = "Update cancelled after the erase began: the tool holds a partial image and needs "
           "another update before use.";
  }
  if (how == DownloadEnd::NotStarted) {
    const std::string advice = PortAdvice(port);
    if (!advice.empty()) hint = advice + "\n" + hint;
  }
  out.Result(ResultName(how), exitCode, workflow.LastStatus(), hint, eraseBegun ? 1 : 0);
  return exitCode;
}

}  // namespace

int RunUpdate(const CliOptions& options, CliReporter& out) {
  if (options.all) return RunUpdateAll(options, out);
  DeviceEntry model;
  PageKind kind = PageKind::QV120;
  const int loaded = LoadModel(options, out, model, kind);
  if (loaded != kExitOk) return loaded;

  varnok::CUpdateRecorder record(model.DevName);
  record.SetFile(options.updateFile);
  bool traceFailed = false;
  const std::shared_ptr<varnok::CWireTrace> trace =
      StartRunTrace(options.tracePath, model, nullptr, out, traceFailed);
  if (traceFailed) return kExitUsage;
  const int exit = UpdateTheTool(options, out, model, kind, record, trace);
  EndRunTrace(trace, out.LastResult());
  FinishUpdateRecord(record, out.LastResult(), exit);
  return exit;
}

}  // namespace cli
