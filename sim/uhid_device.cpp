#include "sim/uhid_device.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sw::sim {

namespace {

void copyText(const std::string& text, std::uint8_t* field, std::size_t size) {
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

}  // namespace

UhidDevice::~UhidDevice() {
    // Closing the descriptor destroys the device.
    if (fd_ >= 0)
        close(fd_);
}

bool UhidDevice::create(const UhidIdentity& identity, std::span<const std::uint8_t> reportDescriptor) {
    if (fd_ >= 0 || reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        errno = EINVAL;
        return false;
    }
    fd_ = open("/dev/uhid", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    uhid_event event{};
    event.type = UHID_CREATE2;
    uhid_create2_req& create = event.u.create2;
    copyText(identity.name, create.name, sizeof create.name);
    copyText(identity.phys, create.phys, sizeof create.phys);
    copyText(identity.uniq, create.uniq, sizeof create.uniq);
    create.bus = identity.bus;
    create.vendor = identity.vendor;
    create.product = identity.product;
    create.rd_size = static_cast<std::uint16_t>(reportDescriptor.size());
    std::copy(reportDescriptor.begin(), reportDescriptor.end(), create.rd_data);
    if (write(event))
        return true;
    const int error = errno;
    close(fd_);
    fd_ = -1;
    errno = error;
    return false;
}

bool UhidDevice::sendInput(std::span<const std::uint8_t> data) {
    uhid_event event{};
    event.type = UHID_INPUT2;
    if (data.size() > sizeof event.u.input2.data)
        return false;
    event.u.input2.size = static_cast<std::uint16_t>(data.size());
    std::copy(data.begin(), data.end(), event.u.input2.data);
    return write(event);
}

std::optional<uhid_event> UhidDevice::readEvent() {
    uhid_event event{};
    if (fd_ < 0 || read(fd_, &event, sizeof event) <= 0)
        return std::nullopt;
    return event;
}

void UhidDevice::refuse(const uhid_event& request) {
    uhid_event reply{};
    if (request.type == UHID_GET_REPORT) {
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = request.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
    } else if (request.type == UHID_SET_REPORT) {
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = request.u.set_report.id;
        reply.u.set_report_reply.err = EIO;
    } else {
        return;
    }
    write(reply);
}

bool UhidDevice::write(const uhid_event& event) {
    if (fd_ < 0)
        return false;
    // uhid takes each event whole or not at all.
    return ::write(fd_, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

}  // namespace sw::sim
