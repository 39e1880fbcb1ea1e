#include "protocol/row_encoder.h"

namespace sw::protocol {

namespace {

constexpr CellBytes kEmptyCell = {0x00, 0x00};
constexpr CellBytes kSpaceCell = {0x00, 0x20};

// Code page 932 lead bytes 0xF0..0xFC belong to the user-defined and extension area, which the device cannot
// show.
bool isExtensionLead(std::uint8_t b) {
    return b >= 0xF0 && b <= 0xFC;
}

bool isShowableLead(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

bool isTrail(std::uint8_t b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool isAscii(std::uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

bool isHalfwidthKana(std::uint8_t b) {
    return b >= 0xA0 && b <= 0xDF;
}

struct Step {
    CellBytes cell;
    std::size_t used;  // input bytes consumed
};

// `next` is 0 when `b` is the last byte of the text, so a lead byte never swallows the terminator.
Step encodeCharacter(std::uint8_t b, std::uint8_t next) {
    const std::size_t pair = next == 0 ? 1 : 2;
    if (isExtensionLead(b)) {
        return {kSpaceCell, pair};
    }
    if (isShowableLead(b)) {
        if (isTrail(next)) {
            return {{b, next}, 2};
        }
        return {kEmptyCell, pair};
    }
    if (isAscii(b)) {
        return {FullwidthAsciiTable[b - 0x20], 1};
    }
    if (isHalfwidthKana(b)) {
        // A kana followed by its sound mark is one full-width voiced kana; the first matching row wins.
        for (const VoicedKana& voiced : VoicedKanaTable) {
            if (voiced.kana == b && voiced.mark == next) {
                return {voiced.cell, 2};
            }
        }
        return {HalfwidthKanaTable[b - 0xA0], 1};
    }
    // Control bytes and bytes outside Shift-JIS show nothing.
    return {kEmptyCell, 1};
}

}  // namespace

bool rowEncodingKeeps(std::string_view character) {
    if (character.empty())
        return false;
    const auto first = static_cast<std::uint8_t>(character[0]);
    const auto next = character.size() > 1 ? static_cast<std::uint8_t>(character[1]) : std::uint8_t{0};
    const Step step = encodeCharacter(first, next);
    // 0xA0 is no character, yet its table row gives the full-width space.
    return step.used == character.size() && step.cell != kSpaceCell && step.cell != kEmptyCell && first != 0xA0;
}

EncodedRow encodeRowText(std::span<const std::uint8_t> text) {
    EncodedRow row;
    std::size_t pos = 0;
    // Read-back text made of half-width pairs can hold more characters than a row has cells; the rest is
    // dropped.
    while (row.length < kRowCellBytes && pos < text.size() && text[pos] != 0) {
        const std::uint8_t next = pos + 1 < text.size() ? text[pos + 1] : 0;
        const Step step = encodeCharacter(text[pos], next);
        row.bytes[row.length] = step.cell[0];
        row.bytes[row.length + 1] = step.cell[1];
        row.length += 2;
        pos += step.used;
    }
    row.truncated = pos < text.size() && text[pos] != 0;
    return row;
}

}  // namespace sw::protocol
