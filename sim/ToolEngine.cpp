#include "sim/ToolEngine.h"

#include "sim/ClassicEngine.h"
#include "sim/FramedEngine.h"

namespace varnok::sim {

std::unique_ptr<ToolEngine> MakeToolEngine(const SimOptions& options) {
  switch (options.toolClass) {
    case ToolClass::Classic:
      return std::make_unique<ClassicEngine>(options);
    case ToolClass::Programmer:
      return std::make_unique<FramedEngine>(options, true);
    case ToolClass::New:
      break;
  }
  return std::make_unique<FramedEngine>(options, false);
}

}  // namespace varnok::sim
