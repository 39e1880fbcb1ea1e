// Any input report of up to 128 bytes, decoded and carried through everything a read-back does with it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"
#include "protocol/text_cells.h"

namespace {

constexpr std::size_t kLongestReply = 128;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sw::protocol;
    if (size > kLongestReply) {
        return -1;
    }
    const std::span<const std::uint8_t> reply(data, size);
    const DecodedReply decoded = decodeReply(reply);

    if (const auto* row = std::get_if<RowReply>(&decoded)) {
        if (row->cellCount < 0 || row->cellCount > 16 || row->text.size() > 32 ||
            row->text.find('\0') != std::string::npos || row->text != decodeRowCells(reply) ||
            row->cellCount != countRowCells(reply)) {
            __builtin_trap();
        }
        std::string combined;
        appendToCombinedText(combined, row->row, row->text);
    } else if (const auto* status = std::get_if<StatusReply>(&decoded)) {
        const SignalFormat format = resolveSignalFormat(*status);
        if (status->osdPattern < 1 || status->osdPattern > 4 || format.width > 4095 || format.height > 4095) {
            __builtin_trap();
        }
        // Other reply bytes stand in for the layout and cell counts of the same pass.
        const auto at = [&](std::size_t i) { return i < size ? int{data[i]} : 0; };
        const TextBlock block = {at(3) << 4, at(5) << 4, at(9) & 3, at(10) % 17, at(11) % 17};
        (void)checkTextRange(format, block);
        (void)buildStatusText(*status, block);
        (void)buildStatusText(*status, std::nullopt);
    }
    return 0;
}
