// The text rule with the C library's code page 932 tables: what reaches the device's cells from typed text, from
// read-back bytes, and from a read-back row that the operator edits.

#include "protocol/row_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/row_encoder.h"
#include "tests/protocol/cp932_reference.h"

namespace sw::protocol {
namespace {

const Cp932Codec kCodec{&test::cp932FromCodePoint, &test::codePointFromCp932};

std::string cellsOf(const std::string& bytes) {
    const EncodedRow row = encodeRowText({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return {row.bytes.begin(), row.bytes.begin() + static_cast<std::ptrdiff_t>(row.length)};
}

struct TypingCase {
    const char* name;
    std::u32string_view typed;
    std::string_view cells;              // what the device gets
    std::optional<std::size_t> refused;  // the first piece that cannot reach the device as itself
    std::u32string_view shows = {};      // what the row shows, when that is not what was typed
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << c.name;
}

class TypedTextTest : public testing::TestWithParam<TypingCase> {};

TEST_P(TypedTextTest, ReachesTheCells) {
    const PieceText pieces = piecesFromTyping(GetParam().typed, kCodec);
    EXPECT_EQ(cellsOf(joinBytes(pieces)), GetParam().cells);
    EXPECT_EQ(firstPieceNotReachingDevice(pieces), GetParam().refused);
    EXPECT_EQ(joinShown(pieces), GetParam().shows.empty() ? GetParam().typed : GetParam().shows)
        << "the operator's own characters stay on screen, but for the \"?\" sent for those the code page lacks";
}

INSTANTIATE_TEST_SUITE_P(
    Typing,
    TypedTextTest,
    testing::Values(
        TypingCase{"AsciiWidens", U"A~", "\x82\x60\x81\x60", std::nullopt},
        // The JIS-style forms that Macs, the web and Linux write are the code page's own characters.
        TypingCase{"WaveDash", U"10\u301C12", "\x82\x50\x82\x4F\x81\x60\x82\x50\x82\x51", std::nullopt},
        TypingCase{"JisStyleSymbols", U"\u00A2\u00A3\u00AC\u2016\u2212\u2014",
                   "\x81\x91\x81\x92\x81\xCA\x81\x61\x81\x7C\x81\x5C", std::nullopt},
        TypingCase{"DecomposedKanaCompose", U"\u30AB\u3099\u306F\u309A", "\x83\x4B\x82\xCF", std::nullopt},
        TypingCase{"HalfwidthVoicedPairIsOneCell", U"\uFF76\uFF9E", "\x83\x4B", std::nullopt},
        // Typed anew, an extension-row character gets the system's canonical code, which the row encoding blanks.
        TypingCase{"ExtensionCharacterTypedAnew", U"\u9AD9", std::string_view("\x00\x20", 2), 0},
        TypingCase{"MarkWithoutAPrecomposedKana", U"A\u3099", std::string_view("\x82\x60\x81\x48", 4), 1, U"A?"},
        TypingCase{"Unmappable", U"a\U0001F600", "\x82\x81\x81\x48", 1, U"a?"},
        // Invisible characters the code page lacks are shown as the "?" that goes out for them.
        TypingCase{"InvisibleUnmappable", U"A\u00A0B\u200B\uFEFF", "\x82\x60\x81\x48\x82\x61\x81\x48\x81\x48", 1,
                   U"A?B??"},
        // The JIS-Roman yen sign and overline give the cells of ￥ and ￣ on every platform (glibc would encode them
        // as 5C and 7E, which come back as the backslash and the tilde).
        TypingCase{"YenSignAndOverline", U"\u00A5\u203E\uFFE5\uFFE3", "\x81\x8F\x81\x50\x81\x8F\x81\x50", std::nullopt},
        TypingCase{"ControlCharacter", U"A\tB", std::string_view("\x82\x60\x00\x00\x82\x61", 6), 1}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

struct EditCase {
    const char* name;
    std::string_view readBack;               // what the program set
    std::vector<std::u32string_view> edits;  // what the operator left in the edit, one change after the other
    std::string_view cells;
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditedReadBackTest : public testing::TestWithParam<EditCase> {};

// Each change within the row's 16 bytes, as the panel's edit takes it.
TEST_P(EditedReadBackTest, KeepsTheDeviceBytesOfEveryCharacterItHeld) {
    EditedRow row = rowFromDevice(GetParam().readBack, kCodec);
    for (const std::u32string_view edited : GetParam().edits) {
        PieceEdit edit = alignEdit(row, edited, kCodec);
        fitEdit(row.pieces, edit, 16);
        applyEdit(row, edit);
    }
    EXPECT_EQ(cellsOf(joinBytes(row.pieces)), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Edits,
    EditedReadBackTest,
    testing::Values(
        // 髙橋 as the device holds it (NEC-selected row EE): the system would give 髙 back as FB FC, a blank cell.
        EditCase{"UnchangedExtensionRowKanji", "\xEE\xE0\x8B\xB4", {U"髙橋"}, "\xEE\xE0\x8B\xB4"},
        EditCase{"LetterAddedAfterIt", "\xEE\xE0\x8B\xB4", {U"髙橋A"}, "\xEE\xE0\x8B\xB4\x82\x60"},
        EditCase{"LetterAddedBeforeIt", "\xEE\xE0\x8B\xB4", {U"A髙橋"}, "\x82\x60\xEE\xE0\x8B\xB4"},
        EditCase{"NeighbourReplaced", "\xED\x40\xEE\xEF\x8B\xB4", {U"\u7E8A\u2170X"}, "\xED\x40\xEE\xEF\x82\x77"},
        // A lead byte without its trail is no character: shown as U+FFFD with its follower, kept while it is left.
        EditCase{"LeadWithoutTrailKept", "\x81 A", {U"\uFFFDAB"}, std::string_view("\x00\x00\x82\x60\x82\x61", 6)},
        // Cells 82 60 | 00 81: the lone lead byte stays one (empty) cell of its own, whatever is typed after it.
        EditCase{"LoneLeadByteTakesNoKeystroke",
                 "\x82\x60\x81",
                 {U"Ａ\uFFFDB"},
                 std::string_view("\x82\x60\x00\x00\x82\x61", 6)},
        EditCase{"SoundMarkTypedAfterAKeptKana", "\x82\xA9", {U"\u304B\u3099"}, "\x82\xAA"},
        // After a kanji the mark composes with nothing: it is a character of its own, and 髙 keeps its bytes.
        EditCase{"SoundMarkAfterAKeptKanji", "\xEE\xE0\x8B\xB4", {U"髙\u3099橋"}, "\xEE\xE0\x81\x48\x8B\xB4"},
        EditCase{"SoundMarkRefusedAtTheLimit",
                 "\xEE\xE0\x8B\xB4"
                 "ABCDEFGHIJKL",
                 {U"髙\u3099橋ABCDEFGHIJKL"},
                 "\xEE\xE0\x8B\xB4\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67\x82\x68\x82\x69"
                 "\x82\x6A\x82\x6B"},
        // A kana that a refused mark would have joined stays, in a text the program set beyond the limit.
        EditCase{"SoundMarkRefusedAfterAKanaBeyondTheLimit",
                 "\x82\xA9\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF",
                 {U"か\u3099漢漢漢漢漢漢漢漢"},
                 "\x82\xA9\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF\x8A\xBF"},
        // However a character the device held comes back, it comes back with the device's bytes.
        EditCase{"UndoneAfterSelectAllAndTyping", "\xEE\xE0\x8B\xB4", {U"X", U"髙橋"}, "\xEE\xE0\x8B\xB4"},
        EditCase{"CutAndPastedBack", "\xEE\xE0\x8B\xB4", {U"橋", U"橋髙"}, "\x8B\xB4\xEE\xE0"},
        EditCase{"DeletedAndTypedAgain", "\xEE\xE0\x8B\xB4", {U"橋", U"髙橋"}, "\xEE\xE0\x8B\xB4"},
        // The device held one 髙: a second one typed is new (and blank on the device), until the first goes.
        EditCase{"TypedTwiceWhereTheDeviceHeldOne",
                 "\xEE\xE0\x8B\xB4",
                 {U"髙橋髙"},
                 std::string_view("\xEE\xE0\x8B\xB4\x00\x20", 6)},
        EditCase{"TheHeldOneGoesToTheOneLeft", "\xEE\xE0\x8B\xB4", {U"髙橋髙", U"橋髙"}, "\x8B\xB4\xEE\xE0"}),
    [](const testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(ReadBackPieces, BytesThatAreNoTextShowAsNotACharacterKeepTheirBytesAndAreRefused) {
    const PieceText pieces = piecesFromBytes(std::string_view("\x81\x20\x07\x85\x40\xFF", 6), kCodec);
    EXPECT_EQ(joinShown(pieces), U"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(joinBytes(pieces), std::string_view("\x81\x20\x07\x85\x40\xFF", 6));
    for (const TextPiece& piece : pieces)
        EXPECT_EQ(firstPieceNotReachingDevice({piece}), 0u) << "an unassigned code such as 85 40 too";
}

// Of two pieces that show alike, the one removed is the one the operator removed: the change ended at the caret.
TEST(ReadBackPieces, TheCaretTellsWhichOfTwoLikePiecesWasRemoved) {
    const EditedRow row = rowFromDevice(std::string_view("\x81\x20\x07", 3), kCodec);
    for (const auto& [caret, left] : {std::pair<std::size_t, std::string_view>(0, "\x07"), {1, "\x81\x20"}}) {
        EditedRow edited = row;
        applyEdit(edited, alignEdit(edited, U"\uFFFD", kCodec, caret));
        EXPECT_EQ(joinBytes(edited.pieces), left) << "caret " << caret;
    }
}

struct FitCase {
    const char* name;
    std::u32string_view before;
    std::u32string_view after;
    std::optional<std::u32string_view> fitted;  // none: the change stands as it is
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class TypingLimitTest : public testing::TestWithParam<FitCase> {};

TEST_P(TypingLimitTest, KeepsTheRowWithinSixteenBytes) {
    const FitCase& c = GetParam();
    EditedRow row{piecesFromTyping(c.before, kCodec), {}};
    PieceEdit edit = alignEdit(row, c.after, kCodec);
    ASSERT_EQ(fitEdit(row.pieces, edit, 16), c.fitted.has_value());
    if (c.fitted) {
        applyEdit(row, edit);
        EXPECT_EQ(joinShown(row.pieces), *c.fitted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Typing,
    TypingLimitTest,
    testing::Values(
        FitCase{"SixteenSingleBytesFit", U"ABCDEFGHIJKLMNO", U"ABCDEFGHIJKLMNOP", std::nullopt},
        FitCase{"EightKanjiFit", U"漢漢漢漢漢漢漢", U"漢漢漢漢漢漢漢漢", std::nullopt},
        FitCase{"ASeventeenthByteIsRefused", U"ABCDEFGHIJKLMNOP", U"ABCDEFGHIJKLMNOPQ", U"ABCDEFGHIJKLMNOP"},
        // 15 bytes: a kanji would end at byte 17, so it is refused whole, also in the middle.
        FitCase{"AKanjiAcrossTheLimitIsRefusedWhole", U"ABCDEFGHIJKLMNO", U"ABC漢DEFGHIJKLMNO", U"ABCDEFGHIJKLMNO"},
        // A paste keeps what fits, up to the first character that would pass the limit.
        FitCase{"APasteIsCutAtTheLastWholeCharacter", U"ABCDEFGHIJ", U"ABCDEFGHIJｶﾞ漢字漢", U"ABCDEFGHIJｶﾞ漢字"},
        FitCase{"APasteOverASelectionReplacesIt", U"漢字漢字漢字漢字", U"漢0123456789ABCDEFGH", U"漢0123456789ABCD"},
        // A character outside the BMP is one "?" on the wire: one byte.
        FitCase{"AnEmojiCountsAsOneByte", U"ABCDEFGHIJKLMN", U"ABCDEFGHIJKLMN\U0001F600\U0001F600\U0001F600",
                U"ABCDEFGHIJKLMN??"},
        // Text the program set beyond the limit is not cut: deleting from it stands, typing into it is refused.
        FitCase{"DeletingFromAnOverlongTextStands", U"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢",
                U"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢", std::nullopt},
        FitCase{"TypingIntoAnOverlongTextIsRefused", U"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢",
                U"漢漢漢漢漢漢漢漢A漢漢漢漢漢漢漢漢", U"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢"}),
    [](const testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::protocol
