#pragma once
// Called by the platform backend on its own thread for every interrupt.

namespace cli {
void OnInterrupt();
}  // namespace cli
