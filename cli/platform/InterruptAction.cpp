// The platform-neutral half of the interrupt watch: the flag and the action.
#include <atomic>
#include <mutex>
#include <thread>

#include "cli/platform/Interrupt.h"
#include "cli/platform/InterruptBackend.h"

namespace cli {

namespace {
std::atomic<bool> interrupted{false};
std::mutex actionMutex;
std::function<void()> registeredAction;
}  // namespace

bool InterruptRequested() { return interrupted; }

void SetInterruptAction(std::function<void()> action) {
  std::lock_guard<std::mutex> lock(actionMutex);
  registeredAction = std::move(action);
}

ScopedInterruptAction::ScopedInterruptAction(std::function<void()> action) {
  std::lock_guard<std::mutex> lock(actionMutex);
  previous_ = std::move(registeredAction);
  registeredAction = std::move(action);
}

ScopedInterruptAction::~ScopedInterruptAction() { SetInterruptAction(std::move(previous_)); }

void OnInterrupt() {
  if (interrupted.exchange(true)) return;  // the first one is being carried out
  std::lock_guard<std::mutex> lock(actionMutex);
  if (registeredAction) registeredAction();
}

void RequestInterrupt() {
  if (interrupted.load()) return;
  std::thread(OnInterrupt).detach();
}

}  // namespace cli
