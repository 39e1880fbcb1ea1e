#pragma once
// The text rule over whole code page 932 tables, folded into two numbers: what every BMP code point typed alone
// becomes (its bytes, or "?" when it has none) and what every one- and two-byte code read back shows. The panel and
// the companion on Windows (the system's tables, under Wine) and the companion on Linux (iconv's) must give the same
// two numbers: one text, the same cells, on every platform.

#include <cstdint>
#include <string>

#include "protocol/row_text.h"

namespace sw::test {

struct TableDigest {
    std::uint64_t typed = 0xCBF29CE484222325ull;
    std::uint64_t read = 0xCBF29CE484222325ull;
    bool operator==(const TableDigest&) const = default;
};

// Measured with glibc's CP932 and with Wine's code page 932 alike.
inline constexpr TableDigest kCp932TableDigest{0xF2269850BDE6E4E9ull, 0xB0DC14AFA8579AE5ull};

// FNV-1a over what `key` gives: each piece's first shown code point and its bytes.
inline void fold(std::uint64_t& hash, std::string_view key, const protocol::PieceText& pieces) {
    std::string line(key);
    for (const protocol::TextPiece& piece : pieces)
        line += std::to_string(piece.shown.empty() ? 0 : piece.shown[0]) + ":" + piece.bytes + ";";
    for (const char byte : line) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3ull;
    }
}

inline TableDigest digestTables(const protocol::Cp932Codec& codec) {
    TableDigest digest;
    for (char32_t c = 0; c <= 0xFFFF; ++c)
        fold(digest.typed, std::to_string(c), protocol::piecesFromTyping(std::u32string(1, c), codec));
    for (unsigned first = 0; first <= 0xFF; ++first) {
        const std::string one(1, static_cast<char>(first));
        fold(digest.read, one, protocol::piecesFromBytes(one, codec));
        for (unsigned second = 0; second <= 0xFF; ++second)
            fold(digest.read, one + static_cast<char>(second),
                 protocol::piecesFromBytes(one + static_cast<char>(second), codec));
    }
    return digest;
}

}  // namespace sw::test
