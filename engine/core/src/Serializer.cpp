#include "core/Serializer.h"

#include <bit>
#include <cstdint>

#include "SerializeTransfer.h"
#include "core/CommonString.h"
#include "core/File.h"

// Fixed-size fields move the variable's own bytes, which are the stored little-endian form only
// on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "save formats are little-endian");
static_assert(sizeof(float) == 4 && sizeof(double) == 8 && sizeof(short) == 2);

using serialize_detail::ReadText;
using serialize_detail::TextRead;
using serialize_detail::Transfer;
using serialize_detail::TransferInt;
using serialize_detail::WriteText;

void SerializeHelper2::Serialize(int& value) { shortfall += 4 - TransferInt(file, writing, value); }

void SerializeHelper2::Serialize(unsigned int& value) { shortfall += 4 - Transfer(file, writing, &value, 4); }

void SerializeHelper2::Serialize(unsigned long& value) {
    // unsigned long is 8 bytes here; the stored field stays 32 bits wide.
    std::uint32_t stored = static_cast<std::uint32_t>(value);
    const int moved = Transfer(file, writing, &stored, 4);
    if (!writing && moved == 4) value = stored;
    shortfall += 4 - moved;
}

void SerializeHelper2::Serialize(short& value) { shortfall += 2 - Transfer(file, writing, &value, 2); }
void SerializeHelper2::Serialize(char& value) { shortfall += 1 - Transfer(file, writing, &value, 1); }

void SerializeHelper2::Serialize(unsigned char& value) { shortfall += 1 - Transfer(file, writing, &value, 1); }

void SerializeHelper2::Serialize(bool& value) {
    unsigned char byte = value ? 1 : 0;
    const int moved = Transfer(file, writing, &byte, 1);
    if (!writing && moved == 1) value = byte != 0;
    shortfall += 1 - moved;
}

void SerializeHelper2::Serialize(float& value) { shortfall += 4 - Transfer(file, writing, &value, 4); }
void SerializeHelper2::Serialize(double& value) { shortfall += 8 - Transfer(file, writing, &value, 8); }

void SerializeHelper2::Serialize(TVector2D& value) {
    const int moved = TransferInt(file, writing, value.x) + TransferInt(file, writing, value.y);
    shortfall += 8 - moved;
}

void SerializeHelper2::Serialize(TVector2D_16& value) {
    const int moved = TransferInt(file, writing, value.x) + TransferInt(file, writing, value.y);
    shortfall += 8 - moved;
}

void SerializeHelper2::Serialize(TCoord2D& value) {
    const int moved = TransferInt(file, writing, value.x) + TransferInt(file, writing, value.y);
    shortfall += 8 - moved;
}

void SerializeHelper2::Serialize(TRect2D& value) {
    int moved = TransferInt(file, writing, value.x);
    moved += TransferInt(file, writing, value.y);
    moved += TransferInt(file, writing, value.width);
    moved += TransferInt(file, writing, value.height);
    shortfall += 16 - moved;
}

void SerializeHelper2::Serialize(void* data, int count) { shortfall += count - Transfer(file, writing, data, count); }

// Reads or writes one string field; failures show in ok only. The bound keeps a damaged count
// from asking for gigabytes. Text that falls short empties a byte string but leaves a wide one as
// it was.
static void TransferText(SerializeHelper2& helper, CommonString& s, bool wide) {
    if (helper.writing) {
        if (!WriteText(helper.file, s, wide)) helper.ok = false;
        return;
    }
    const TextRead result = ReadText(helper.file, wide, SerializeHelper2::kMaxStringLength, s);
    if (result == TextRead::kRead) return;
    helper.ok = false;
    if (result == TextRead::kTooLong || (result == TextRead::kShortText && !wide)) s = CommonString();
}

void SerializeHelper2::Serialize(CommonString& s) { TransferText(*this, s, false); }

void SerializeHelper2::SerializeW(CommonString& s) { TransferText(*this, s, true); }
