#include "game/widgets/RecordReading.h"

#include <cstdlib>

#include "core/File.h"

namespace gameplay {

long long BytesLeftIn(IFile* file) {
    const int size = file->GetSize();
    const int position = file->GetCurPos();
    if (size < 0 || position < 0 || position > size) return 0;
    return static_cast<long long>(size) - position;
}

bool SerializeCount(SerializeHelper2& h, int& count, int minItemBytes) {
    h.Serialize(count);
    if (h.writing) return h.Succeeded() != 0;
    if (h.Succeeded() == 0 || count < 0 || static_cast<long long>(count) * minItemBytes > BytesLeftIn(h.file)) {
        h.ok = false;
        return false;
    }
    return true;
}

void SerializeCheckedString(SerializeHelper2& h, CommonString& s) {
    if (h.writing) {
        h.Serialize(s);
        return;
    }
    int count = 0;
    if (!SerializeCount(h, count, 1)) return;
    if (count == 0) {
        s = CommonString();
        return;
    }
    char* block = static_cast<char*>(std::calloc(static_cast<std::size_t>(count) + 1, 1));
    if (block == nullptr) {
        h.ok = false;
        return;
    }
    const int shortfall = h.shortfall;
    h.Serialize(block, count);
    if (h.shortfall != shortfall) {
        std::free(block);
        return;
    }
    s.Attach(block);
}

}  // namespace gameplay
