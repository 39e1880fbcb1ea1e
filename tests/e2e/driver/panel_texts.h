#pragma once
// What the panel's status line says after a connect, a read-back, a send and a live position change, as the panel
// holds it (Shift-JIS here too: the driver is compiled with the same execution character set).

namespace sw::e2e {

inline constexpr const char* kStatusCaption = "ステータス";
inline constexpr const char* kProductNotFound = "指定されたUSB製品が見つかりませんでした。";
inline constexpr const char* kOpenFailed = "ZEL-OT40は見つかりましたが接続に失敗しました。";
inline constexpr const char* kReportSizeFailed = "ZEL-OT40に接続しましたが、レポートサイズの取得に失敗しました。";
inline constexpr const char* kConnectedReceiving = "ZEL-OT40に接続しました。\n受信中...";
inline constexpr const char* kReceiving = "受信中...";
inline constexpr const char* kQuerySendFailed = "受信コマンド送信に失敗しました。接続しなおしてください。";
inline constexpr const char* kReceiveNotReady = "受信に失敗しました。接続しなおしてください。";
inline constexpr const char* kUnrecognisedReply = "受信に失敗しました。再度受信してください。";
inline constexpr const char* kSending = "送信中...";
inline constexpr const char* kSendFailed = "送信に失敗しました。接続しなおしてください。";
inline constexpr const char* kSent = "送信しました。";
inline constexpr const char* kSendMayHaveFailed = "送信に失敗した可能性があります。確認してください。";

}  // namespace sw::e2e
