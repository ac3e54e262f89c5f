#include "GrowingFile.h"

#include <climits>
#include <cstring>
#include <new>

int CGrowingFile::Open(IFileHost* /*game*/, const char* /*name*/, unsigned /*mode*/) {
    m_Bytes.clear();
    m_Position = 0;
    return 1;
}

int CGrowingFile::Seek(long offset, int mode) {
    long long target = offset;
    if (mode & FileSeek::Start)
        target = offset;
    else if (mode & FileSeek::Current)
        target = static_cast<long long>(m_Position) + offset;
    else if (mode & FileSeek::End)
        target = static_cast<long long>(m_Bytes.size()) - offset;
    if (target < 0) target = 0;
    if (target > static_cast<long long>(m_Bytes.size())) target = static_cast<long long>(m_Bytes.size());
    m_Position = static_cast<std::size_t>(target);
    return 1;
}

int CGrowingFile::ReadData(void* buffer, int count) {
    if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
    const std::size_t left = m_Bytes.size() - m_Position;
    const std::size_t moved = static_cast<std::size_t>(count) < left ? static_cast<std::size_t>(count) : left;
    if (moved > 0) std::memcpy(buffer, m_Bytes.data() + m_Position, moved);
    m_Position += moved;
    return static_cast<int>(moved);
}

int CGrowingFile::WriteData(const void* buffer, int count) {
    if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
    const std::size_t end = m_Position + static_cast<std::size_t>(count);
    // The size must stay reportable through GetSize.
    if (end > static_cast<std::size_t>(INT_MAX)) return -1;
    if (end > m_Bytes.size()) {
        try {
            m_Bytes.resize(end);
        } catch (const std::bad_alloc&) {
            return -1;
        }
    }
    if (count > 0) std::memcpy(m_Bytes.data() + m_Position, buffer, static_cast<std::size_t>(count));
    m_Position = end;
    return count;
}

int CGrowingFile::Delete(const char* /*name*/) { return -1; }
