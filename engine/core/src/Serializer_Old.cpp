// SerializeHelper, the older serializer: same layouts as SerializeHelper2 except for bool, and
// failures clear ok instead of counting a shortfall.
#include <cstdint>

#include "SerializeTransfer.h"
#include "core/CommonString.h"
#include "core/File.h"
#include "core/Serializer.h"

using serialize_detail::kNoTextLimit;
using serialize_detail::ReadText;
using serialize_detail::TextRead;
using serialize_detail::Transfer;
using serialize_detail::TransferInt;
using serialize_detail::WriteText;

void SerializeHelper::Serialize(int& value) {
    if (!file || TransferInt(file, writing, value) != 4) ok = false;
}

void SerializeHelper::Serialize(unsigned int& value) {
    if (!file || Transfer(file, writing, &value, 4) != 4) ok = false;
}

void SerializeHelper::Serialize(unsigned long& value) {
    if (!file) {
        ok = false;
        return;
    }
    std::uint32_t stored = static_cast<std::uint32_t>(value);
    if (Transfer(file, writing, &stored, 4) != 4) {
        ok = false;
        return;
    }
    if (!writing) value = stored;
}

void SerializeHelper::Serialize(unsigned short& value) {
    if (!file || Transfer(file, writing, &value, 2) != 2) ok = false;
}

void SerializeHelper::Serialize(short& value) {
    if (!file || Transfer(file, writing, &value, 2) != 2) ok = false;
}

void SerializeHelper::Serialize(char& value) {
    if (!file || Transfer(file, writing, &value, 1) != 1) ok = false;
}

void SerializeHelper::Serialize(unsigned char& value) {
    if (!file || Transfer(file, writing, &value, 1) != 1) ok = false;
}

void SerializeHelper::Serialize(bool& value) {
    if (!file) {
        ok = false;
        return;
    }
    if (writing) {
        if (file->WriteInt(value ? 1 : 0) != 4) ok = false;
        return;
    }
    int stored = 0;
    if (file->ReadInt(&stored) != 4) ok = false;
    value = stored > 0;
}

void SerializeHelper::Serialize(TVector2D& value) {
    if (!file) {
        ok = false;
        return;
    }
    if (TransferInt(file, writing, value.x) + TransferInt(file, writing, value.y) != 8) ok = false;
}

void SerializeHelper::Serialize(TCoord2D& value) {
    if (!file) {
        ok = false;
        return;
    }
    if (TransferInt(file, writing, value.x) + TransferInt(file, writing, value.y) != 8) ok = false;
}

void SerializeHelper::Serialize(TRect2D& value) {
    if (!file) {
        ok = false;
        return;
    }
    int moved = TransferInt(file, writing, value.x);
    moved += TransferInt(file, writing, value.y);
    moved += TransferInt(file, writing, value.width);
    moved += TransferInt(file, writing, value.height);
    if (moved != 16) ok = false;
}

// Reads or writes one string field; a short read clears ok and leaves the variable as it was.
static void TransferText(SerializeHelper& helper, CommonString& s, bool wide) {
    if (!helper.file) {
        helper.ok = false;
        return;
    }
    if (helper.writing) {
        if (!WriteText(helper.file, s, wide)) helper.ok = false;
        return;
    }
    if (ReadText(helper.file, wide, kNoTextLimit, s) != TextRead::kRead) helper.ok = false;
}

void SerializeHelper::Serialize(CommonString& s) { TransferText(*this, s, false); }

void SerializeHelper::SerializeW(CommonString& s) { TransferText(*this, s, true); }
