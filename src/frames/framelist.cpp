// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/framelist.h"

#include "frames/housekeeping.h"
#include "frames/statuswords.h"

namespace quillon {

namespace {

constexpr const FrameRule* kFrames[] = {&kHouseKeepingFrame, &kSatelliteFrame, &kPdaFrame, &kSatellitePdaFrame};

}  // namespace

std::span<const FrameRule* const> allFrames() { return kFrames; }

const FrameRule* frameNamed(std::string_view name) {
  for (const FrameRule* rule : kFrames) {
    if (rule->name == name) return rule;
  }
  return nullptr;
}

}  // namespace quillon
