#pragma once
// The text rule over whole code page 932 tables, folded into two numbers: what every BMP code point typed alone
// becomes (its bytes, or "?" when it has none) and what every one- and two-byte code read back shows. The panel and
// the companion on Windows (the system's tables, under Wine) and the companion on Linux (iconv's) must give the same
// two numbers: one text, the same cells, on every platform.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "protocol/row_text.h"

namespace sw::test {

struct TableDigest {
    std::uint64_t typed = 0;
    std::uint64_t read = 0;
    bool operator==(const TableDigest&) const = default;
};

// Measured with glibc's CP932 and with Wine's code page 932 alike.
inline constexpr TableDigest kCp932TableDigest{0x25E9B32A0377A628ull, 0x04B42B9790BA5655ull};

namespace digest_detail {

// FNV-1a, 64 bits.
inline void fold(std::uint64_t& hash, std::string_view bytes) {
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3ull;
    }
}

inline std::string line(std::string_view key, const protocol::PieceText& pieces) {
    std::string text(key);
    for (const protocol::TextPiece& piece : pieces) {
        char part[32];
        std::snprintf(part, sizeof part, " U+%04X:", static_cast<unsigned>(piece.shown.empty() ? 0 : piece.shown[0]));
        text += part;
        for (const char byte : piece.bytes) {
            std::snprintf(part, sizeof part, "%02X", static_cast<unsigned char>(byte));
            text += part;
        }
    }
    return text + "\n";
}

}  // namespace digest_detail

// With SW_TEXT_TABLE_DUMP set, every line also goes to that file, to find where two platforms part.
inline TableDigest digestTables(const protocol::Cp932Codec& codec) {
    using digest_detail::fold;
    using digest_detail::line;
    std::FILE* dump = std::getenv("SW_TEXT_TABLE_DUMP") ? std::fopen(std::getenv("SW_TEXT_TABLE_DUMP"), "w") : nullptr;
    TableDigest digest{0xCBF29CE484222325ull, 0xCBF29CE484222325ull};
    char key[16];
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        std::snprintf(key, sizeof key, "U+%04X", static_cast<unsigned>(c));
        const std::string typed = line(key, protocol::piecesFromTyping(std::u32string(1, c), codec));
        fold(digest.typed, typed);
        if (dump)
            std::fputs(typed.c_str(), dump);
    }
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0x100; ++second) {
            std::string bytes(1, static_cast<char>(first));
            if (second <= 0xFF)
                bytes.push_back(static_cast<char>(second));
            else if (first == 0)
                continue;
            std::snprintf(key, sizeof key, second <= 0xFF ? "%02X%02X" : "%02X", first, second);
            const std::string read = line(key, protocol::piecesFromBytes(bytes, codec));
            fold(digest.read, read);
            if (dump)
                std::fputs(read.c_str(), dump);
        }
    }
    if (dump)
        std::fclose(dump);
    return digest;
}

}  // namespace sw::test
