// A file held in a byte buffer that grows with every write past its end: save files are
// serialised into it whatever their size, then written to the disk in one piece. Reads and seeks
// work as on a memory file, so the same serialiser can read it back. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "core/File.h"

class CGrowingFile : public IFile {
public:
    CGrowingFile() = default;

    int Open(IFileHost* game, const char* name, unsigned mode) override;
    int IsOpened() override { return 1; }
    int Close() override { return 1; }
    int GetSize() override { return static_cast<int>(m_Bytes.size()); }
    // Clamped into 0..size, as a memory file does; always 1.
    int Seek(long offset, int mode) override;
    int ReadData(void* buffer, int count) override;
    // Writes all count bytes at the position, growing the buffer; -1 only when memory runs out.
    int WriteData(const void* buffer, int count) override;
    int WriteInt(int value) override { return WriteData(&value, 4); }
    int ReadInt(int* value) override { return ReadData(value, 4); }
    int WriteUInt(unsigned int value) override { return WriteData(&value, 4); }
    int ReadUInt(unsigned int* value) override { return ReadData(value, 4); }
    int WriteByte(unsigned char value) override { return WriteData(&value, 1); }
    int ReadByte(unsigned char* value) override { return ReadData(value, 1); }
    int WriteWord(unsigned short value) override { return WriteData(&value, 2); }
    int ReadWord(unsigned short* value) override { return ReadData(value, 2); }
    int GetCurPos() override { return static_cast<int>(m_Position); }
    int Delete(const char* name) override;

    const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }

private:
    std::vector<std::uint8_t> m_Bytes;
    std::size_t m_Position = 0;
};
