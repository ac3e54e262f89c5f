// How the gameplay objects read their saved records without trusting them: a count or a text
// length is checked against the bytes left in the file before anything is made for it, so a
// damaged record fails at once instead of allocating without bound. A failure clears the
// helper's ok flag, so the record's Succeeded() reports it.
#pragma once

#include "core/CommonString.h"
#include "core/Serializer.h"

namespace gameplay {

// Bytes between the file's position and its end; 0 when the file cannot tell.
long long BytesLeftIn(IFile* file);

// A stored count: written as it stands; read, it must be 0 or more and at most what the bytes
// left can hold at minItemBytes an item. False (ok cleared) when it breaks that or did not read.
bool SerializeCount(SerializeHelper2& h, int& count, int minItemBytes);

// A string as the serializer stores it (its byte count, then the bytes). Reading refuses a
// negative count or one beyond the bytes left (ok cleared, the string unchanged).
void SerializeCheckedString(SerializeHelper2& h, CommonString& s);

}  // namespace gameplay
