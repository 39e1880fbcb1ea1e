#pragma once
// The simulated ZEL-OT40 served on a named pipe, so the panel's real discovery and overlapped I/O code can talk to
// it: each message the client writes is one output report, each message the server writes one input report.
// One client is served at a time, any number of times over: a client that opens the path replaces the one before.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "sim/ot40_model.h"
#include "sim/sim_options.h"

namespace sw::sim {

class PipeDeviceServer {
public:
    explicit PipeDeviceServer(std::string pipePath = kDefaultPipePath);
    ~PipeDeviceServer();  // stops the server
    PipeDeviceServer(const PipeDeviceServer&) = delete;
    PipeDeviceServer& operator=(const PipeDeviceServer&) = delete;

    // Creates the pipe (unless the device is unplugged from the start) and starts serving it from a worker thread.
    // False when the pipe cannot be created or the worker cannot start; lastError() then holds the system's code.
    bool start();
    // Ends the worker promptly: pending I/O is cancelled and waited for, the pipe closed. Harmless when stopped.
    void stop();
    bool running() const;
    std::uint32_t lastError() const;
    const std::string& pipePath() const;

    // Runs `f(model)` under the server's lock and returns its result; the worker sees any change right after.
    // The model is only ever touched under this lock, which is not recursive: neither `f` nor the model's observer
    // may call withModel again.
    template <typename F>
    auto withModel(F&& f) {
        using Result = std::invoke_result_t<F, Ot40Model&>;
        if constexpr (std::is_void_v<Result>) {
            runLocked([&](Ot40Model& m) { std::forward<F>(f)(m); });
        } else {
            std::optional<Result> result;
            runLocked([&](Ot40Model& m) { result.emplace(std::forward<F>(f)(m)); });
            return std::move(*result);
        }
    }

    // Clients accepted since start.
    int connectionCount() const;

private:
    struct State;
    void runLocked(const std::function<void(Ot40Model&)>& f);

    std::unique_ptr<State> state_;
};

}  // namespace sw::sim
