#pragma once
// The input signal's resolution and scan, the status-line text of a read-back and the out-of-picture warning.

#include <optional>
#include <string>

#include "protocol/reply_decoder.h"

namespace sw::protocol {

struct SignalFormat {
    bool resolved = false;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool operator==(const SignalFormat&) const = default;
};

// What the range check needs from the same read-back pass.
struct TextBlock {
    int hPosition = 0;
    int vPosition = 0;
    int sizeIndex = 0;
    int row1Cells = 0;
    int row2Cells = 0;
};

SignalFormat resolveSignalFormat(const StatusReply& status);

// True when the block may reach past the picture's right or bottom edge.
bool checkTextRange(const SignalFormat& format, const TextBlock& block);

// The status-line text (Shift-JIS). Without a block (the pass lacked the layout or a row's cell count) no range
// check is made.
std::string buildStatusText(const StatusReply& status, const std::optional<TextBlock>& block);

}  // namespace sw::protocol
