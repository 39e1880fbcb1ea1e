// The monitor's picture of the OSD block against what the panel computes from the device's replies: the cell and
// row geometry per size, clipping at the picture's edges, and agreement with the range warning.

#include "sim/osd_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "protocol/command_codes.h"
#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"
#include "tests/sim/display_printers.h"
#include "tests/sim/sim_test_support.h"

namespace sw::sim {

namespace {

// Full-width "Ａ", "Ｂ", ... as the panel's row encoder sends letters.
RowCells fullWidthLetters(int count) {
    RowCells row{};
    for (int k = 0; k < count; ++k) {
        row[2 * k] = 0x82;
        row[2 * k + 1] = static_cast<std::uint8_t>(0x60 + k);
    }
    return row;
}

Ot40Settings settingsAt(int h, int v, int sizeIndex, const RowCells& row1, const RowCells& row2) {
    Ot40Settings s;
    s.hPosition = static_cast<std::uint16_t>(h);
    s.vPosition = static_cast<std::uint16_t>(v);
    s.sizeIndex = static_cast<std::uint8_t>(sizeIndex);
    s.row1 = row1;
    s.row2 = row2;
    return s;
}

protocol::SignalFormat format(int width, int height) {
    return {true, width, height, false};
}

// --- geometry per size ---

struct SizeCase {
    int sizeIndex;
    PixelRect row1ThirdCell;  // row 1 holds three cells, row 2 two; the block starts at (100, 50)
    PixelRect row2Band;
    PixelRect extent;
};
void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << "x" << c.sizeIndex + 1;
}

class CellGeometry : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CellGeometry, CellsAre16TimesMSquareAndRowTwoStarts20TimesMBelowRowOne) {
    const SizeCase& c = GetParam();
    const OsdLayout layout =
        layOutOsd(settingsAt(100, 50, c.sizeIndex, fullWidthLetters(3), fullWidthLetters(2)), format(1920, 1080));

    EXPECT_EQ(layout.multiplier, c.sizeIndex + 1);
    ASSERT_EQ(layout.rows[0].cells.size(), 3u);
    ASSERT_EQ(layout.rows[1].cells.size(), 2u);
    EXPECT_EQ(layout.rows[0].cells[2].box, c.row1ThirdCell);
    EXPECT_EQ(layout.rows[1].band, c.row2Band);
    EXPECT_EQ(layout.extent, c.extent);
    // Cells follow one another without gaps, on one line per row.
    for (const OsdRow& row : layout.rows) {
        for (std::size_t k = 1; k < row.cells.size(); ++k) {
            EXPECT_EQ(row.cells[k].box.left, row.cells[k - 1].box.right);
            EXPECT_EQ(row.cells[k].box.top, row.cells[k - 1].box.top);
        }
    }
    EXPECT_FALSE(layout.clipped());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes,
    CellGeometry,
    ::testing::Values(SizeCase{0, {132, 50, 148, 66}, {100, 70, 132, 86}, {100, 50, 148, 86}},
                      SizeCase{1, {164, 50, 196, 82}, {100, 90, 164, 122}, {100, 50, 196, 122}},
                      SizeCase{2, {196, 50, 244, 98}, {100, 110, 196, 158}, {100, 50, 244, 158}},
                      SizeCase{3, {228, 50, 292, 114}, {100, 130, 228, 194}, {100, 50, 292, 194}}));

TEST(OsdLayout, BlankCellsKeepTheirPlaceInTheRow) {
    RowCells row{};
    row[1] = 'A';  // cell 0
    row[5] = 'B';  // cell 2; cell 1 is blank
    const OsdLayout layout = layOutOsd(settingsAt(0, 0, 0, row, {}), format(720, 480));

    ASSERT_EQ(layout.rows[0].cellCount, 3);
    EXPECT_FALSE(layout.rows[0].cells[1].showsCharacter());
    EXPECT_EQ(layout.rows[0].cells[2].box, (PixelRect{32, 0, 48, 16}));
    EXPECT_EQ(layout.rows[0].cells[2].second, 'B');
}

TEST(OsdLayout, ALeadByteWithoutItsTrailAfterTheLastCharacterDoesNotWidenTheRow) {
    RowCells row = fullWidthLetters(2);
    row[4] = 0x82;  // cell 2: lead byte, no trail
    const OsdLayout layout = layOutOsd(settingsAt(0, 0, 0, row, {}), format(720, 480));

    EXPECT_EQ(layout.rows[0].cellCount, 2);
    EXPECT_EQ(layout.rows[0].band, (PixelRect{0, 0, 32, 16}));
}

TEST(OsdLayout, RowTwoAloneStillReachesDownFromTheBlocksTop) {
    const OsdLayout layout = layOutOsd(settingsAt(10, 20, 1, {}, fullWidthLetters(4)), format(720, 480));

    EXPECT_TRUE(layout.rows[0].band.empty());
    EXPECT_EQ(layout.rows[1].band, (PixelRect{10, 60, 138, 92}));
    EXPECT_EQ(layout.extent, (PixelRect{10, 20, 138, 92}));
}

TEST(OsdLayout, AnEmptyBlockIsOnlyItsCorner) {
    const OsdLayout layout = layOutOsd(settingsAt(300, 200, 3, {}, {}), format(720, 480));

    EXPECT_TRUE(layout.rows[0].cells.empty());
    EXPECT_TRUE(layout.rows[1].cells.empty());
    EXPECT_EQ(layout.extent, (PixelRect{300, 200, 300, 200}));
    EXPECT_FALSE(layout.reachesBeyondPicture());
}

TEST(OsdLayout, EachRowTakesItsOwnPaletteColour) {
    Ot40Settings s = settingsAt(0, 0, 0, fullWidthLetters(1), fullWidthLetters(1));
    s.colour1 = 12;  // 赤
    s.colour2 = 9;   // 青
    const OsdLayout layout = layOutOsd(s, format(720, 480));

    EXPECT_EQ(layout.rows[0].colour, (protocol::Rgb{255, 0, 0}));
    EXPECT_EQ(layout.rows[1].colour, (protocol::Rgb{0, 0, 255}));
}

// --- clipping ---

TEST(OsdClipping, ACellAcrossTheRightEdgeKeepsOnlyItsPartInsideThePicture) {
    const OsdLayout layout = layOutOsd(settingsAt(700, 50, 0, fullWidthLetters(3), {}), format(720, 480));

    const auto& cells = layout.rows[0].cells;
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].visible, cells[0].box);
    EXPECT_EQ(cells[1].box, (PixelRect{716, 50, 732, 66}));
    EXPECT_EQ(cells[1].visible, (PixelRect{716, 50, 720, 66}));
    EXPECT_TRUE(cells[2].visible.empty());
    EXPECT_EQ(layout.rows[0].visibleBand, (PixelRect{700, 50, 720, 66}));
    EXPECT_TRUE(layout.clipped());
}

TEST(OsdClipping, RowTwoBelowTheBottomEdgeIsGoneWhileRowOneIsCut) {
    const OsdLayout layout =
        layOutOsd(settingsAt(0, 470, 0, fullWidthLetters(1), fullWidthLetters(1)), format(720, 480));

    EXPECT_EQ(layout.rows[0].cells[0].visible, (PixelRect{0, 470, 16, 480}));
    EXPECT_TRUE(layout.rows[1].cells[0].visible.empty());
    EXPECT_TRUE(layout.rows[1].visibleBand.empty());
}

TEST(OsdClipping, ABlockEndingExactlyOnTheEdgesIsWhole) {
    // Ten cells from 560 end at 720; one row at 464 ends at 480.
    const OsdLayout layout = layOutOsd(settingsAt(560, 464, 0, fullWidthLetters(10), {}), format(720, 480));

    EXPECT_EQ(layout.extent, (PixelRect{560, 464, 720, 480}));
    EXPECT_FALSE(layout.clipped());
    EXPECT_FALSE(layout.reachesBeyondPicture());
}

TEST(OsdClipping, WithoutASignalNothingOfTheBlockIsVisible) {
    const OsdLayout layout = layOutOsd(settingsAt(0, 0, 0, fullWidthLetters(2), {}), protocol::SignalFormat{});

    EXPECT_TRUE(layout.picture.empty());
    EXPECT_TRUE(layout.rows[0].cells[0].visible.empty());
    EXPECT_TRUE(layout.clipped());
}

// --- the picture and the block as the panel sees them through the device's replies ---

// The reply the model gives to one query, decoded as the panel decodes it.
protocol::DecodedReply ask(Ot40Model& model, protocol::QueryCode code) {
    model.receive(test::command(static_cast<std::uint8_t>(code)), 0);
    const auto reply = model.takeReply(1'000'000);
    EXPECT_TRUE(reply.has_value());
    return protocol::decodeReply(reply.value_or(std::vector<std::uint8_t>{}));
}

protocol::SignalFormat panelFormat(Ot40Model& model) {
    const auto decoded = ask(model, protocol::QueryCode::QueryStatus);
    return protocol::resolveSignalFormat(std::get<protocol::StatusReply>(decoded));
}

// What the panel's range check decides after a read-back of the model.
bool panelWarns(Ot40Model& model) {
    const auto layout = std::get<protocol::LayoutReply>(ask(model, protocol::QueryCode::QueryLayout));
    const auto row1 = std::get<protocol::RowReply>(ask(model, protocol::QueryCode::QueryRow1));
    const auto row2 = std::get<protocol::RowReply>(ask(model, protocol::QueryCode::QueryRow2));
    const protocol::TextBlock block{layout.hPosition, layout.vPosition, layout.sizeIndex, row1.cellCount,
                                    row2.cellCount};
    return protocol::checkTextRange(panelFormat(model), block);
}

InputSignal modeSignal(int mode) {
    InputSignal s;
    s.signalMode = static_cast<std::uint8_t>(mode);
    return s;
}

InputSignal explicitSignal(int width, int height, bool interlaced, int mode = 0) {
    InputSignal s;
    s.signalMode = static_cast<std::uint8_t>(mode);
    s.explicitResolution = true;
    s.width = static_cast<std::uint16_t>(width);
    s.height = static_cast<std::uint16_t>(height);
    s.interlaced = interlaced;
    return s;
}

TEST(PictureFormat, IsTheFormatThePanelDecodesFromTheStatusReply) {
    const std::vector<InputSignal> signals = {
        modeSignal(1),
        modeSignal(4),
        modeSignal(5),
        modeSignal(7),
        explicitSignal(720, 480, true),
        explicitSignal(1280, 720, false, 3),  // the mode wins
        explicitSignal(4095, 1, false),
        explicitSignal(0, 0, false),
        modeSignal(0),  // unresolved
    };
    for (const InputSignal& signal : signals) {
        Ot40Model model;
        model.setSignal(signal);
        EXPECT_EQ(pictureFormat(signal), panelFormat(model))
            << "mode " << int(signal.signalMode) << " explicit " << signal.explicitResolution << " " << signal.width
            << "x" << signal.height;
    }
}

TEST(PictureFormat, OnlyAResolvedFormatWithPixelsHasAPicture) {
    EXPECT_TRUE(hasPicture(pictureFormat(modeSignal(2))));
    EXPECT_FALSE(hasPicture(pictureFormat(modeSignal(0))));
    EXPECT_FALSE(hasPicture(pictureFormat(explicitSignal(0, 480, false))));
    EXPECT_FALSE(hasPicture(pictureFormat(explicitSignal(720, 0, false))));
}

// Cells 0..count-1 with the last one showing a character, blanks in between, and a lead byte without its trail
// after the last: the row reaches exactly `count` cells by the panel's rule.
RowCells rowOfCount(int count) {
    RowCells row{};
    for (int k = 0; k < count; ++k) {
        if (k % 3 == 1 && k != count - 1)
            continue;  // blank
        row[2 * k] = 0x82;
        row[2 * k + 1] = static_cast<std::uint8_t>(0x60 + k);
    }
    if (count < 16)
        row[2 * count] = 0x82;
    return row;
}

// Positions that put the block's far edge just before, on and just past the picture's edge, plus both ends of the
// range.
std::vector<int> positionsAround(int edge, int blockExtent) {
    std::vector<int> positions = {0, 2047, 4095};
    for (int delta : {-2, -1, 0, 1, 2}) {
        const int p = edge - blockExtent + delta;
        if (p >= 0 && p <= 4095)
            positions.push_back(p);
    }
    return positions;
}

struct AgreementCounts {
    int cases = 0;
    int warnings = 0;
};

TEST(RangeAgreement, TheBlockReachesBeyondThePictureExactlyWhenThePanelWarns) {
    const std::vector<InputSignal> signals = {modeSignal(1),
                                              modeSignal(2),
                                              modeSignal(4),
                                              modeSignal(7),
                                              explicitSignal(100, 37, false),
                                              explicitSignal(0, 0, false)};
    const int counts[] = {0, 1, 5, 16};
    AgreementCounts seen;
    for (const InputSignal& signal : signals) {
        const protocol::SignalFormat picture = pictureFormat(signal);
        for (int sizeIndex = 0; sizeIndex < 4; ++sizeIndex) {
            const int m = sizeIndex + 1;
            for (int p : counts) {
                for (int q : counts) {
                    const int width = 16 * m * std::max(p, q);
                    const int height = q > 0 ? 36 * m : (p > 0 ? 16 * m : 0);
                    for (int h : positionsAround(picture.width, width)) {
                        for (int v : positionsAround(picture.height, height)) {
                            Ot40Model model;
                            model.setSignal(signal);
                            model.setSettings(settingsAt(h, v, sizeIndex, rowOfCount(p), rowOfCount(q)));
                            const bool warns = panelWarns(model);
                            const OsdLayout layout = layOutOsd(model.settings(), picture);
                            ASSERT_EQ(layout.reachesBeyondPicture(), warns)
                                << picture.width << "x" << picture.height << " H " << h << " V " << v << " x" << m
                                << " cells " << p << "/" << q;
                            // A block with cells is cut exactly when the panel warns.
                            if (p > 0 || q > 0) {
                                ASSERT_EQ(layout.clipped(), warns)
                                    << picture.width << "x" << picture.height << " H " << h << " V " << v << " x" << m
                                    << " cells " << p << "/" << q;
                            }
                            ++seen.cases;
                            seen.warnings += warns ? 1 : 0;
                        }
                    }
                }
            }
        }
    }
    // The table must hold both outcomes in good number, or it proves little.
    EXPECT_GT(seen.warnings, seen.cases / 10);
    EXPECT_LT(seen.warnings, seen.cases - seen.cases / 10);
}

}  // namespace
}  // namespace sw::sim
