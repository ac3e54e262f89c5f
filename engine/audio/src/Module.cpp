#include "audio/Module.h"

#include <cstdlib>

Module::~Module() { destroy(); }

bool Module::load(void* data) {
    destroy();
    if (!data) return false;
    m_data = data;
    m_ownsData = false;
    return true;
}

void Module::destroy() {
    if (m_ownsData) std::free(m_data);
    m_data = nullptr;
    m_ownsData = false;
}

int snd_getNumPattern(const unsigned char* header, std::size_t size) {
    constexpr std::size_t kSongLength = 950, kOrders = 952, kMaxOrders = 128;
    if (!header || size < kOrders + kMaxOrders) return 0;
    std::size_t length = header[kSongLength];
    if (length > kMaxOrders) length = kMaxOrders;
    int largest = -1;
    for (std::size_t i = 0; i < length; ++i)
        if (header[kOrders + i] > largest) largest = header[kOrders + i];
    return largest < 0 ? 1 : largest + 1;
}
