#include "sim/RunningSimulator.h"

#include <chrono>

namespace varnok::sim {

RunningSimulator::RunningSimulator(SimOptions options, std::ostream* log)
    : sim_(std::make_unique<ToolSimulator>(std::move(options), log)) {
  std::string error;
  if (!sim_->Start(&error)) throw std::runtime_error("simulator: " + error);
  thread_ = std::thread([this] {
    result_ = sim_->Run();
    done_.store(true);
  });
}

RunningSimulator::~RunningSimulator() { Stop(); }

bool RunningSimulator::WaitEnded(int timeoutMs) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done_.load()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

int RunningSimulator::Stop() {
  if (thread_.joinable()) {
    sim_->RequestStop();
    thread_.join();
  }
  return result_;
}

Bytes RunningSimulator::FlashImage() {
  Stop();
  return sim_->Engine().Flash().WrittenImage();
}

const ToolSimulator& RunningSimulator::Simulator() {
  Stop();
  return *sim_;
}

}  // namespace varnok::sim
