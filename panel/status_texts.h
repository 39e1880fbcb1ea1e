#pragma once
// The status line's fixed sentences (Shift-JIS in the binary). "%s" stands for the model name.

namespace sw::panel::text {

inline constexpr char kProductNotFound[] = "指定されたUSB製品が見つかりませんでした。";
inline constexpr char kOpenFailed[] = "%sは見つかりましたが接続に失敗しました。";
inline constexpr char kReportLengthsFailed[] = "%sに接続しましたが、レポートサイズの取得に失敗しました。";
inline constexpr char kConnectedReceiving[] = "%sに接続しました。\n受信中...";
inline constexpr char kReceiving[] = "受信中...";
inline constexpr char kQuerySendFailed[] = "受信コマンド送信に失敗しました。接続しなおしてください。";
inline constexpr char kReceiveNotReady[] = "受信に失敗しました。接続しなおしてください。";
inline constexpr char kReceiveFailed[] = "受信に失敗しました。";
inline constexpr char kUnrecognisedReply[] = "受信に失敗しました。再度受信してください。";
inline constexpr char kSending[] = "送信中...";
inline constexpr char kSendFailed[] = "送信に失敗しました。接続しなおしてください。";
inline constexpr char kSent[] = "送信しました。";
// Another program (a second companion, a server) is talking to the box: nothing was started.
inline constexpr char kBoxBusy[] = "他のプログラムが通信中です。しばらくしてから再度実行してください。";
inline constexpr char kSendMayHaveFailed[] = "送信に失敗した可能性があります。確認してください。";

}  // namespace sw::panel::text
