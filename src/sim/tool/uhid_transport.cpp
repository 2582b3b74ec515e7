#include "sim/tool/uhid_transport.h"

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace vornak::sim {
namespace {

// Vendor-defined page 0xFF00: one 64-byte input and one 64-byte output
// report, no report IDs.
constexpr auto kReportDescriptor = std::to_array<uint8_t>({
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x02,        //   Usage (2)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x03,        //   Usage (3)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
});

constexpr const char* kDeviceName = "Vornak simulated controller";

std::string OsError(const std::string& call, int code)
{
    return call + ": " + std::system_category().message(code);
}

}  // namespace

std::unique_ptr<UhidTransport> UhidTransport::Open(uint16_t vendorId, uint16_t productId, std::string& error,
                                                   const char* path)
{
    pipe::UniqueFd fd(::open(path, O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        error = OsError(std::string("open ") + path, errno);
        return nullptr;
    }
    return std::unique_ptr<UhidTransport>(new UhidTransport(std::move(fd), vendorId, productId));
}

UhidTransport::UhidTransport(pipe::UniqueFd fd, uint16_t vendorId, uint16_t productId)
    : fd_(std::move(fd)), vendorId_(vendorId), productId_(productId)
{
}

UhidTransport::~UhidTransport()
{
    if (created_)
        Detach();
}

bool UhidTransport::Attach()
{
    uhid_event event{};
    event.type = UHID_CREATE2;
    uhid_create2_req& create = event.u.create2;
    std::strncpy(reinterpret_cast<char*>(create.name), kDeviceName, sizeof create.name - 1);
    std::strncpy(reinterpret_cast<char*>(create.phys), "vornak-sim", sizeof create.phys - 1);
    create.rd_size = kReportDescriptor.size();
    create.bus = BUS_USB;
    create.vendor = vendorId_;
    create.product = productId_;
    std::copy(kReportDescriptor.begin(), kReportDescriptor.end(), create.rd_data);
    created_ = WriteEvent(event, "UHID_CREATE2");
    return created_;
}

bool UhidTransport::Detach()
{
    uhid_event event{};
    event.type = UHID_DESTROY;
    created_ = false;
    return WriteEvent(event, "UHID_DESTROY");
}

ReceiveResult UhidTransport::Receive(const OutputHandler& onOutput)
{
    for (;;) {
        uhid_event event{};
        const ssize_t n = ::read(fd_.get(), &event, sizeof event);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return ReceiveResult::Open;
        if (n <= 0) {
            error_ = n == 0 ? "read /dev/uhid: end of file" : OsError("read /dev/uhid", errno);
            return ReceiveResult::Failed;
        }
        switch (event.type) {
        case UHID_OUTPUT:
            OnOutputEvent(event.u.output, onOutput);
            break;
        case UHID_GET_REPORT:
        case UHID_SET_REPORT:
            RefuseReportRequest(event);
            break;
        default:  // start, stop, open, close: nothing to do
            break;
        }
    }
}

void UhidTransport::OnOutputEvent(const uhid_output_req& output, const OutputHandler& onOutput)
{
    if (output.rtype != UHID_OUTPUT_REPORT || output.size == 0)
        return;
    // The kernel hands over what was written to hidraw, report-ID byte 0 first.
    Report payload{};
    const size_t size = std::min<size_t>(output.size, UHID_DATA_MAX);
    std::copy_n(output.data + 1, std::min(size - 1, payload.size()), payload.begin());
    onOutput(payload);
}

void UhidTransport::RefuseReportRequest(const uhid_event& request)
{
    // The controller has no feature reports; answer so the kernel does not wait.
    uhid_event reply{};
    if (request.type == UHID_GET_REPORT) {
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = request.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
    } else {
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = request.u.set_report.id;
        reply.u.set_report_reply.err = EIO;
    }
    WriteEvent(reply, "UHID report reply");
}

bool UhidTransport::Send(const Report& input)
{
    uhid_event event{};
    event.type = UHID_INPUT2;
    // Input reports shorter than the descriptor's 64 bytes are dropped by the kernel.
    event.u.input2.size = static_cast<uint16_t>(input.size());
    std::copy(input.begin(), input.end(), event.u.input2.data);
    return WriteEvent(event, "UHID_INPUT2");
}

bool UhidTransport::WriteEvent(const uhid_event& event, const char* what)
{
    for (;;) {
        const ssize_t n = ::write(fd_.get(), &event, sizeof event);
        if (n == static_cast<ssize_t>(sizeof event))
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        error_ = n < 0 ? OsError(std::string("write ") + what, errno)
                       : std::string("write ") + what + ": short write";
        return false;
    }
}

}  // namespace vornak::sim
