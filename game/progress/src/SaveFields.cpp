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

bool SerializeStringList(SerializeHelper2& h, CQuorvanObjPtrArray<CommonString*>& list) {
    int count = list.count;
    if (!SerializeListCount(h, count, 4)) return false;
    if (!h.writing) list.RemoveAll();
    for (int i = 0; i < count; ++i) {
        if (!h.writing && !AppendRead(list, new (std::nothrow) CommonString())) {
            h.ok = false;
            return false;
        }
        h.Serialize(*list.data[i]);
        if (!h.Succeeded()) return false;
    }
    return true;
}

int FindLast(const CQuorvanObjPtrArray<CommonString*>& list, const CommonString& text) {
    for (int i = list.count - 1; i >= 0; --i)
        if (*list.data[i] == text) return i;
    return -1;
}

}  // namespace savefields
