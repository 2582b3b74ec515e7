#include "link/chid.h"

#include <algorithm>
#include <array>

namespace vornak {

CHid::CHid(HidBackend& backend) : backend_(backend) {}

CHid::~CHid()
{
    m_hDevNotify.reset();
    m_hWrite.reset();
    m_hRead.reset();
}

int CHid::Open()
{
    m_hWrite.reset();
    m_hRead.reset();
    OpenError error;
    m_hWrite = backend_.OpenInterface(m_DevicePath, OpenAccess::Write, error);
    if (!m_hWrite)
        return 0;
    m_hRead = backend_.OpenInterface(m_DevicePath, OpenAccess::Read, error);
    if (!m_hRead)
        return 0;
    SetTimeout(kOpenTimeoutMs);
    return 1;
}

uint32_t CHid::ReadReport(uint8_t* destination, uint8_t length)
{
    if (!m_hRead)
        return kReadNotOpen;
    std::array<uint8_t, kReportPayloadSize> payload{};
    const ReadResult result = m_hRead->ReadReport(payload, m_nTimeout);
    switch (result.outcome) {
    case ReadOutcome::Report:
        std::copy_n(payload.begin(), std::min<size_t>(length, kReportPayloadSize), destination);
        return kReadOk;
    case ReadOutcome::TimedOut:
        return kReadTimeout;
    case ReadOutcome::Failed:
        break;
    }
    const uint32_t code = result.errorCode;
    return code == kReadOk || code == kReadNotOpen || code == kReadTimeout ? kReadFailed : code;
}

int CHid::WriteReport(const uint8_t* payload, uint8_t reportId, uint8_t length)
{
    const size_t n = std::min<size_t>(length, kReportPayloadSize);
    std::array<uint8_t, kOutputReportSize> report{};
    report[0] = reportId;
    std::copy_n(payload, n, report.begin() + 1);
    if (!m_hWrite)
        return 0;
    return m_hWrite->WriteReport(std::span<const uint8_t>(report.data(), n + 1)) ? 1 : 0;
}

int CHid::WriteFrame(const uint8_t* payload, uint8_t length)
{
    std::array<uint8_t, kOutputReportSize> report{};
    std::copy_n(payload, std::min<size_t>(length, kReportPayloadSize), report.begin() + 1);
    if (!m_hWrite)
        return 0;
    return m_hWrite->WriteReport(report) ? 1 : 0;
}

int CHid::FindDevice(std::unique_ptr<HidDevice>& probe)
{
    accessDeniedPath_.clear();
    for (const HidInterface& item : backend_.EnumerateInterfaces()) {
        // The ids are known from enumeration, so only the controller is opened.
        if (item.vendorId != kSupportedVendorId || item.productId != kSupportedProductId)
            continue;
        OpenError error;
        probe = backend_.OpenInterface(item.path, OpenAccess::Probe, error);
        if (!probe) {
            if (error.kind == OpenFailure::AccessDenied && accessDeniedPath_.empty())
                accessDeniedPath_ = item.path;
            continue;
        }
        accessDeniedPath_.clear();
        deviceRecognised = 1;
        m_DevicePath = item.path;
        if (debugOutput_)
            debugOutput_("m_DevicePath:" + m_DevicePath + "\n");
        return 1;
    }
    return 0;
}

int CHid::IsDevicePresent()
{
    std::unique_ptr<HidDevice> probe;
    const int found = FindDevice(probe);
    if (m_bNotifyRegistered == 0) {
        RegisterNotification();
        m_bNotifyRegistered = 1;
    }
    probe.reset();
    return found;
}

int CHid::RegisterNotification()
{
    m_hDevNotify = backend_.RegisterDeviceNotification(m_hNotifyWnd);
    return m_hDevNotify ? 1 : 0;
}

}  // namespace vornak
