#include "cli/device_session.h"

#include "cli/cli_app.h"
#include "cli/quoting.h"
#include "device/connect.h"
#include "protocol/product.h"

namespace sw::cli {

namespace {

// What a user can do about a node the system refused to open.
#ifdef _WIN32
constexpr char kAccessRemedy[] = "another program may hold it exclusively";
#else
constexpr char kAccessRemedy[] =
    "install the udev rule 70-stampwright.rules (README, \"From scripts\") and replug the device, or run as root";
#endif

}  // namespace

std::string openFailureReason(const device::DeviceLink& link) {
    if (link.LastOpenFailure() == device::OpenFailure::AccessDenied)
        return joined({"access was refused: ", kAccessRemedy});
    return "it is gone, or held by another program";
}

int BoxSession::open(std::string_view wanted, std::ostream& err) {
    using protocol::kModelName;
    device::Connection connection = device::findBox(link_, protocol::kVendorId, protocol::kProductId, wanted);
    if (connection.path.empty()) {
        if (!wanted.empty()) {
            err << kErrorPrefix << "--device " << quotedName(wanted) << " is no " << kModelName
                << " that is present (no path, port or serial number of one; stampwright-cli list shows them)\n";
            return kExitBadInput;
        }
        err << kErrorPrefix << "the " << kModelName << " was not found (no USB device " << std::hex
            << protocol::kVendorId << ":" << protocol::kProductId << std::dec << " is present)\n";
        return kExitDeviceFailure;
    }

    // Before the box is opened: another program's replies must not reach a handle of ours.
    device::BoxLock lock = locker_(connection.path, kBoxLockWaitMs);
    switch (lock.outcome()) {
        case device::BoxLock::Outcome::Taken:
            lock_.emplace(std::move(lock));
            break;
        case device::BoxLock::Outcome::Busy:
            err << kErrorPrefix
                << "the box is busy: " << (lock.holder().empty() ? std::string("another program") : lock.holder())
                << " is talking to it (waited " << kBoxLockWaitMs / 1000 << " s for it); try again later\n";
            return kExitDeviceFailure;
        case device::BoxLock::Outcome::Failed:
            // Without the lock the command still works; only another program at the same time could disturb it.
            err << kNotePrefix << "the box's lock could not be taken (" << lock.reason()
                << "): another program may talk to it at the same time\n";
            break;
    }

    device::openBox(link_, connection);
    switch (connection.outcome) {
        case device::ConnectOutcome::Connected:
            lengths_ = connection.lengths;
            return kExitOk;
        case device::ConnectOutcome::NotFound:
            break;
        case device::ConnectOutcome::OpenFailed:
            err << kErrorPrefix << "the " << kModelName << " was found, but connecting to it failed ("
                << escapedName(connection.path) << "): " << openFailureReason(link_) << "\n";
            return kExitDeviceFailure;
        case device::ConnectOutcome::ReportLengthsFailed:
            err << kErrorPrefix << "connected to the " << kModelName << ", but getting the report size failed\n";
            return kExitDeviceFailure;
    }
    return kExitDeviceFailure;
}

}  // namespace sw::cli
