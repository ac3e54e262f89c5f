#pragma once
// The engine's two 8-bit string classes. A character is one char, a length is a byte count,
// and text ends at the first zero byte; no encoding is assumed.
//  - CommonString: a heap buffer of exactly length + 1 bytes (none when empty); the length is
//    computed, never stored.
//  - CommonStringRS<N>: up to N characters inline (an N + 1 byte buffer), longer text in an
//    exact-size heap block; the length is stored.
// Neither class is thread-safe; each string belongs to one thread at a time.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

class IFile;

class CommonString {
public:
    // Work-buffer size of Format: results are cut to 199 characters.
    static constexpr int kFormatBufferSize = 200;

    CommonString() = default;
    // Exact-size copy of the text; null or "" gives the empty string (no buffer).
    CommonString(const char* text);
    // A one-character string; the zero character gives an allocated empty string.
    explicit CommonString(char c);
    CommonString(const CommonString& other);
    CommonString(CommonString&& other) noexcept;
    virtual ~CommonString();

    // Does nothing when text is this string's own buffer; null or "" leaves the empty string.
    CommonString& operator=(const char* text);
    CommonString& operator=(const CommonString& other);
    CommonString& operator=(CommonString&& other) noexcept;

    // Takes ownership of a malloc block holding a zero-terminated text, without copying.
    void Attach(char* block);

    // The text, or null for the empty string.
    char* GetData() { return buffer; }
    const char* GetData() const { return buffer; }
    const char* GetDataConst() const { return buffer; }

    // strlen of the text; 0 without a buffer.
    int Length() const;

    // True when text is non-null, this string has a buffer (possibly holding only the
    // terminator) and the two texts are byte-equal. So an empty string never IsEqual("").
    bool IsEqual(const char* text) const;

    // printf-style; replaces the text. The result is cut to kFormatBufferSize - 1 characters.
    // An empty result leaves an allocated empty string.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);

private:
    // Text plus terminator in a malloc block of exactly length + 1 bytes; null when empty.
    char* buffer = nullptr;
};

// Equal lengths and equal bytes; null, "" and the empty string all compare equal.
bool operator==(const CommonString& a, const CommonString& b);
bool operator==(const CommonString& a, const char* b);
bool operator==(const char* a, const CommonString& b);
// Concatenation into a new exact-size string.
CommonString operator+(const CommonString& a, const CommonString& b);

// Writes the length modulo 65536 as a 16-bit word, then that many bytes (no terminator).
// 1 on success, 0 on a short write or a null file.
[[nodiscard]] int WriteString(IFile* file, CommonString& s);
// Reads a string written by WriteString. 1 on success; 0 with s unchanged when the count or
// the bytes come up short, or memory cannot be had. A count of 0 gives an allocated empty string.
[[nodiscard]] int ReadString(IFile* file, CommonString& s);

// Formats into a 2000-byte work buffer: results are cut to 1999 characters.
constexpr int kCommonStringRSFormatBufferSize = 2000;

namespace common_string_detail {
// vsnprintf into work (size bytes, size >= 1); returns the length of the text it holds, cut to
// size - 1. A null format or a formatting error gives 0.
int FormatInto(char* work, int size, const char* format, va_list args);
}  // namespace common_string_detail

template <int N>
class CommonStringRS {
    static_assert(N > 0, "inline capacity must be positive");

public:
    CommonStringRS() { inlineText[0] = '\0'; }
    // null or "" gives the empty string; up to N characters stay inline.
    CommonStringRS(const char* text);
    CommonStringRS(const CommonStringRS& other);
    CommonStringRS(CommonStringRS&& other) noexcept;
    virtual ~CommonStringRS() { std::free(heap); }

    CommonStringRS& operator=(const CommonStringRS& other);
    CommonStringRS& operator=(CommonStringRS&& other) noexcept;

    // Null when the length is 0; else the heap block when there is one, else the inline buffer.
    char* GetData() { return length == 0 ? nullptr : (heap != nullptr ? heap : inlineText); }
    const char* GetData() const { return length == 0 ? nullptr : (heap != nullptr ? heap : inlineText); }
    int Length() const { return length; }
    // True when the text lives in a heap block (length above N).
    bool IsOnHeap() const { return heap != nullptr; }

    // False for null; else equal length and bytes. The empty string IsEqual("").
    bool IsEqual(const char* text) const;

    // printf-style; replaces the text; cut to kCommonStringRSFormatBufferSize - 1 characters.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);

    friend bool operator==(const CommonStringRS& a, const char* b) { return a.IsEqual(b); }
    friend bool operator==(const CommonStringRS& a, const CommonStringRS& b) {
        return a.length == b.length && (a.length == 0 || std::memcmp(a.GetData(), b.GetData(), a.length) == 0);
    }
    friend CommonStringRS operator+(const CommonStringRS& a, const CommonStringRS& b) {
        if (b.length == 0) {
            return a;
        }
        if (a.length == 0) {
            return b;
        }
        CommonStringRS result;
        result.Place(a.GetData(), a.length, b.GetData(), b.length);
        return result;
    }

private:
    // Sets the text to first followed by second (second may be null with secondLength 0);
    // the previous heap block must already be released.
    void Place(const char* first, int firstLength, const char* second, int secondLength);
    void Release();

    char inlineText[N + 1];
    char* heap = nullptr;
    int length = 0;
};

template <int N>
CommonStringRS<N>::CommonStringRS(const char* text) {
    inlineText[0] = '\0';
    if (text != nullptr) {
        Place(text, static_cast<int>(std::strlen(text)), nullptr, 0);
    }
}

template <int N>
CommonStringRS<N>::CommonStringRS(const CommonStringRS& other) {
    inlineText[0] = '\0';
    Place(other.GetData(), other.length, nullptr, 0);
}

template <int N>
CommonStringRS<N>::CommonStringRS(CommonStringRS&& other) noexcept {
    inlineText[0] = '\0';
    if (other.heap != nullptr) {
        heap = std::exchange(other.heap, nullptr);
        length = std::exchange(other.length, 0);
    } else {
        Place(other.GetData(), other.length, nullptr, 0);
    }
}

template <int N>
CommonStringRS<N>& CommonStringRS<N>::operator=(const CommonStringRS& other) {
    if (this != &other) {
        Release();
        Place(other.GetData(), other.length, nullptr, 0);
    }
    return *this;
}

template <int N>
CommonStringRS<N>& CommonStringRS<N>::operator=(CommonStringRS&& other) noexcept {
    if (this != &other) {
        Release();
        if (other.heap != nullptr) {
            heap = std::exchange(other.heap, nullptr);
            length = std::exchange(other.length, 0);
        } else {
            Place(other.GetData(), other.length, nullptr, 0);
        }
    }
    return *this;
}

template <int N>
bool CommonStringRS<N>::IsEqual(const char* text) const {
    if (text == nullptr) {
        return false;
    }
    if (static_cast<int>(std::strlen(text)) != length) {
        return false;
    }
    return length == 0 || std::memcmp(GetData(), text, length) == 0;
}

template <int N>
void CommonStringRS<N>::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

template <int N>
void CommonStringRS<N>::FormatV(const char* format, va_list args) {
    // Formatting first lets the arguments refer to this string's own text.
    char work[kCommonStringRSFormatBufferSize];
    const int written = common_string_detail::FormatInto(work, sizeof work, format, args);
    Release();
    Place(work, written, nullptr, 0);
}

template <int N>
void CommonStringRS<N>::Release() {
    std::free(heap);
    heap = nullptr;
    length = 0;
    inlineText[0] = '\0';
}

template <int N>
void CommonStringRS<N>::Place(const char* first, int firstLength, const char* second, int secondLength) {
    const int total = firstLength + secondLength;
    char* target = inlineText;
    if (total > N) {
        target = static_cast<char*>(std::malloc(static_cast<std::size_t>(total) + 1));
        if (target == nullptr) {
            // Out of memory: stay the empty string rather than write past the inline buffer.
            length = 0;
            inlineText[0] = '\0';
            return;
        }
        heap = target;
    }
    if (firstLength > 0) {
        std::memcpy(target, first, firstLength);
    }
    if (secondLength > 0) {
        std::memcpy(target + firstLength, second, secondLength);
    }
    target[total] = '\0';
    length = total;
}
