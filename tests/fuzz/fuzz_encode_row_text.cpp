// Any bytes as a row's text, in a buffer of exactly their size so that a read past the text is caught.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "protocol/row_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sw::protocol;
    const auto text = std::make_unique<std::uint8_t[]>(size);
    if (size > 0) {
        std::memcpy(text.get(), data, size);
    }
    const EncodedRow row = encodeRowText(std::span<const std::uint8_t>(text.get(), size));
    if (row.length % 2 != 0 || row.length > kRowCellBytes) {
        __builtin_trap();
    }
    return 0;
}
