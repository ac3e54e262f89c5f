// Field helpers of the player-data records, shared by the profile, the high-score tables and the
// player data. They keep the stored format and make the reader distrust the counts it finds:
//  - a negative count fails the record;
//  - a fixed-capacity array whose count is above its capacity reads its capacity and skips the
//    rest, so the fields after it stay aligned; missing items below the capacity read as zero;
//  - any other list count must fit in the bytes left (at its smallest item size), and the list
//    stops at its first failed item, so a damaged count can neither allocate without bound nor
//    loop for long.
// A failure clears the helper's ok flag, so the record's Succeeded() reports it.
#pragma once

#include <new>
#include <type_traits>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "core/Serializer.h"

namespace savefields {

// Bytes between the file's position and its end; 0 when the file cannot tell.
long long BytesLeft(IFile* file);

// Moves past n stored bytes; clears ok when the file holds fewer.
void Skip(SerializeHelper2& h, long long n);

// Writing stores count. Reading takes it and checks it against the rules above (minItemBytes:
// the smallest stored size of one item); false, with ok cleared, when it breaks them.
bool SerializeListCount(SerializeHelper2& h, int& count, int minItemBytes);

// The count in front of a fixed-capacity array: written as the capacity; read, the stored count
// (any non-negative one), or -1 with ok cleared when it is negative.
int SerializeFixedCount(SerializeHelper2& h, int capacity);

// After the first min(count, capacity) items of a fixed array were read: clears the items the
// record did not hold and skips those it held beyond the capacity, itemBytes each.
template <class T>
void FinishFixedRead(SerializeHelper2& h, T* items, int count, int capacity, int itemBytes) {
    const int kept = count < capacity ? count : capacity;
    for (int i = kept; i < capacity; ++i) items[i] = T{};
    Skip(h, (static_cast<long long>(count) - kept) * itemBytes);
}

// A fixed array of one-byte items (chars, bools, signed chars) with its count in front: written
// as its capacity and every item; read as described above. Bools read any non-zero byte as true.
template <class T>
void SerializeFixedBytes(SerializeHelper2& h, T* items, int capacity) {
    static_assert(sizeof(T) == 1, "one stored byte per item");
    const int count = SerializeFixedCount(h, capacity);
    if (count < 0) return;
    for (int i = 0; i < count && i < capacity; ++i) {
        if constexpr (std::is_same_v<T, bool>)
            h.Serialize(items[i]);
        else
            h.Serialize(&items[i], 1);
    }
    if (!h.writing) FinishFixedRead(h, items, count, capacity, 1);
}

// Lets an array that a reader fills grow by its own size, so a long list costs linear time
// whatever its growth step; the reader puts the step back when the list is read.
template <class A>
void GrowBySize(A& array) {
    if (array.count > array.growBy) array.growBy = array.count;
}

// Appends an item made while reading, growing as GrowBySize does; on failure deletes it.
template <class T>
bool AppendRead(CQuorvanObjPtrArray<T*>& list, T* item) {
    if (item == nullptr) return false;
    const int step = list.growBy;
    GrowBySize(list);
    const bool added = list.Add(item) != 0;
    list.growBy = step;
    if (!added) delete item;
    return added;
}

// A list of owned records: its count, then each record through item(T&), which moves one record
// through the file and answers whether it moved whole. Reading empties the list first and makes
// and appends each record before it is read; false at the first failure.
template <class T, class Item>
bool SerializeList(SerializeHelper2& h, CQuorvanObjPtrArray<T*>& list, int minItemBytes, Item item) {
    int count = list.count;
    if (!SerializeListCount(h, count, minItemBytes)) return false;
    if (!h.writing) list.RemoveAll();
    for (int i = 0; i < count; ++i) {
        if (!h.writing && !AppendRead(list, new (std::nothrow) T())) {
            h.ok = false;
            return false;
        }
        if (!item(*list.data[i])) {
            h.ok = false;
            return false;
        }
    }
    return true;
}

// A list of strings: count, then each string.
bool SerializeStringList(SerializeHelper2& h, CQuorvanObjPtrArray<CommonString*>& list);

// Removes element i of an owning list and deletes it.
template <class T>
void DeleteAt(CQuorvanObjPtrArray<T*>& list, int i) {
    T* item = list.data[i];
    list.RemoveAt(i);
    delete item;
}

// Index of the last string equal to text, or -1.
int FindLast(const CQuorvanObjPtrArray<CommonString*>& list, const CommonString& text);

}  // namespace savefields
