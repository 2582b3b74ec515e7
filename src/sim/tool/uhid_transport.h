#pragma once

#include <linux/uhid.h>

#include <memory>
#include <string>

#include "link/pipe/unique_fd.h"
#include "sim/tool/device_transport.h"

namespace vornak::sim {

// The simulated controller as a USB HID device of the kernel, through
// /dev/uhid: vendor-defined, one 64-byte input and one 64-byte output report,
// no report IDs. Hosts reach it through hidraw like a real controller.
class UhidTransport final : public DeviceTransport {
public:
    static constexpr const char* kDefaultPath = "/dev/uhid";

    // Null with the failing call and the OS error text in error.
    static std::unique_ptr<UhidTransport> Open(uint16_t vendorId, uint16_t productId, std::string& error,
                                               const char* path = kDefaultPath);
    ~UhidTransport() override;

    int pollFd() const override { return fd_.get(); }
    bool Attach() override;  // UHID_CREATE2
    bool Detach() override;  // UHID_DESTROY
    ReceiveResult Receive(const OutputHandler& onOutput) override;
    bool Send(const Report& input) override;  // UHID_INPUT2, always 64 bytes

private:
    UhidTransport(pipe::UniqueFd fd, uint16_t vendorId, uint16_t productId);
    bool WriteEvent(const uhid_event& event, const char* what);
    void OnOutputEvent(const uhid_output_req& output, const OutputHandler& onOutput);
    void RefuseReportRequest(const uhid_event& request);

    pipe::UniqueFd fd_;
    uint16_t vendorId_;
    uint16_t productId_;
    bool created_ = false;
};

}  // namespace vornak::sim
