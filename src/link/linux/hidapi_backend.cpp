#include "link/linux/hidapi_backend.h"

#include <cerrno>

#include "link/linux/hidapi_device.h"

namespace vornak::linux_hid {
namespace {

OpenFailure FailureFor(int osError)
{
    switch (osError) {
    case EACCES:
    case EPERM:
        return OpenFailure::AccessDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::NotFound;
    default:
        return OpenFailure::Other;
    }
}

class UdevMonitorRegistration final : public DeviceNotification {};

}  // namespace

HidapiBackend::HidapiBackend(HidapiCalls calls, DiagnosticSink diagnostics)
    : library_(std::make_shared<const HidapiLibrary>(std::move(calls))), diagnostics_(std::move(diagnostics))
{
}

std::vector<HidInterface> HidapiBackend::EnumerateInterfaces()
{
    const HidapiCalls& calls = library_->calls();
    std::vector<HidInterface> list;
    std::set<std::string> seen;
    hid_device_info* const root = calls.enumerate(0, 0);
    // hidapi lists a node once per top-level usage of its report descriptor.
    for (const hid_device_info* item = root; item != nullptr; item = item->next) {
        if (item->path == nullptr || !seen.insert(item->path).second)
            continue;
        list.push_back({item->path, item->vendor_id, item->product_id});
    }
    if (root != nullptr)
        calls.freeEnumeration(root);
    std::lock_guard lock(mutex_);
    listedPaths_ = std::move(seen);
    return list;
}

std::unique_ptr<HidDevice> HidapiBackend::OpenInterface(const std::string& path, OpenAccess /*access*/,
                                                        OpenError& error)
{
    {
        // hidapi 0.13 crashes on a path that opens but is not a hidraw node.
        std::lock_guard lock(mutex_);
        if (listedPaths_.count(path) == 0) {
            error = {OpenFailure::NotFound, "hid_open_path " + path + ": not listed by the latest enumeration"};
            return nullptr;
        }
    }
    // hidapi opens every node for reading and writing, whatever the access;
    // hidraw keeps a report queue per open file, so three opens coexist.
    int osError = 0;
    hid_device* const handle = CallKeepingErrno(osError, [&] { return library_->calls().openPath(path.c_str()); });
    if (handle == nullptr) {
        error = {FailureFor(osError), "hid_open_path " + path + ": " + library_->ErrorText(nullptr, osError)};
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(library_, handle, path, diagnostics_);
}

std::unique_ptr<DeviceNotification> HidapiBackend::RegisterDeviceNotification(NotifyWindow /*window*/)
{
    return std::make_unique<UdevMonitorRegistration>();
}

}  // namespace vornak::linux_hid
