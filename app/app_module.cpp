#include "app/app_module.h"

namespace sw::app {

void CAppModule::Term() {
    loops_.clear();
    instance_ = nullptr;
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    return loop != nullptr && loops_.emplace(GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
    return loops_.erase(GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop() const {
    const auto found = loops_.find(GetCurrentThreadId());
    return found == loops_.end() ? nullptr : found->second;
}

}  // namespace sw::app
