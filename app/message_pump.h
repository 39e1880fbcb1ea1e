#pragma once
// The user-interface thread's message loop, independent of the window system: the platform supplies the queue,
// the loop decides the order in which filters see a message and when idle work runs. The Windows build
// instantiates it with MSG (app/message_loop.h); the unit tests with a scripted queue.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sw::app {

// Mouse moves, paints and the caret-blink timer (0x118) arrive all the time without anything having changed,
// so they do not arm another idle pass.
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kNonClientMouseMove = 0x00A0;
inline constexpr std::uint32_t kPaint = 0x000F;
inline constexpr std::uint32_t kSystemTimer = 0x0118;

constexpr bool RearmsIdle(std::uint32_t messageId) {
    return messageId != kMouseMove && messageId != kNonClientMouseMove && messageId != kPaint &&
           messageId != kSystemTimer;
}

// The thread's message queue as the loop uses it.
template <typename Msg>
class MessageQueue {
public:
    // Whether a message is waiting, without removing it.
    virtual bool IsMessageWaiting() = 0;
    // Waits for the next message: -1 on a retrieval error, 0 for the quit message, positive otherwise.
    virtual int GetNext(Msg& msg) = 0;
    virtual void TranslateAndDispatch(Msg& msg) = 0;
    virtual std::uint32_t MessageId(const Msg& msg) const = 0;
    virtual int QuitCode(const Msg& msg) const = 0;

protected:
    ~MessageQueue() = default;
};

// Sees each retrieved message before it is translated and dispatched; returns whether it consumed it.
template <typename Msg>
class BasicMessageFilter {
public:
    virtual bool FilterMessage(Msg& msg) = 0;

protected:
    ~BasicMessageFilter() = default;
};

// Called when the queue has run empty after a message that may have changed something.
class BasicIdleHandler {
public:
    // Whether more idle work is wanted (the loop does not ask again either way).
    virtual bool HandleIdle() = 0;

protected:
    ~BasicIdleHandler() = default;
};

template <typename Msg>
class BasicMessageLoop {
public:
    using Filter = BasicMessageFilter<Msg>;

    explicit BasicMessageLoop(MessageQueue<Msg>& queue) : queue_(queue) {}
    BasicMessageLoop(const BasicMessageLoop&) = delete;
    BasicMessageLoop& operator=(const BasicMessageLoop&) = delete;

    // The filters registered last see a message first: a window registered later sits on top of earlier ones.
    virtual bool FilterMessage(Msg& msg) {
        // By index, so that a filter may unregister itself while it is being asked.
        for (std::size_t i = filters_.size(); i-- > 0;) {
            if (i < filters_.size() && filters_[i] != nullptr && filters_[i]->FilterMessage(msg))
                return true;
        }
        return false;
    }

    // The count lets an overriding loop spread its own idle work over several calls.
    virtual bool HandleIdle(int idleCount) {
        static_cast<void>(idleCount);
        for (std::size_t i = 0; i < idleHandlers_.size(); ++i) {
            if (idleHandlers_[i] != nullptr)
                idleHandlers_[i]->HandleIdle();
        }
        return false;
    }

    virtual ~BasicMessageLoop() = default;

    void AddMessageFilter(Filter* filter) { filters_.push_back(filter); }
    bool RemoveMessageFilter(Filter* filter) { return removeFirst(filters_, filter); }
    void AddIdleHandler(BasicIdleHandler* handler) { idleHandlers_.push_back(handler); }
    bool RemoveIdleHandler(BasicIdleHandler* handler) { return removeFirst(idleHandlers_, handler); }

    // Runs until the quit message arrives and returns its code.
    int Run() {
        bool idleArmed = true;
        int idleCount = 0;
        for (;;) {
            while (idleArmed && !queue_.IsMessageWaiting()) {
                if (!HandleIdle(idleCount++))
                    idleArmed = false;
            }

            const int got = queue_.GetNext(lastMessage_);
            if (got == -1)
                continue;
            if (got == 0)
                return queue_.QuitCode(lastMessage_);

            if (!FilterMessage(lastMessage_))
                queue_.TranslateAndDispatch(lastMessage_);

            if (RearmsIdle(queue_.MessageId(lastMessage_))) {
                idleArmed = true;
                idleCount = 0;
            }
        }
    }

    const Msg& LastMessage() const { return lastMessage_; }

private:
    template <typename T>
    static bool removeFirst(std::vector<T*>& list, T* item) {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (*it == item) {
                list.erase(it);
                return true;
            }
        }
        return false;
    }

    MessageQueue<Msg>& queue_;
    std::vector<Filter*> filters_;
    std::vector<BasicIdleHandler*> idleHandlers_;
    Msg lastMessage_{};
};

}  // namespace sw::app
