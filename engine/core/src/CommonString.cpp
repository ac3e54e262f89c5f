#include "core/CommonString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// An exact-size malloc copy of length bytes plus a terminator, or null when memory is short.
char* CopyBlock(const char* text, std::size_t length) {
    char* block = static_cast<char*>(std::malloc(length + 1));
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, text, length);
    block[length] = '\0';
    return block;
}

// Copy of a text for the string invariant: null or "" stays without a buffer.
char* CopyText(const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return nullptr;
    }
    return CopyBlock(text, std::strlen(text));
}

}  // namespace

CommonString::CommonString(const char* text) : buffer(CopyText(text)) {}

CommonString::CommonString(char c) : buffer(static_cast<char*>(std::malloc(2))) {
    if (buffer != nullptr) {
        buffer[0] = c;
        buffer[1] = '\0';
    }
}

CommonString::CommonString(const CommonString& other) : buffer(CopyText(other.buffer)) {}

CommonString::CommonString(CommonString&& other) noexcept : buffer(std::exchange(other.buffer, nullptr)) {}

CommonString::~CommonString() { std::free(buffer); }

CommonString& CommonString::operator=(const char* text) {
    if (text == buffer) {
        return *this;
    }
    // Copy before freeing: text may point into our own buffer (a suffix of it).
    char* copy = CopyText(text);
    std::free(buffer);
    buffer = copy;
    return *this;
}

CommonString& CommonString::operator=(const CommonString& other) {
    if (this != &other) {
        char* copy = CopyText(other.buffer);
        std::free(buffer);
        buffer = copy;
    }
    return *this;
}

CommonString& CommonString::operator=(CommonString&& other) noexcept {
    if (this != &other) {
        std::free(buffer);
        buffer = std::exchange(other.buffer, nullptr);
    }
    return *this;
}

void CommonString::Attach(char* block) {
    if (block == buffer) {
        return;
    }
    std::free(buffer);
    buffer = block;
}

int CommonString::Length() const { return buffer != nullptr ? static_cast<int>(std::strlen(buffer)) : 0; }

bool CommonString::IsEqual(const char* text) const {
    return text != nullptr && buffer != nullptr && std::strcmp(buffer, text) == 0;
}

int common_string_detail::FormatInto(char* work, int size, const char* format, va_list args) {
    int written = format != nullptr ? std::vsnprintf(work, static_cast<std::size_t>(size), format, args) : 0;
    if (written < 0) {
        written = 0;
    }
    if (written > size - 1) {
        written = size - 1;
    }
    return written;
}

void CommonString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CommonString::FormatV(const char* format, va_list args) {
    // Formatting into the work buffer first lets the arguments refer to our own text.
    char work[kFormatBufferSize];
    const int written = common_string_detail::FormatInto(work, sizeof work, format, args);
    // An empty result still gets its 1-byte block: callers test IsEqual("") on it.
    char* copy = CopyBlock(work, static_cast<std::size_t>(written));
    std::free(buffer);
    buffer = copy;
}

bool operator==(const CommonString& a, const CommonString& b) {
    const char* ta = a.GetData() != nullptr ? a.GetData() : "";
    const char* tb = b.GetData() != nullptr ? b.GetData() : "";
    return std::strcmp(ta, tb) == 0;
}

bool operator==(const CommonString& a, const char* b) {
    const char* ta = a.GetData() != nullptr ? a.GetData() : "";
    return std::strcmp(ta, b != nullptr ? b : "") == 0;
}

bool operator==(const char* a, const CommonString& b) { return b == a; }

CommonString operator+(const CommonString& a, const CommonString& b) {
    const int lengthB = b.Length();
    if (lengthB == 0) {
        return a;
    }
    const int lengthA = a.Length();
    if (lengthA == 0) {
        return b;
    }
    char* block = static_cast<char*>(std::malloc(static_cast<std::size_t>(lengthA) + lengthB + 1));
    CommonString result;
    if (block == nullptr) {
        return result;
    }
    std::memcpy(block, a.GetData(), lengthA);
    std::memcpy(block + lengthA, b.GetData(), static_cast<std::size_t>(lengthB) + 1);
    result.Attach(block);
    return result;
}
