// Field transfers shared by SerializeHelper2 and the older SerializeHelper. Only the mechanics
// live here: each helper keeps its own rules for what a failure does to ok, shortfall and the
// variable, because records written with either helper must keep reading the same way.
#pragma once

#include <climits>
#include <cstdlib>

#include "core/CommonString.h"
#include "core/File.h"

namespace serialize_detail {

// Moves one fixed-size field through WriteData/ReadData and returns the count the file reported.
inline int Transfer(IFile* file, bool writing, void* bytes, int count) {
    return writing ? file->WriteData(bytes, count) : file->ReadData(bytes, count);
}

inline int TransferInt(IFile* file, bool writing, int& value) {
    return writing ? file->WriteInt(value) : file->ReadInt(&value);
}

// Writes a string field: a 4-byte count, then the characters, one byte each or, wide, each
// followed by a zero high byte. False when the file took less than that.
inline bool WriteText(IFile* file, const CommonString& s, bool wide) {
    const int length = s.Length();
    if (file->WriteInt(length) != 4) return false;
    if (length < 1) return true;
    const char* text = s.GetData();
    if (!wide) return file->WriteData(text, length) == length;
    const char zero = 0;
    for (int i = 0; i < length; ++i) {
        if (file->WriteData(&text[i], 1) != 1 || file->WriteData(&zero, 1) != 1) return false;
    }
    return true;
}

// How reading a string field ended; the caller decides what a failure does to the variable.
enum class TextRead {
    kRead,       // s holds the stored text (the empty string for a count below 1)
    kNoCount,    // the count itself was short
    kTooLong,    // stored count above the caller's limit
    kNoMemory,   // the block could not be allocated
    kShortText,  // the characters ran out
};

// Reads a string field written by WriteText into s; on any failure s is left as it was and
// nothing stays allocated. The block is sized from the count without overflow (count + 1 as
// size_t).
inline TextRead ReadText(IFile* file, bool wide, int max_count, CommonString& s) {
    int count = 0;
    if (file->ReadInt(&count) != 4) return TextRead::kNoCount;
    if (count < 1) {
        s = CommonString();
        return TextRead::kRead;
    }
    if (count > max_count) return TextRead::kTooLong;
    // A count beyond what is left in the file can only end in a short read; knowing that before
    // the block is allocated keeps a damaged count from costing gigabytes. Files that cannot
    // tell their position (-1) are read as before.
    const long long size = file->GetSize();
    const long long position = file->GetCurPos();
    const long long needed = wide ? 2LL * count : static_cast<long long>(count);
    if (size >= 0 && position >= 0 && needed > size - position) return TextRead::kShortText;
    char* block = static_cast<char*>(std::calloc(static_cast<std::size_t>(count) + 1, 1));
    if (!block) return TextRead::kNoMemory;
    bool whole = true;
    if (!wide) {
        whole = file->ReadData(block, count) == count;
    } else {
        for (int i = 0; i < count && whole; ++i) {
            char high = 0;
            whole = file->ReadData(&block[i], 1) == 1 && file->ReadData(&high, 1) == 1;
        }
    }
    if (!whole) {
        std::free(block);
        return TextRead::kShortText;
    }
    block[count] = '\0';
    s.Attach(block);
    return TextRead::kRead;
}

// The older helper sets no upper bound on a stored count: a huge one fails on the read (before
// anything is allocated when the file knows its size and position).
inline constexpr int kNoTextLimit = INT_MAX;

}  // namespace serialize_detail
