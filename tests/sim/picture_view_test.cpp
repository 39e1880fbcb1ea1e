// How the monitor fits the picture into its view, and the test pattern under the OSD.

#include "sim/picture_view.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <tuple>

#include "protocol/colour_palette.h"
#include "sim/test_pattern.h"
#include "tests/sim/display_printers.h"

namespace sw::sim {

namespace {

struct FitCase {
    const char* name;
    int viewWidth, viewHeight, pictureWidth, pictureHeight;
    PixelRect shown;
};
void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class FitPicture : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPicture, ScalesToFitKeepingTheAspectAndCentres) {
    const FitCase& c = GetParam();
    EXPECT_EQ(fitPicture(c.viewWidth, c.viewHeight, c.pictureWidth, c.pictureHeight).shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Views,
    FitPicture,
    ::testing::Values(FitCase{"WideIntoLowerViewBarsAboveAndBelow", 600, 400, 1280, 720, {0, 31, 600, 368}},
                      FitCase{"FourToThreeIntoWideViewBarsLeftAndRight", 800, 400, 1600, 1200, {133, 0, 666, 400}},
                      FitCase{"SameAspectFillsTheView", 640, 480, 640, 480, {0, 0, 640, 480}},
                      FitCase{"SmallPictureIsEnlarged", 400, 400, 100, 37, {0, 126, 400, 274}},
                      FitCase{"NoPictureShowsNothing", 400, 400, 0, 480, {}},
                      FitCase{"NoRoomShowsNothing", 0, 400, 720, 480, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureView, ThePicturesCornersLandOnTheShownRectsCorners) {
    const PictureView view = fitPicture(600, 400, 1280, 720);

    EXPECT_EQ(view.toView({0, 0, 1280, 720}), view.shown);
}

TEST(PictureView, ACellMapsProportionally) {
    // 1280 x 720 shown as 600 x 337 from (0, 31): scale 0.46875 across, 337/720 down.
    const PictureView view = fitPicture(600, 400, 1280, 720);

    EXPECT_EQ(view.toView({100, 50, 132, 82}), (PixelRect{46, 54, 61, 69}));
}

TEST(PictureView, AViewPixelLeadsBackToThePicturePixelItShows) {
    const PictureView view = fitPicture(600, 400, 1280, 720);

    for (int x : {0, 1, 99, 100, 639, 1279}) {
        const int viewX = view.toViewX(x);
        // The view pixel shows a picture pixel no farther than one view pixel's worth from x.
        EXPECT_LE(view.toPictureX(viewX), x);
        EXPECT_GT(view.toPictureX(viewX) + 3, x);
    }
}

TEST(TestPattern, SevenBarsCoverThePictureWithoutGapOrOverlap) {
    for (auto [width, height] : {std::tuple{1280, 720}, std::tuple{100, 37}, std::tuple{4095, 1}}) {
        const auto bars = colourBars(width, height);
        EXPECT_EQ(bars.front().area.left, 0);
        EXPECT_EQ(bars.back().area.right, width);
        for (std::size_t i = 1; i < bars.size(); ++i)
            EXPECT_EQ(bars[i].area.left, bars[i - 1].area.right);
        for (const ColourBar& bar : bars) {
            EXPECT_EQ(bar.area.top, 0);
            EXPECT_EQ(bar.area.bottom, height);
            EXPECT_GT(bar.area.width(), 0);
        }
    }
}

TEST(TestPattern, EveryBarHasItsOwnColour) {
    std::set<std::tuple<int, int, int>> colours;
    for (const ColourBar& bar : colourBars(1280, 720))
        colours.insert({bar.colour.red, bar.colour.green, bar.colour.blue});
    EXPECT_EQ(colours.size(), 7u);
}

TEST(TestPattern, NoBarLooksLikeAFullIntensityPaletteColour) {
    // A row in a bright palette colour must stand out from the picture under it.
    for (const auto& entry : protocol::ColourPalette) {
        const protocol::Rgb c = entry.colour;
        if (c.red != 255 && c.green != 255 && c.blue != 255)
            continue;
        for (const ColourBar& bar : colourBars(1280, 720))
            EXPECT_NE(bar.colour, c) << entry.name;
    }
}

TEST(TestPattern, ColourAtAPixelIsThatOfTheBarHoldingIt) {
    EXPECT_EQ(testPatternColour(0, 0, 1280, 720), (protocol::Rgb{191, 191, 191}));
    EXPECT_EQ(testPatternColour(1279, 719, 1280, 720), (protocol::Rgb{0, 0, 191}));
    EXPECT_EQ(testPatternColour(913, 10, 1280, 720), (protocol::Rgb{191, 0, 191}));  // bar 5 starts at 914
    EXPECT_EQ(testPatternColour(914, 10, 1280, 720), (protocol::Rgb{191, 0, 0}));
    EXPECT_EQ(testPatternColour(1280, 0, 1280, 720), (protocol::Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace sw::sim
