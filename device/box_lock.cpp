#include "device/box_lock.h"

#include <utility>

namespace sw::device {

BoxLock::BoxLock(Outcome outcome, std::string detail, std::function<void()> release)
    : outcome_(outcome), detail_(std::move(detail)), release_(std::move(release)) {}

BoxLock BoxLock::takenWith(std::function<void()> release) {
    return BoxLock(Outcome::Taken, {}, std::move(release));
}

BoxLock BoxLock::busyWith(std::string holder) {
    return BoxLock(Outcome::Busy, std::move(holder), {});
}

BoxLock BoxLock::failedWith(std::string reason) {
    return BoxLock(Outcome::Failed, std::move(reason), {});
}

BoxLock::BoxLock(BoxLock&& other) noexcept
    : outcome_(other.outcome_), detail_(std::move(other.detail_)), release_(std::exchange(other.release_, {})) {}

BoxLock& BoxLock::operator=(BoxLock&& other) noexcept {
    if (this != &other) {
        release();
        outcome_ = other.outcome_;
        detail_ = std::move(other.detail_);
        release_ = std::exchange(other.release_, {});
    }
    return *this;
}

BoxLock::~BoxLock() {
    release();
}

void BoxLock::release() {
    if (release_)
        std::exchange(release_, {})();
}

}  // namespace sw::device
