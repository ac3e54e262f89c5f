#pragma once
// Save-file bytes written by hand, field by field, in the serializer's stored encodings: ints
// 4 bytes little-endian, bools and chars 1 byte, a text as its 4-byte length then its bytes.
// Golden fixtures are built with it from the layout tables, never by the writer under test.

#include <cstdint>
#include <string>
#include <vector>

class CByteBuilder {
public:
    using Bytes = std::vector<std::uint8_t>;

    CByteBuilder& Int(std::int64_t value) {
        const auto u = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(u >> shift));
        return *this;
    }
    CByteBuilder& Bool(bool value) { return Byte(value ? 1 : 0); }
    CByteBuilder& Byte(int value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        return *this;
    }
    // The text as the serializer stores a string: its length, then its bytes without terminator.
    CByteBuilder& Str(const std::string& text) {
        Int(static_cast<std::int64_t>(text.size()));
        return Raw(text);
    }
    // Bytes as they stand.
    CByteBuilder& Raw(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    CByteBuilder& Raw(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    CByteBuilder& Zeros(std::size_t count) {
        bytes.insert(bytes.end(), count, 0);
        return *this;
    }

    Bytes bytes;
};
