// update --dry-run: the report after every check of the Update button passed.
#include "cli/ExitCodes.h"
#include "cli/output/JsonLine.h"
#include "cli/run/UpdateSteps.h"
#include "device/PortNames.h"
#include "device/UsbDevInterface.h"
#include "update/DownloadWorkflow.h"

namespace cli {

int ReportDryRun(CliReporter& out, const CProductPageLogic& page, UpdatePath which,
                 const CDownloadWorkflow& workflow, const std::string& file) {
  const CUsbDevInterface* device = workflow.Device();
  const int partition = device ? device->partition : page.PartitionSelector(which);
  const std::string path = which == UpdatePath::Bin ? ".bin" : ".zpk";
  const std::string text = "Dry run: " + file + " (" + std::to_string(workflow.ImageSize()) +
                           " image bytes, " + path + " update, partition selector " +
                           std::to_string(partition) + ") would update the " +
                           page.Entry().ShowName + " on " + varnok::PortDevicePath(page.Port()) +
                           ". Nothing was erased or written.";
  out.Info(text, JsonLine("dry-run")
                     .Add("port", page.Port())
                     .Add("model", page.Entry().DevName)
                     .Add("path", path)
                     .Add("image_bytes", workflow.ImageSize())
                     .Add("partition", partition)
                     .Str());
  out.Result("dry-run", kExitOk, "", "");
  return kExitOk;
}

}  // namespace cli
