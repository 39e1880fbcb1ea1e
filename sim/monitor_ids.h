#pragma once
// The monitor window's title and control IDs, by which a test driver finds it and reads it.

namespace sw::sim {

inline constexpr wchar_t kMonitorTitle[] = L"ZEL-OT40 (simulated)";
inline constexpr char kMonitorTitleAnsi[] = "ZEL-OT40 (simulated)";

inline constexpr int kMonitorPictureId = 100;  // the picture view: the test pattern with the OSD over it
inline constexpr int kMonitorFormatId = 101;   // "1280×720 p" or "no signal", under the picture
inline constexpr int kMonitorSignalId = 102;
inline constexpr int kMonitorWidthId = 103;
inline constexpr int kMonitorHeightId = 104;
inline constexpr int kMonitorInterlacedId = 105;
inline constexpr int kMonitorPatternId = 106;
inline constexpr int kMonitorLateId = 107;
inline constexpr int kMonitorWrongEchoId = 108;
inline constexpr int kMonitorStalledId = 109;
inline constexpr int kMonitorUnpluggedId = 110;
inline constexpr int kMonitorStatusId = 111;
inline constexpr int kMonitorStallMidSendId = 112;

}  // namespace sw::sim
