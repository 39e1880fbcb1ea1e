#include "protocol/signal_format.h"

#include <algorithm>
#include <array>

namespace sw::protocol {

namespace {

struct ModeFormat {
    int width;
    int height;
    bool interlaced;
};

// Indexed by signalMode; mode 0 names no format of its own.
constexpr std::array<ModeFormat, 8> kModeFormats = {{
    {0, 0, false},
    {640, 480, false},
    {720, 480, false},
    {1280, 720, false},
    {1920, 1080, true},
    {720, 480, true},
    {1920, 1080, false},
    {1600, 1200, false},
}};

// One cell is 16 pixels wide at x1; one row is 16 high, two rows with their gap 36.
constexpr int kCellWidth = 16;
constexpr int kOneRowHeight = 16;
constexpr int kTwoRowHeight = 36;

}  // namespace

SignalFormat resolveSignalFormat(const StatusReply& status) {
    SignalFormat format;
    if (status.signalMode != 0) {
        // A known mode wins over the explicit fields, even when they are marked valid.
        const ModeFormat& mode = kModeFormats[status.signalMode & 0x07];
        format.resolved = true;
        format.width = mode.width;
        format.height = mode.height;
        format.interlaced = mode.interlaced;
    } else if (status.explicitResolution) {
        format.resolved = true;
        format.width = status.explicitWidth;
        format.height = status.explicitHeight;
        format.interlaced = status.explicitInterlaced;
    }
    return format;
}

bool checkTextRange(const SignalFormat& format, const TextBlock& block) {
    const int multiplier = block.sizeIndex + 1;
    const int widestRow = std::max(block.row1Cells, block.row2Cells);
    const int right = block.hPosition + kCellWidth * multiplier * widestRow;
    int bottom = block.vPosition;
    if (block.row2Cells > 0) {
        // The second row's line is reserved even when the first row is empty.
        bottom += kTwoRowHeight * multiplier;
    } else if (block.row1Cells > 0) {
        bottom += kOneRowHeight * multiplier;
    }
    // A block ending exactly on the picture's edge still fits.
    return right - 1 >= format.width || bottom - 1 >= format.height;
}

std::string buildStatusText(const StatusReply& status, const std::optional<TextBlock>& block) {
    std::string text = "OSDパターン" + std::to_string(status.osdPattern) + "を受信しました。";
    const SignalFormat format = resolveSignalFormat(status);
    if (!format.resolved) {
        return text;
    }
    text += "\n入力解像度は" + std::to_string(format.width) + "×" + std::to_string(format.height);
    text += format.interlaced ? "（i）です。" : "（p）です。";
    if (block && checkTextRange(format, *block)) {
        text += "\nOSD文字が範囲外にある可能性があります。\nポジションを確認してください。";
    }
    return text;
}

}  // namespace sw::protocol
