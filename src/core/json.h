#pragma once
// The JSON Lines record of one decoded frame, the same for quillon-decode --json and the
// dialog's log:
//
//   {"kind", "data", "utc", "local", "fields": {key: value...}, "notAnalyzed": [key...]}
//
// Fields are in report order: engineering values as numbers at full precision, counts as
// integers, states as their texts. The combined frame nests a "fields"/"notAnalyzed"
// pair under "satellite" and under "pda" instead.

#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon {

// Appends the record without a line end. `data` is the frame as shown (valid UTF-8).
void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields);

}  // namespace quillon
