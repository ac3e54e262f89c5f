#include "SaveFields.h"

#include "core/File.h"

namespace savefields {

long long BytesLeft(IFile* file) {
    const int size = file->GetSize();
    const int position = file->GetCurPos();
    if (size < 0 || position < 0 || position > size) return 0;
    return static_cast<long long>(size) - position;
}

void Skip(SerializeHelper2& h, long long n) {
    if (n <= 0) return;
    if (n > BytesLeft(h.file)) {
        h.ok = false;
        return;
    }
    if (!h.file->Seek(static_cast<long>(n), FileSeek::Current)) h.ok = false;
}

bool SerializeListCount(SerializeHelper2& h, int& count, int minItemBytes) {
    h.Serialize(count);
    if (h.writing) return h.Succeeded() != 0;
    if (!h.Succeeded() || count < 0 || static_cast<long long>(count) * minItemBytes > BytesLeft(h.file)) {
        h.ok = false;
        return false;
    }
    return true;
}

int SerializeFixedCount(SerializeHelper2& h, int capacity) {
    int count = capacity;
    h.Serialize(count);
    if (!h.writing && count < 0) {
        h.ok = false;
        return -1;
    }
    return count;
}

bool SerializeStringList(SerializeHelper2& h, CQuorvanObjPtrArray<CommonString*>& list) {
    return SerializeList(h, list, 4, [&h](CommonString& text) {
        h.Serialize(text);
        return h.Succeeded() != 0;
    });
}

int FindLast(const CQuorvanObjPtrArray<CommonString*>& list, const CommonString& text) {
    for (int i = list.count - 1; i >= 0; --i)
        if (*list.data[i] == text) return i;
    return -1;
}

}  // namespace savefields
