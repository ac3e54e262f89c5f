// Private to engine/ui: appending to the owning lists of a template. The lists keep their growth
// steps (1 or 5) as their smallest step, but a full list grows by what it already holds, so a list
// of many thousand lines is copied a few times instead of once per line.
#pragma once

#include "core/QuorvanArray.h"

// AddOwned of the owning list, after raising its growth step to its capacity when it is full:
// the capacity doubles from the list's own step on. 1, or 0 with the element deleted.
template <typename P>
[[nodiscard]] int AddToTemplateList(CQuorvanObjPtrArray<P>& list, P element, int smallestStep) {
    if (list.count >= list.capacity) list.growBy = list.capacity > smallestStep ? list.capacity : smallestStep;
    return list.AddOwned(element);
}
