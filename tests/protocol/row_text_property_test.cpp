// The text rule over random read-back rows and random operator edits (typing, deleting, typing over a selection,
// undo, cut and paste back, sound marks, the 16-byte limit), with the C library's code page 932 tables.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tests/protocol/cp932_reference.h"
#include "tests/protocol/row_edit_steps.h"

namespace sw::test {
namespace {

// The reference tables, remembered: iconv opens a converter for every character.
std::optional<std::string> encode(char32_t c) {
    static std::map<char32_t, std::optional<std::string>> known;
    const auto found = known.find(c);
    return found != known.end() ? found->second : known[c] = cp932FromCodePoint(c);
}
std::optional<char32_t> decode(std::string_view bytes) {
    static std::map<std::string, std::optional<char32_t>, std::less<>> known;
    const auto found = known.find(bytes);
    return found != known.end() ? found->second : known[std::string(bytes)] = codePointFromCp932(bytes);
}
const protocol::Cp932Codec kCodec{&encode, &decode};

TEST(RowTextProperty, EveryEditKeepsTheHeldBytesAndSendsWhatTheRowShows) {
    std::mt19937 random(20261208);
    const Choose choose = [&](std::size_t below) {
        return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
    };
    for (int rowNumber = 0; rowNumber < 600; ++rowNumber) {
        const protocol::RowCells cells = randomCells(choose);
        const auto faults = editRandomly(cells, 12, choose, kCodec);
        ASSERT_TRUE(faults.empty()) << "row " << rowNumber << " (cells " << protocol::cellsToHex(cells)
                                    << "): " << faults.front();
    }
}

}  // namespace
}  // namespace sw::test
