#include "app/message_pump.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace sw::app {
namespace {

struct TestMessage {
    std::uint32_t id = 0;
    int code = 0;  // the quit message's exit code
};

constexpr std::uint32_t kKeyDown = 0x0100;
constexpr std::uint32_t kCommand = 0x0111;
constexpr std::uint32_t kTimer = 0x0113;
constexpr std::uint32_t kLeftButtonDown = 0x0201;
constexpr std::uint32_t kQuit = 0x0012;

using Log = std::vector<std::string>;

// A queue that replays a script and logs what the loop does with each message.
class ScriptedQueue final : public MessageQueue<TestMessage> {
public:
    explicit ScriptedQueue(Log& log) : log_(log) {}

    // Already waiting when the loop looks; the loop runs no idle pass before it.
    void post(std::uint32_t id) { script_.push_back({Kind::Message, {id, 0}, 0}); }
    // Arrives only after the loop has found the queue empty `emptyLooks` times, so an armed loop runs its idle
    // pass first.
    void postLater(std::uint32_t id, int emptyLooks = 1) { script_.push_back({Kind::Message, {id, 0}, emptyLooks}); }
    void failRetrievalLater() { script_.push_back({Kind::Error, {}, 1}); }
    void quitLater(int code) { script_.push_back({Kind::Quit, {kQuit, code}, 1}); }

    bool IsMessageWaiting() override {
        if (script_.empty())
            return true;  // GetNext ends the test with a failure
        if (script_.front().emptyLooks == 0)
            return true;
        --script_.front().emptyLooks;
        return false;
    }
    int GetNext(TestMessage& msg) override {
        if (script_.empty()) {
            ADD_FAILURE() << "the loop asked for more messages than the script holds";
            msg = {kQuit, -1};
            return 0;
        }
        const Entry entry = script_.front();
        script_.pop_front();
        msg = entry.message;
        switch (entry.kind) {
            case Kind::Error:
                return -1;
            case Kind::Quit:
                return 0;
            case Kind::Message:
                return 1;
        }
        return -1;
    }
    void TranslateAndDispatch(TestMessage& msg) override { log_.push_back("dispatch " + std::to_string(msg.id)); }
    std::uint32_t MessageId(const TestMessage& msg) const override { return msg.id; }
    int QuitCode(const TestMessage& msg) const override { return msg.code; }

private:
    enum class Kind { Message, Error, Quit };
    struct Entry {
        Kind kind;
        TestMessage message;
        int emptyLooks;
    };

    Log& log_;
    std::deque<Entry> script_;
};

class RecordingFilter final : public BasicMessageFilter<TestMessage> {
public:
    RecordingFilter(std::string name, Log& log, std::uint32_t consumes = 0)
        : name_(std::move(name)), log_(log), consumes_(consumes) {}

    bool FilterMessage(TestMessage& msg) override {
        log_.push_back(name_ + " " + std::to_string(msg.id));
        return consumes_ != 0 && msg.id == consumes_;
    }

private:
    std::string name_;
    Log& log_;
    std::uint32_t consumes_;
};

class RecordingIdleHandler final : public BasicIdleHandler {
public:
    RecordingIdleHandler(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    bool HandleIdle() override {
        log_.push_back(name_);
        return true;  // wants more; the loop must still ask only once per arming
    }

private:
    std::string name_;
    Log& log_;
};

// Logs each idle call with its counter.
class CountingLoop final : public BasicMessageLoop<TestMessage> {
public:
    CountingLoop(MessageQueue<TestMessage>& queue, Log& log, int moreIdleCalls = 0)
        : BasicMessageLoop(queue), log_(log), moreIdleCalls_(moreIdleCalls) {}

    bool HandleIdle(int idleCount) override {
        log_.push_back("idle " + std::to_string(idleCount));
        BasicMessageLoop::HandleIdle(idleCount);
        return moreIdleCalls_-- > 0;
    }

private:
    Log& log_;
    int moreIdleCalls_;
};

TEST(MessageLoop, AsksTheLastRegisteredFilterFirstAndStopsAtTheFirstThatConsumes) {
    Log log;
    ScriptedQueue queue(log);
    BasicMessageLoop<TestMessage> loop(queue);
    RecordingFilter first("first", log);
    RecordingFilter second("second", log, kKeyDown);
    RecordingFilter third("third", log);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    loop.AddMessageFilter(&third);

    queue.post(kKeyDown);
    queue.post(kCommand);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"third 256", "second 256", "third 273", "second 273", "first 273", "dispatch 273"}));
}

TEST(MessageLoop, EndsWithTheQuitCodeWithoutFilteringOrDispatchingTheQuitMessage) {
    Log log;
    ScriptedQueue queue(log);
    BasicMessageLoop<TestMessage> loop(queue);
    RecordingFilter filter("filter", log);
    loop.AddMessageFilter(&filter);

    queue.quitLater(2);

    EXPECT_EQ(loop.Run(), 2);
    EXPECT_TRUE(log.empty());
}

TEST(MessageLoop, SkipsARetrievalErrorWithoutFilteringDispatchingOrArmingIdleWork) {
    Log log;
    ScriptedQueue queue(log);
    CountingLoop loop(queue, log);
    RecordingFilter filter("filter", log);
    loop.AddMessageFilter(&filter);

    queue.post(kCommand);
    queue.failRetrievalLater();
    queue.postLater(kTimer);
    queue.quitLater(1);

    EXPECT_EQ(loop.Run(), 1);
    EXPECT_EQ(log, (Log{"filter 273", "dispatch 273", "idle 0", "filter 275", "dispatch 275", "idle 0"}));
}

TEST(MessageLoop, RunsNoIdlePassWhileAMessageIsWaiting) {
    Log log;
    ScriptedQueue queue(log);
    CountingLoop loop(queue, log);

    queue.post(kCommand);
    queue.post(kTimer);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"dispatch 273", "dispatch 275", "idle 0"}));
}

TEST(MessageLoop, CountsIdleCallsUpWhileTheLoopWantsMoreAndRestartsAfterTheNextMessage) {
    Log log;
    ScriptedQueue queue(log);
    CountingLoop loop(queue, log, 2);

    queue.postLater(kCommand, 3);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"idle 0", "idle 1", "idle 2", "dispatch 273", "idle 0"}));
}

TEST(MessageLoop, CallsEveryIdleHandlerInRegistrationOrderOncePerArming) {
    Log log;
    ScriptedQueue queue(log);
    BasicMessageLoop<TestMessage> loop(queue);
    RecordingIdleHandler first("first", log);
    RecordingIdleHandler second("second", log);
    loop.AddIdleHandler(&first);
    loop.AddIdleHandler(&second);

    queue.postLater(kCommand);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"first", "second", "dispatch 273", "first", "second"}));
}

TEST(MessageLoop, AsksNeitherARemovedFilterNorARemovedIdleHandler) {
    Log log;
    ScriptedQueue queue(log);
    BasicMessageLoop<TestMessage> loop(queue);
    RecordingFilter kept("kept", log);
    RecordingFilter removed("removed", log);
    RecordingIdleHandler idle("idle", log);
    loop.AddMessageFilter(&kept);
    loop.AddMessageFilter(&removed);
    loop.AddIdleHandler(&idle);

    EXPECT_TRUE(loop.RemoveMessageFilter(&removed));
    EXPECT_FALSE(loop.RemoveMessageFilter(&removed));
    EXPECT_TRUE(loop.RemoveIdleHandler(&idle));

    queue.post(kCommand);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"kept 273", "dispatch 273"}));
}

// A window that goes away while the loop asks it unregisters itself from inside FilterMessage.
class SelfRemovingFilter final : public BasicMessageFilter<TestMessage> {
public:
    SelfRemovingFilter(BasicMessageLoop<TestMessage>& loop, Log& log) : loop_(loop), log_(log) {}
    bool FilterMessage(TestMessage& msg) override {
        log_.push_back("leaving " + std::to_string(msg.id));
        loop_.RemoveMessageFilter(this);
        return false;
    }

private:
    BasicMessageLoop<TestMessage>& loop_;
    Log& log_;
};

TEST(MessageLoop, GoesOnAskingTheEarlierFiltersWhenOneUnregistersItselfWhileAsked) {
    Log log;
    ScriptedQueue queue(log);
    BasicMessageLoop<TestMessage> loop(queue);
    RecordingFilter first("first", log);
    SelfRemovingFilter leaving(loop, log);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&leaving);

    queue.post(kCommand);
    queue.post(kTimer);
    queue.quitLater(0);
    loop.Run();

    EXPECT_EQ(log, (Log{"leaving 273", "first 273", "dispatch 273", "first 275", "dispatch 275"}));
}

struct RearmCase {
    const char* name;
    std::uint32_t messageId;
    bool rearms;
};

void PrintTo(const RearmCase& c, std::ostream* os) {
    *os << c.name;
}

class IdleRearmingTest : public testing::TestWithParam<RearmCase> {};

TEST_P(IdleRearmingTest, ArmsAnotherIdlePassOnlyAfterMessagesThatMayHaveChangedSomething) {
    const RearmCase& c = GetParam();
    Log log;
    ScriptedQueue queue(log);
    CountingLoop loop(queue, log);

    queue.postLater(c.messageId);
    queue.quitLater(0);
    loop.Run();

    Log expected{"idle 0", "dispatch " + std::to_string(c.messageId)};
    if (c.rearms)
        expected.push_back("idle 0");
    EXPECT_EQ(log, expected);
}

INSTANTIATE_TEST_SUITE_P(MessageKinds,
                         IdleRearmingTest,
                         testing::Values(RearmCase{"MouseMove", 0x0200, false},
                                         RearmCase{"NonClientMouseMove", 0x00A0, false},
                                         RearmCase{"Paint", 0x000F, false},
                                         RearmCase{"CaretBlinkTimer", 0x0118, false},
                                         RearmCase{"KeyDown", kKeyDown, true},
                                         RearmCase{"LeftButtonDown", kLeftButtonDown, true},
                                         RearmCase{"Timer", kTimer, true},
                                         RearmCase{"Command", kCommand, true},
                                         RearmCase{"NonClientButtonDown", 0x00A1, true}),
                         [](const testing::TestParamInfo<RearmCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::app
