// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed clock for exact report bytes: UTC 2026-12-06 18:25:28.123, local time one
// hour ahead.

#include "time/clocksnapshot.h"

namespace quillon::cli::test {

inline constexpr stm::ClockReading kReading{{2026, 12, 6, 19, 25, 28, 123}, {2026, 12, 6, 18, 25, 28, 123}};

}  // namespace quillon::cli::test
