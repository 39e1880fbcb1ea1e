// Any bytes as a read-back row and a sequence of operator edits of it, through alignEdit and fitEdit: every edit must
// keep the device's bytes for what it held, stay within the 16-byte limit and send what the row shows.

#include <cstddef>
#include <cstdint>

#include "tests/protocol/row_edit_steps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    // The input's bytes make every choice; once they run out, every choice is the first.
    const sw::test::Choose choose = [&](std::size_t below) {
        const std::size_t value = at < size ? data[at] : 0;
        ++at;
        return value % below;
    };
    const sw::protocol::RowCells cells = sw::test::randomCells(choose);
    if (!sw::test::editRandomly(cells, 8, choose, sw::test::kRememberedCp932).empty())
        __builtin_trap();
    return 0;
}
