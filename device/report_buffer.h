#pragma once
// A zero-filled heap buffer of exactly one report, made for one exchange step and released when it ends.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

namespace sw::device {

class ReportBuffer {
public:
    // Where buffers come from; tests substitute a source that runs out of memory.
    using Source = std::unique_ptr<std::uint8_t[]> (*)(std::size_t);

    static std::unique_ptr<std::uint8_t[]> allocateZeroed(std::size_t size) {
        return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]());
    }

    ReportBuffer(std::size_t size, Source source) : data_(size > 0 ? source(size) : nullptr) {
        size_ = data_ ? size : 0;
        obtained_ = size == 0 || data_ != nullptr;
    }

    // False when memory for the report could not be obtained.
    bool obtained() const { return obtained_; }
    std::span<std::uint8_t> bytes() { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
    bool obtained_ = false;
};

}  // namespace sw::device
