#pragma once

#include <cerrno>
#include <memory>
#include <string>

#include "link/linux/hidapi_calls.h"

namespace vornak::linux_hid {

// hidapi between hid_init and hid_exit. Shared by the backend and every open
// device, so the library is closed after the last handle.
class HidapiLibrary {
public:
    explicit HidapiLibrary(HidapiCalls calls);
    ~HidapiLibrary();
    HidapiLibrary(const HidapiLibrary&) = delete;
    HidapiLibrary& operator=(const HidapiLibrary&) = delete;

    const HidapiCalls& calls() const { return calls_; }

    // hidapi's error text for the device (null: the last open), or the text of
    // osError when hidapi has none.
    std::string ErrorText(hid_device* device, int osError) const;

private:
    HidapiCalls calls_;
};

// Runs call with errno cleared and returns its result; errno after the call
// goes to osError, since hidapi reports the reason of a failure only there.
template <typename Call>
auto CallKeepingErrno(int& osError, Call&& call)
{
    errno = 0;
    auto result = call();
    osError = errno;
    return result;
}

}  // namespace vornak::linux_hid
