#pragma once
// The engine's only containers: a growable array of plain values, an owning array of
// pointers, and a stack. Growth is linear (growBy elements at a time, a full copy each time);
// the block never shrinks. Not thread-safe.

#include <cassert>
#include <cstdlib>
#include <type_traits>

// A growable array of plain records. data, count, capacity and growBy are public: owners
// read data[i] and count directly and test their indexes against count themselves.
template <typename T>
class CQuorvanArray {
    // The array copies elements by assignment into raw malloc memory and never runs their
    // destructors, so only plain records (and pointers) may be stored by value.
    static_assert(std::is_trivially_copyable_v<T>,
                  "CQuorvanArray holds plain records; store pointers to richer objects");

public:
    CQuorvanArray() = default;
    CQuorvanArray(const CQuorvanArray&) = delete;
    CQuorvanArray& operator=(const CQuorvanArray&) = delete;
    // Frees the block; elements are not destroyed and pointed-to objects are not deleted.
    virtual ~CQuorvanArray() { FreeBlock(); }

    // Appends a copy of value. 1 on success; 0 with the array unchanged when a new block
    // cannot be had or the array is inconsistent (no block but a count above 0).
    [[nodiscard]] int Add(const T& value);

    // Removes element index by moving each later element one place down; the block stays.
    // 1 on success, 0 for an index outside 0..count-1.
    int RemoveAt(int index);

    T& operator[](int index) {
        assert(index >= 0 && index < count);
        return data[index];
    }
    const T& operator[](int index) const {
        assert(index >= 0 && index < count);
        return data[index];
    }

    // The element block (malloc, capacity elements); null until the first Add.
    T* data = nullptr;
    // Elements in use, at the front of the block.
    int count = 0;
    // Elements the block holds.
    int capacity = 0;
    // Elements added to the capacity at each growth; owners may set it right after construction.
    int growBy = 1;

protected:
    void FreeBlock() {
        std::free(data);
        data = nullptr;
        count = 0;
        capacity = 0;
    }
};

template <typename T>
int CQuorvanArray<T>::Add(const T& value) {
    if (data == nullptr && count > 0) {
        return 0;
    }
    // A copy first: value may be an element of this array, and growth frees the old block.
    const T copy = value;
    if (capacity <= count || data == nullptr) {
        // A step below 1 would never make room; treat it as 1.
        const int step = growBy > 0 ? growBy : 1;
        const long long newCapacity = static_cast<long long>(capacity) + step;
        if (newCapacity > 0x7FFFFFFF / static_cast<long long>(sizeof(T))) {
            return 0;
        }
        T* block = static_cast<T*>(std::malloc(static_cast<std::size_t>(newCapacity) * sizeof(T)));
        if (block == nullptr) {
            return 0;
        }
        for (int i = 0; i < count; ++i) {
            block[i] = data[i];
        }
        std::free(data);
        data = block;
        capacity = static_cast<int>(newCapacity);
    }
    data[count] = copy;
    ++count;
    return 1;
}

template <typename T>
int CQuorvanArray<T>::RemoveAt(int index) {
    if (index < 0 || index >= count) {
        return 0;
    }
    for (int i = index; i + 1 < count; ++i) {
        data[i] = data[i + 1];
    }
    --count;
    return 1;
}

// A growable array of pointers that owns what its non-null elements point to: the destructor
// and RemoveAll delete each of them exactly once. Used as CQuorvanObjPtrArray<CThing*>.
template <typename P>
class CQuorvanObjPtrArray : public CQuorvanArray<P> {
    static_assert(std::is_pointer_v<P>, "CQuorvanObjPtrArray holds pointers: use <T*>");

public:
    CQuorvanObjPtrArray() = default;
    ~CQuorvanObjPtrArray() override { DeleteElements(); }

    // Appends element and takes ownership of it: 1; when the array cannot grow the element is
    // deleted and 0 returned. A null element is refused with 0.
    [[nodiscard]] int AddOwned(P element) {
        if (element == nullptr) return 0;
        if (this->Add(element)) return 1;
        delete element;
        return 0;
    }

    // Deletes every non-null element, then frees the block; growBy is kept and the array
    // takes new Add calls.
    void RemoveAll() {
        DeleteElements();
        this->FreeBlock();
    }

private:
    void DeleteElements() {
        for (int i = 0; i < this->count; ++i) {
            if (this->data[i] != nullptr) {
                // Null the slot before deleting, so an element whose destructor looks back
                // at the array never sees itself.
                P element = this->data[i];
                this->data[i] = nullptr;
                delete element;
            }
        }
    }
};

// A stack on the growable array. It does not own its elements: whoever pops one deletes it.
template <typename T>
class CQuorvanStack : public CQuorvanArray<T> {
public:
    [[nodiscard]] int Push(const T& value) { return this->Add(value); }

    // Hands back the top element and lowers count; the slot is not cleared. An empty stack
    // is left alone and hands back a value-initialised T (null for pointers).
    T Pop() {
        if (this->count <= 0) {
            return T{};
        }
        --this->count;
        return this->data[this->count];
    }
};
