#pragma once
// How a block loop maps onto a progress bar whose range is 16 bits wide.

namespace varnok {

struct ProgressPlan {
  int range = 0;          // bar range 0..range, at most kMaxRange
  int blocksPerStep = 1;  // one bar step per this many blocks (and one at the last block)
};

constexpr int kMaxProgressRange = 65535;

// `count` blocks: one step per block while they fit the range, else the
// fewest blocks per step that make them fit.
inline ProgressPlan PlanProgress(int count) {
  ProgressPlan plan;
  if (count > kMaxProgressRange) {
    plan.blocksPerStep = (count + kMaxProgressRange - 1) / kMaxProgressRange;
  }
  plan.range = (count + plan.blocksPerStep - 1) / plan.blocksPerStep;
  return plan;
}

}  // namespace varnok
