// Feeds arbitrary bytes, as a saved file, to ReadString, and runs every string read through
// the operations that meet outside text: the name hash, substring search, the inline string
// and bounded formatting. A string written back must read back identical.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/CommonString.h"
#include "core/File.h"
#include "core/QuorvanUtils.h"

namespace {

// Reads from the fuzz input in place and appends writes to a vector.
class CFuzzBytesFile : public IFile {
public:
    CFuzzBytesFile(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
    std::vector<std::uint8_t> written;

    int Open(IFileHost*, const char*, unsigned) override { return 1; }
    int IsOpened() override { return 1; }
    int Close() override { return 1; }
    int GetSize() override { return static_cast<int>(size); }
    int Seek(long offset, int) override {
        if (offset < 0 || static_cast<std::size_t>(offset) > size) {
            return 0;
        }
        position = static_cast<std::size_t>(offset);
        return 1;
    }
    int ReadData(void* buffer, int count) override {
        if (count < 0) {
            return -1;
        }
        std::size_t n = size - position;
        if (n > static_cast<std::size_t>(count)) {
            n = static_cast<std::size_t>(count);
        }
        if (n > 0) {
            std::memcpy(buffer, data + position, n);
        }
        position += n;
        return static_cast<int>(n);
    }
    int WriteData(const void* buffer, int count) override {
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        written.insert(written.end(), p, p + count);
        return count;
    }
    int WriteInt(int v) override { return WriteData(&v, 4); }
    int ReadInt(int* v) override { return ReadData(v, 4); }
    int WriteUInt(unsigned int v) override { return WriteData(&v, 4); }
    int ReadUInt(unsigned int* v) override { return ReadData(v, 4); }
    int WriteByte(unsigned char v) override { return WriteData(&v, 1); }
    int ReadByte(unsigned char* v) override { return ReadData(v, 1); }
    int WriteWord(unsigned short v) override { return WriteData(&v, 2); }
    int ReadWord(unsigned short* v) override { return ReadData(v, 2); }
    int Delete(const char*) override { return -1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzBytesFile file(data, size);
    CommonString previous("seed");
    CommonString s;
    while (ReadString(&file, s) == 1) {
        if (s.Length() > 65535) {
            std::abort();
        }
        (void)GetHashCode(s.GetData());
        (void)FindSubstr(&previous, &s);
        (void)FindSubstr(&s, &previous);

        CommonStringRS<50> inlineCopy(s.GetData());
        if (inlineCopy.Length() != s.Length()) {
            std::abort();
        }
        CommonStringRS<50> joined = inlineCopy + CommonStringRS<50>(previous.GetData());
        (void)joined.IsEqual(s.GetData());

        CommonString formatted;
        formatted.Format("%s|%s", s.GetData() != nullptr ? s.GetData() : "", previous.GetData());
        if (formatted.Length() > CommonString::kFormatBufferSize - 1) {
            std::abort();
        }

        CFuzzBytesFile copy(nullptr, 0);
        if (WriteString(&copy, s) != 1) {
            std::abort();
        }
        CFuzzBytesFile back(copy.written.data(), copy.written.size());
        CommonString again;
        if (ReadString(&back, again) != 1 || !(again == s)) {
            std::abort();
        }
        previous = s;
    }
    return 0;
}
