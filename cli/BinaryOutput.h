#pragma once
// Standard output without line-end translation (captures are byte-exact).

namespace cli {
void UseBinaryStdout();
}  // namespace cli
