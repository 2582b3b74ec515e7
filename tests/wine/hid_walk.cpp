// Lists every HID interface the Windows backend sees, with its ids, and then
// runs the link's discovery over them. Exit code 0 when the walk saw at least
// one interface and found no supported controller (the state of a machine or
// Wine prefix without one), 1 otherwise.
#include <cstdio>

#include "link/chid.h"
#include "link/win32/hid_backend_win32.h"

int main()
{
    vornak::HidBackendWin32 backend;
    const auto interfaces = backend.EnumerateInterfaces();
    for (const vornak::HidInterface& item : interfaces)
        std::printf("interface %04x:%04x %s\n", item.vendorId, item.productId, item.path.c_str());

    vornak::CHid link(backend);
    std::unique_ptr<vornak::HidDevice> probe;
    const int found = link.FindDevice(probe);
    std::printf("interfaces: %zu\ncontroller: %s\n", interfaces.size(), found ? "found" : "not found");
    return !interfaces.empty() && found == 0 ? 0 : 1;
}
