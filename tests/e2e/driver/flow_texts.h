#pragma once
// What the status line says during and after the read-back, the send and a live position change, as the panel
// holds it (Shift-JIS: the driver is compiled with the same execution character set).

namespace sw::e2e {

inline constexpr const char* kReceiving = "受信中...";
inline constexpr const char* kQuerySendFailed = "受信コマンド送信に失敗しました。接続しなおしてください。";
inline constexpr const char* kReceiveNotReady = "受信に失敗しました。接続しなおしてください。";
inline constexpr const char* kUnrecognisedReply = "受信に失敗しました。再度受信してください。";
inline constexpr const char* kSending = "送信中...";
inline constexpr const char* kSendFailed = "送信に失敗しました。接続しなおしてください。";
inline constexpr const char* kSent = "送信しました。";
inline constexpr const char* kSendMayHaveFailed = "送信に失敗した可能性があります。確認してください。";

}  // namespace sw::e2e
