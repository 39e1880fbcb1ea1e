#include "protocol/reply_decoder.h"

#include <algorithm>

#include "protocol/command_codes.h"
#include "protocol/text_cells.h"

namespace sw::protocol {

namespace {

// A 12-bit value sent high part first; the upper four bits of the high byte carry nothing.
std::uint16_t twelveBits(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>(((high & 0x0F) << 8) | low);
}

LayoutReply decodeLayout(std::span<const std::uint8_t> reply) {
    LayoutReply layout;
    layout.hPosition = twelveBits(reply[2], reply[3]);
    layout.vPosition = twelveBits(reply[4], reply[5]);
    layout.sizeIndex = static_cast<std::uint8_t>(reply[6] & 0x03);
    layout.halftone = (reply[7] & 0x01) != 0;
    return layout;
}

ColourReply decodeColour(int colour, std::span<const std::uint8_t> reply) {
    ColourReply result;
    result.colour = colour;
    result.colourIndex = static_cast<std::uint8_t>(reply[2] & 0x0F);
    return result;
}

RowReply decodeRow(int row, std::span<const std::uint8_t> reply) {
    RowReply result;
    result.row = row;
    result.text = decodeRowCells(reply);
    result.cellCount = countRowCells(reply);
    std::copy(reply.begin() + 2, reply.begin() + 2 + static_cast<std::ptrdiff_t>(result.cells.size()),
              result.cells.begin());
    return result;
}

StatusReply decodeStatus(std::span<const std::uint8_t> reply) {
    StatusReply status;
    status.osdPattern = (reply[2] & 0x03) + 1;
    status.explicitWidth = twelveBits(reply[3], reply[4]);
    status.explicitHeight = twelveBits(reply[5], reply[6]);
    // Only the exact value 1 marks the explicit fields as valid.
    status.explicitResolution = reply[7] == 1;
    status.explicitInterlaced = (reply[8] & 0x80) != 0;
    status.signalMode = static_cast<std::uint8_t>(reply[24] & 0x07);
    return status;
}

}  // namespace

DecodedReply decodeReply(std::span<const std::uint8_t> reply) {
    if (reply.size() < 2) {
        return UnrecognisedReply{};
    }
    // The echo code alone picks the decoder, whatever query was sent last; a reply too short for its decoder's
    // bytes is treated like one with an unknown code rather than read past its end.
    const auto fits = [&](std::size_t needed) { return reply.size() >= needed; };
    switch (reply[1]) {
        case static_cast<std::uint8_t>(QueryCode::QueryLayout):
            if (fits(kLayoutReplyLength)) {
                return decodeLayout(reply);
            }
            break;
        case static_cast<std::uint8_t>(QueryCode::QueryColor1):
            if (fits(kColourReplyLength)) {
                return decodeColour(1, reply);
            }
            break;
        case static_cast<std::uint8_t>(QueryCode::QueryColor2):
            if (fits(kColourReplyLength)) {
                return decodeColour(2, reply);
            }
            break;
        case static_cast<std::uint8_t>(QueryCode::QueryRow1):
            if (fits(kRowReplyLength)) {
                return decodeRow(1, reply);
            }
            break;
        case static_cast<std::uint8_t>(QueryCode::QueryRow2):
            if (fits(kRowReplyLength)) {
                return decodeRow(2, reply);
            }
            break;
        case static_cast<std::uint8_t>(QueryCode::QueryStatus):
            if (fits(kStatusReplyLength)) {
                return decodeStatus(reply);
            }
            break;
        default:
            break;
    }
    return UnrecognisedReply{};
}

}  // namespace sw::protocol
