// The text rule over random read-back rows and random operator edits (typing, deleting, typing over a selection,
// undo, cut and paste back, sound marks, the 16-byte limit), with the C library's code page 932 tables.

#include <gtest/gtest.h>

#include <random>

#include "tests/protocol/row_edit_steps.h"

namespace sw::test {
namespace {

TEST(RowTextProperty, EveryEditKeepsTheHeldBytesAndSendsWhatTheRowShows) {
    std::mt19937 random(20261208);
    const Choose choose = [&](std::size_t below) {
        return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
    };
    for (int rowNumber = 0; rowNumber < 1000; ++rowNumber) {
        const protocol::RowCells cells = randomCells(choose);
        ASSERT_EQ(editRandomly(cells, 12, choose, kRememberedCp932), "") << "cells " << protocol::cellsToHex(cells);
    }
}

}  // namespace
}  // namespace sw::test
