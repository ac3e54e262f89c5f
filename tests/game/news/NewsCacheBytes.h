#pragma once
// news.fed written field by field from its layout, for the suites that need a cache on disk:
// little-endian int32s, strings as an int32 length and the bytes.

#include <fstream>
#include <string>
#include <vector>

class CCacheBytes {
public:
    CCacheBytes& Int(int v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    CCacheBytes& Str(const std::string& s) {
        Int(static_cast<int>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // One item with one picture.
    CCacheBytes& Item(int id, const std::string& url, int shown, const std::string& local) {
        return Int(id).Int(1).Str(url).Int(1).Int(shown).Str("p.jpg").Str(local).Int(132).Int(16);
    }
    std::vector<unsigned char> bytes;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
