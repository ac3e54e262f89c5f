// A stand-in for the web in the news suites: installs itself as the download function and answers
// addresses from a table; it counts the requests and can hold a download until released, to test
// an owner that goes away meanwhile. Any thread may download through it.
#pragma once

#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/WebDownload.h"

class CFakeWeb {
public:
    CFakeWeb() {
        std::lock_guard<std::mutex> lock(Mutex());
        Current() = this;
        m_Previous = platform::SetWebDownloadFunction(&Download);
    }
    ~CFakeWeb() {
        Release();
        platform::SetWebDownloadFunction(m_Previous);
        std::lock_guard<std::mutex> lock(Mutex());
        Current() = nullptr;
    }

    void Serve(const std::string& address, const std::vector<unsigned char>& bytes) {
        std::lock_guard<std::mutex> lock(Mutex());
        m_Pages[address] = bytes;
    }
    void Serve(const std::string& address, const std::string& text) {
        Serve(address, std::vector<unsigned char>(text.begin(), text.end()));
    }
    // Downloads wait in the fake until Release.
    void Hold() {
        std::lock_guard<std::mutex> lock(Mutex());
        m_bHold = true;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(Mutex());
        m_bHold = false;
        m_Released.notify_all();
    }
    // Lets exactly one held download through; the others stay held.
    void ReleaseOne() {
        std::lock_guard<std::mutex> lock(Mutex());
        ++m_nPasses;
        m_Released.notify_all();
    }
    // Waits until the address was asked for `count` times and a download is waiting in the fake.
    void WaitForHeldRequest(const std::string& address, int count) {
        std::unique_lock<std::mutex> lock(Mutex());
        m_Released.wait(lock, [&] { return m_Requests[address] >= count && m_nWaiting > 0; });
    }
    // Waits until a download is waiting in the fake.
    void WaitForHeldDownload() {
        std::unique_lock<std::mutex> lock(Mutex());
        m_Released.wait(lock, [this] { return m_nWaiting > 0; });
    }
    int Requests(const std::string& address) {
        std::lock_guard<std::mutex> lock(Mutex());
        return m_Requests[address];
    }

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static CFakeWeb*& Current() {
        static CFakeWeb* current = nullptr;
        return current;
    }
    static int Download(const char* address, unsigned char* buffer, int capacity, int* size) {
        std::unique_lock<std::mutex> lock(Mutex());
        CFakeWeb* web = Current();
        *size = 0;
        if (web == nullptr) return 0;
        ++web->m_Requests[address];
        ++web->m_nWaiting;
        web->m_Released.notify_all();
        web->m_Released.wait(lock, [web] { return !web->m_bHold || web->m_nPasses > 0; });
        if (web->m_bHold) --web->m_nPasses;
        --web->m_nWaiting;
        const auto page = web->m_Pages.find(address);
        if (page == web->m_Pages.end() || static_cast<int>(page->second.size()) > capacity) return 0;
        if (!page->second.empty()) std::memcpy(buffer, page->second.data(), page->second.size());
        *size = static_cast<int>(page->second.size());
        return 1;
    }

    platform::WebDownloadFunction m_Previous = nullptr;
    std::map<std::string, std::vector<unsigned char>> m_Pages;
    std::map<std::string, int> m_Requests;
    bool m_bHold = false;
    int m_nWaiting = 0;
    int m_nPasses = 0;  // held downloads ReleaseOne still lets through
    std::condition_variable m_Released;
};
