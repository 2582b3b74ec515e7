#pragma once

#include <cerrno>
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/linux/hidapi_calls.h"

namespace vornak::linux_hid::testing {

// hidapi as a script: the listed nodes, what opening each does, and the
// results of writes and reads. Records what the backend asked for.
class FakeHidapi {
public:
    struct Listing {
        std::string path;
        unsigned short vendorId;
        unsigned short productId;
    };
    struct OpenScript {
        int osError = 0;  // 0: the open succeeds
        std::wstring errorText;
    };
    struct Transfer {
        int result = 0;  // bytes, 0 (time-out) or -1
        int osError = 0;
        std::vector<uint8_t> bytes;  // delivered by a read
        std::wstring errorText;
    };

    std::vector<Listing> listing;
    std::map<std::string, OpenScript> opens;
    std::deque<Transfer> writes;  // empty: every write succeeds in full
    std::deque<Transfer> reads;   // empty: time-out

    int initCalls = 0;
    int exitCalls = 0;
    int freedLists = 0;
    std::vector<std::string> openedPaths;
    int openHandles = 0;
    std::vector<std::vector<uint8_t>> written;
    std::vector<size_t> readBufferSizes;
    std::vector<int> readTimeouts;

    HidapiCalls Calls()
    {
        HidapiCalls calls;
        calls.init = [this] { return ++initCalls, 0; };
        calls.exit = [this] { return ++exitCalls, 0; };
        calls.enumerate = [this](unsigned short, unsigned short) { return Enumerate(); };
        calls.freeEnumeration = [this](hid_device_info* root) { Free(root); };
        calls.openPath = [this](const char* path) { return Open(path); };
        calls.close = [this](hid_device*) { --openHandles; };
        calls.write = [this](hid_device*, const unsigned char* data, size_t length) {
            written.emplace_back(data, data + length);
            if (writes.empty())
                return static_cast<int>(length);
            return Apply(Next(writes), nullptr, 0);
        };
        calls.readTimeout = [this](hid_device*, unsigned char* data, size_t length, int timeoutMs) {
            readBufferSizes.push_back(length);
            readTimeouts.push_back(timeoutMs);
            if (reads.empty())
                return 0;
            return Apply(Next(reads), data, length);
        };
        calls.error = [this](hid_device* device) { return device == nullptr ? openError_.c_str() : deviceError_.c_str(); };
        return calls;
    }

private:
    static Transfer Next(std::deque<Transfer>& queue)
    {
        Transfer next = queue.front();
        queue.pop_front();
        return next;
    }

    int Apply(const Transfer& transfer, unsigned char* data, size_t length)
    {
        deviceError_ = transfer.errorText.empty() ? L"Success" : transfer.errorText;
        if (data != nullptr && !transfer.bytes.empty())
            std::memcpy(data, transfer.bytes.data(), std::min(length, transfer.bytes.size()));
        errno = transfer.osError;
        return transfer.result;
    }

    hid_device_info* Enumerate()
    {
        auto& nodes = lists_.emplace_back();
        nodes.resize(listing.size());
        for (size_t i = 0; i < listing.size(); ++i) {
            nodes[i] = hid_device_info{};
            nodes[i].path = const_cast<char*>(listing[i].path.c_str());
            nodes[i].vendor_id = listing[i].vendorId;
            nodes[i].product_id = listing[i].productId;
            nodes[i].next = i + 1 < listing.size() ? &nodes[i + 1] : nullptr;
        }
        return nodes.empty() ? nullptr : nodes.data();
    }

    void Free(hid_device_info* root)
    {
        for (auto it = lists_.begin(); it != lists_.end(); ++it) {
            if (!it->empty() && it->data() == root) {
                lists_.erase(it);
                ++freedLists;
                return;
            }
        }
    }

    hid_device* Open(const char* path)
    {
        openedPaths.emplace_back(path);
        const auto script = opens.find(path);
        if (script != opens.end() && script->second.osError != 0) {
            openError_ = script->second.errorText.empty() ? L"Success" : script->second.errorText;
            errno = script->second.osError;
            return nullptr;
        }
        ++openHandles;
        return reinterpret_cast<hid_device*>(&handleToken_);
    }

    std::list<std::vector<hid_device_info>> lists_;
    std::wstring openError_ = L"Success";
    std::wstring deviceError_ = L"Success";
    int handleToken_ = 0;
};

}  // namespace vornak::linux_hid::testing
