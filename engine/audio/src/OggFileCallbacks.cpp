#include "OggFileCallbacks.h"

#include "core/File.h"

namespace {

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    const unsigned long long bytes = static_cast<unsigned long long>(size) * count;
    if (bytes == 0 || bytes > 0x7FFFFFFF) return 0;
    const int got = static_cast<IFile*>(source)->ReadData(buffer, static_cast<int>(bytes));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<IFile*>(source);
    int mode = whence;
    if (whence == SEEK_SET) {
        mode = FileSeek::Start;
    } else if (whence == SEEK_CUR) {
        mode = FileSeek::Current;
    } else if (whence == SEEK_END) {
        // Tremor only ever seeks to the end with offset 0, so the offset passes unchanged (our
        // file kinds do not agree on the sign of End offsets).
        mode = FileSeek::End;
    }
    // A failed seek must read as one: Tremor would otherwise trust the old position.
    if (!file->Seek(static_cast<long>(offset), mode)) return -1;
    return file->GetCurPos();
}

int CloseCallback(void*) { return 1; }

long TellCallback(void* source) { return static_cast<IFile*>(source)->GetCurPos(); }

}  // namespace

ov_callbacks OggFileCallbacks() {
    ov_callbacks callbacks;
    callbacks.read_func = &ReadCallback;
    callbacks.seek_func = &SeekCallback;
    callbacks.close_func = &CloseCallback;
    callbacks.tell_func = &TellCallback;
    return callbacks;
}
