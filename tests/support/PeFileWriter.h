#pragma once

// A minimal Windows PE file (.exe) whose only section holds resources: an RT_ICON entry that
// the version reader must pass over, and the given RT_VERSION block.

#include <cstdint>
#include <vector>

namespace qm::testing {

std::vector<std::uint8_t> PeFileWithVersionBlock(const std::vector<std::uint8_t>& block,
                                                 bool pe32Plus = true);

} // namespace qm::testing
