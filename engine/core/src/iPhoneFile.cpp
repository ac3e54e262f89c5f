#include "core/iPhoneFile.h"

#include <bit>
#include <cerrno>
#include <cstring>

// Typed transfers move the variable's own bytes, which are the stored little-endian form only
// on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "typed file transfers assume little-endian");
static_assert(sizeof(int) == 4 && sizeof(unsigned short) == 2, "stored widths are 4 and 2 bytes");

CiPhoneFile::~CiPhoneFile() { Close(); }

const char* CiPhoneFile::StreamModeFor(unsigned mode) {
    const char* text = nullptr;
    if (mode & FileMode::Read)
        text = "rb";
    else if (mode & FileMode::Write)
        text = "wb";
    // Append is decided last so that it overrides Read: 6 appends, 5 truncates.
    if (mode & FileMode::Append) text = (mode & FileMode::Write) ? "wb" : "ab";
    return text;
}

int CiPhoneFile::Open(IFileHost* /*game*/, const char* name, unsigned mode) {
    const char* streamMode = StreamModeFor(mode);
    if (!streamMode || !name) return 0;
    Close();
    stream_ = std::fopen(name, streamMode);
    if (!stream_) {
        const int error = errno;
        if (error == ENOENT && (mode & FileMode::MayBeMissing)) return 0;
        std::fprintf(stderr, "fopen failed: FileName = '%s'\n", name);
        std::fprintf(stderr, "(Error #%d generated: '%s')\n\n", error, std::strerror(error));
        return 0;
    }
    return IsOpened();
}

int CiPhoneFile::IsOpened() { return stream_ != nullptr ? 1 : 0; }

int CiPhoneFile::Close() {
    if (!stream_) return 1;
    // fclose writes out what is still buffered; a full or failing disk shows only here.
    const int closed = std::fclose(stream_);
    stream_ = nullptr;
    return closed == 0 ? 1 : 0;
}

int CiPhoneFile::GetSize() {
    if (!stream_) return 0;
    const long position = std::ftell(stream_);
    if (position < 0 || std::fseek(stream_, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(stream_);
    std::fseek(stream_, position, SEEK_SET);
    return static_cast<int>(size);
}

int CiPhoneFile::Seek(long offset, int mode) {
    if (!stream_) return 0;
    int origin = SEEK_SET;
    if (mode & FileSeek::Start)
        origin = SEEK_SET;
    else if (mode & FileSeek::Current)
        origin = SEEK_CUR;
    else if (mode & FileSeek::End)
        origin = SEEK_END;
    return std::fseek(stream_, offset, origin) == 0 ? 1 : 0;
}

int CiPhoneFile::ReadData(void* buffer, int count) {
    if (!stream_ || count < 0 || (count > 0 && !buffer)) return -1;
    if (count == 0) return 0;
    const std::size_t moved = std::fread(buffer, 1, static_cast<std::size_t>(count), stream_);
    if (std::ferror(stream_)) return -1;
    return static_cast<int>(moved);
}

int CiPhoneFile::WriteData(const void* buffer, int count) {
    if (!stream_ || count < 0 || (count > 0 && !buffer)) return -1;
    if (count == 0) return 0;
    const std::size_t moved = std::fwrite(buffer, 1, static_cast<std::size_t>(count), stream_);
    if (std::ferror(stream_)) return -1;
    return static_cast<int>(moved);
}

int CiPhoneFile::WriteInt(int value) { return WriteData(&value, sizeof value); }
int CiPhoneFile::ReadInt(int* value) { return ReadData(value, sizeof *value); }
int CiPhoneFile::WriteUInt(unsigned int value) { return WriteData(&value, sizeof value); }
int CiPhoneFile::ReadUInt(unsigned int* value) { return ReadData(value, sizeof *value); }
int CiPhoneFile::WriteByte(unsigned char value) { return WriteData(&value, sizeof value); }
int CiPhoneFile::ReadByte(unsigned char* value) { return ReadData(value, sizeof *value); }
int CiPhoneFile::WriteWord(unsigned short value) { return WriteData(&value, sizeof value); }
int CiPhoneFile::ReadWord(unsigned short* value) { return ReadData(value, sizeof *value); }

int CiPhoneFile::GetCurPos() {
    if (!stream_) return -1;
    return static_cast<int>(std::ftell(stream_));
}

int CiPhoneFile::Delete(const char* name) {
    if (!name) return -1;
    return std::remove(name) == 0 ? 0 : -1;
}
