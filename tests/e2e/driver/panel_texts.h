#pragma once
// What the panel's status line says after each outcome of a connect, as the panel holds it (Shift-JIS here too:
// the driver is compiled with the same execution character set).

namespace sw::e2e {

inline constexpr const char* kStatusCaption = "ステータス";
inline constexpr const char* kProductNotFound = "指定されたUSB製品が見つかりませんでした。";
inline constexpr const char* kOpenFailed = "ZEL-OT40は見つかりましたが接続に失敗しました。";
inline constexpr const char* kReportSizeFailed = "ZEL-OT40に接続しましたが、レポートサイズの取得に失敗しました。";
inline constexpr const char* kConnectedReceiving = "ZEL-OT40に接続しました。\n受信中...";

}  // namespace sw::e2e
