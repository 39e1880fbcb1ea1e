#include "app/message_loop.h"

namespace sw::app {
namespace {

class ThreadQueue final : public MessageQueue<MSG> {
public:
    bool IsMessageWaiting() override {
        MSG peeked;
        return PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
    }
    int GetNext(MSG& msg) override { return static_cast<int>(GetMessageW(&msg, nullptr, 0, 0)); }
    void TranslateAndDispatch(MSG& msg) override {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    std::uint32_t MessageId(const MSG& msg) const override { return msg.message; }
    int QuitCode(const MSG& msg) const override { return static_cast<int>(msg.wParam); }
};

// Holds no state: every loop on every thread can share it, each call works on the calling thread's queue.
ThreadQueue threadQueue;

}  // namespace

CMessageLoop::CMessageLoop() : BasicMessageLoop<MSG>(threadQueue) {}

}  // namespace sw::app
