// An in-memory IFile for the core tests, whose failures can be dictated: `failing` makes every
// transfer report -1, `capacity` makes writes short once the data would grow past it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/File.h"

class CVectorFile : public IFile {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit CVectorFile(Bytes bytes = {}) : data(std::move(bytes)) {}

    int Open(IFileHost*, const char*, unsigned) override { return 1; }
    int IsOpened() override { return 1; }
    int Close() override { return 1; }
    int GetSize() override { return static_cast<int>(data.size()); }
    int Seek(long offset, int) override {
        position = static_cast<std::size_t>(offset);
        return 1;
    }
    int ReadData(void* buffer, int count) override {
        if (failing) return -1;
        const std::size_t left = position < data.size() ? data.size() - position : 0;
        const std::size_t moved = std::min<std::size_t>(left, static_cast<std::size_t>(count));
        if (moved) std::memcpy(buffer, data.data() + position, moved);
        position += moved;
        return static_cast<int>(moved);
    }
    int WriteData(const void* buffer, int count) override {
        if (failing) return -1;
        std::size_t moved = static_cast<std::size_t>(count);
        if (position + moved > capacity) moved = capacity > position ? capacity - position : 0;
        if (data.size() < position + moved) data.resize(position + moved);
        if (moved) std::memcpy(data.data() + position, buffer, moved);
        position += moved;
        return static_cast<int>(moved);
    }
    int WriteInt(int v) override { return WriteData(&v, 4); }
    int ReadInt(int* v) override { return ReadData(v, 4); }
    int WriteUInt(unsigned v) override { return WriteData(&v, 4); }
    int ReadUInt(unsigned* v) override { return ReadData(v, 4); }
    int WriteByte(unsigned char v) override { return WriteData(&v, 1); }
    int ReadByte(unsigned char* v) override { return ReadData(v, 1); }
    int WriteWord(unsigned short v) override { return WriteData(&v, 2); }
    int ReadWord(unsigned short* v) override { return ReadData(v, 2); }
    int Delete(const char*) override { return -1; }

    Bytes data;
    std::size_t position = 0;
    bool failing = false;
    std::size_t capacity = SIZE_MAX;
};
