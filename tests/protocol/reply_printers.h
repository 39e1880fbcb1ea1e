#pragma once
// Readable failure messages for the decoded replies.

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "protocol/reply_decoder.h"
#include "protocol/signal_format.h"

namespace sw::protocol {

inline void PrintTo(const UnrecognisedReply&, std::ostream* os) {
    *os << "Unrecognised";
}
inline void PrintTo(const LayoutReply& r, std::ostream* os) {
    *os << "Layout{h=" << r.hPosition << " v=" << r.vPosition << " size=" << int{r.sizeIndex}
        << " halftone=" << r.halftone << "}";
}
inline void PrintTo(const ColourReply& r, std::ostream* os) {
    *os << "Colour{" << r.colour << " index=" << int{r.colourIndex} << "}";
}
// A row reply's 16 cells from their bytes (the rest zero).
inline RowCells cellBytes(std::string_view bytes) {
    RowCells cells{};
    std::copy(bytes.begin(), bytes.end(), cells.begin());
    return cells;
}
inline void PrintTo(const RowReply& r, std::ostream* os) {
    *os << "Row{" << r.row << " textBytes=" << r.text.size() << " cells=" << r.cellCount << "}";
}
inline void PrintTo(const StatusReply& r, std::ostream* os) {
    *os << "Status{pattern=" << r.osdPattern << " explicit=" << r.explicitResolution << " " << r.explicitWidth << "x"
        << r.explicitHeight << (r.explicitInterlaced ? "i" : "p") << " mode=" << int{r.signalMode} << "}";
}
inline void PrintTo(const DecodedReply& r, std::ostream* os) {
    std::visit([os](const auto& alt) { PrintTo(alt, os); }, r);
}
inline void PrintTo(const SignalFormat& f, std::ostream* os) {
    *os << (f.resolved ? "" : "unresolved ") << f.width << "x" << f.height << (f.interlaced ? "i" : "p");
}

}  // namespace sw::protocol
