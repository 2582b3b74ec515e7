#include "link/linux/hidapi_calls.h"

namespace vornak::linux_hid {

HidapiCalls RealHidapiCalls()
{
    return {hid_init, hid_exit, hid_enumerate, hid_free_enumeration, hid_open_path,
            hid_close, hid_write, hid_read_timeout, hid_error};
}

}  // namespace vornak::linux_hid
