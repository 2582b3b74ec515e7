#include "link/linux/hidapi_device.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

namespace vornak::linux_hid {

HidapiDevice::HidapiDevice(std::shared_ptr<const HidapiLibrary> library, hid_device* handle, std::string path,
                           DiagnosticSink diagnostics)
    : library_(std::move(library)), handle_(handle), path_(std::move(path)), diagnostics_(std::move(diagnostics))
{
}

HidapiDevice::~HidapiDevice() { library_->calls().close(handle_); }

void HidapiDevice::Diagnose(const std::string& call, const std::string& what) const
{
    if (diagnostics_)
        diagnostics_(call + " " + path_ + ": " + what + "\n");
}

bool HidapiDevice::WriteReport(std::span<const uint8_t> report)
{
    // hidraw takes the report-ID byte first and strips it when it is 0.
    int osError = 0;
    const int written = CallKeepingErrno(
        osError, [&] { return library_->calls().write(handle_, report.data(), report.size()); });
    if (written >= 0 && static_cast<size_t>(written) == report.size())
        return true;
    if (written < 0)
        Diagnose("hid_write", library_->ErrorText(handle_, osError));
    else
        Diagnose("hid_write", "short write, " + std::to_string(written) + " of " + std::to_string(report.size()) +
                                  " bytes");
    return false;
}

ReadResult HidapiDevice::ReadReport(std::span<uint8_t, kReportPayloadSize> payload, uint32_t timeoutMs)
{
    // One byte more than a report, so that a longer (numbered) report shows
    // instead of being cut to size.
    std::array<uint8_t, kReportPayloadSize + 1> buffer{};
    const int timeout = static_cast<int>(std::min<uint32_t>(timeoutMs, INT_MAX));
    int osError = 0;
    const int got = CallKeepingErrno(
        osError, [&] { return library_->calls().readTimeout(handle_, buffer.data(), buffer.size(), timeout); });
    if (got == 0)
        return {ReadOutcome::TimedOut, 0};
    // hidraw delivers an unnumbered report without a report-ID byte: the 64
    // bytes are the payload.
    if (got == static_cast<int>(kReportPayloadSize)) {
        std::copy_n(buffer.begin(), kReportPayloadSize, payload.begin());
        return {ReadOutcome::Report, 0};
    }
    if (got < 0) {
        Diagnose("hid_read_timeout", library_->ErrorText(handle_, osError));
        // A disconnect shows as a poll error without errno.
        return {ReadOutcome::Failed, static_cast<uint32_t>(osError != 0 ? osError : ENODEV)};
    }
    Diagnose("hid_read_timeout",
             "report of " + std::to_string(got) + " bytes, expected " + std::to_string(kReportPayloadSize));
    return {ReadOutcome::Failed, static_cast<uint32_t>(EIO)};
}

}  // namespace vornak::linux_hid
