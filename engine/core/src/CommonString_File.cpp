#include <cstdlib>

#include "core/CommonString.h"
#include "core/File.h"

int WriteString(IFile* file, CommonString& s) {
    if (file == nullptr) {
        return 0;
    }
    // The count is 16 bits: longer text is cut to its length modulo 65536, as stored.
    const unsigned short count = static_cast<unsigned short>(s.Length() & 0xFFFF);
    if (file->WriteWord(count) != 2) {
        return 0;
    }
    if (count == 0) {
        return 1;
    }
    return file->WriteData(s.GetData(), count) == count ? 1 : 0;
}

int ReadString(IFile* file, CommonString& s) {
    if (file == nullptr) {
        return 0;
    }
    unsigned short count = 0;
    if (file->ReadWord(&count) != 2) {
        return 0;
    }
    char* block = static_cast<char*>(std::malloc(static_cast<std::size_t>(count) + 1));
    if (block == nullptr) {
        return 0;
    }
    // A short read means a damaged or truncated file: keep the old text instead of taking
    // whatever bytes the block happened to hold.
    if (count > 0 && file->ReadData(block, count) != count) {
        std::free(block);
        return 0;
    }
    block[count] = '\0';
    s.Attach(block);
    return 1;
}
