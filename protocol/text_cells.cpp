#include "protocol/text_cells.h"

#include <charconv>

#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"

namespace sw::protocol {

namespace {

// Cell k of a row sits at reply bytes 2 + 2k (first byte) and 3 + 2k (second byte).
constexpr std::size_t kFirstCellByte = 2;

bool hasLeadByte(std::uint8_t first) {
    return first >= 0x80;
}

}  // namespace

std::string decodeRowCells(std::span<const std::uint8_t> reply) {
    std::string text;
    if (reply.size() < kRowReplyLength) {
        return text;
    }
    // Every cell is examined: an empty cell between characters adds nothing, so its neighbours close up.
    for (std::size_t k = 0; k < kRowCellCount; ++k) {
        const std::uint8_t first = reply[kFirstCellByte + 2 * k];
        const std::uint8_t second = reply[kFirstCellByte + 2 * k + 1];
        if (second == 0) {
            // Also a lead byte without its trail: a zero in the text would cut off whatever follows it.
            continue;
        }
        if (hasLeadByte(first)) {
            text.push_back(static_cast<char>(first));
        }
        text.push_back(static_cast<char>(second));
    }
    return text;
}

int countRowCells(std::span<const std::uint8_t> reply) {
    if (reply.size() < kRowReplyLength) {
        return 0;
    }
    // The row reaches up to its last cell that shows something; first bytes alone show nothing.
    for (std::size_t k = kRowCellCount; k > 0; --k) {
        if (reply[kFirstCellByte + 2 * (k - 1) + 1] != 0) {
            return static_cast<int>(k);
        }
    }
    return 0;
}

std::optional<RowCells> cellsFromHex(std::string_view digits) {
    if (digits.size() % 4 != 0 || digits.size() > 2 * kRowCellBytes)
        return std::nullopt;
    RowCells cells{};
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(digits.data() + i, digits.data() + i + 2, value, 16);
        if (ec != std::errc{} || end != digits.data() + i + 2)
            return std::nullopt;
        cells[i / 2] = static_cast<std::uint8_t>(value);
    }
    return cells;
}

std::string cellsToHex(const RowCells& cells) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    for (const std::uint8_t byte : cells) {
        digits.push_back(kDigits[byte >> 4]);
        digits.push_back(kDigits[byte & 0x0F]);
    }
    return digits;
}

void appendToCombinedText(std::string& combinedText, int row, const std::string& rowText) {
    // The line break belongs to the second row: without a second row there is none, without a first row the
    // display starts with it.
    if (row == 2) {
        combinedText += "\r\n";
    }
    combinedText += rowText;
}

}  // namespace sw::protocol
