// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one list of the frames the operator can check, above their tables. The dialog's
// inputs, quillon-decode's kinds and help, the chart's series, the fuzz targets and the
// tests all iterate it: a new frame is a table file and a row here.

#include <span>
#include <string_view>

#include "core/frame.h"

namespace quillon {

// In the order the dialog shows them and the help lists them.
std::span<const FrameRule* const> allFrames();

// The frame named "hk", "sat", "pda" or "satpda"; nullptr for any other name.
const FrameRule* frameNamed(std::string_view name);

}  // namespace quillon
