#include "core/Serializer.h"

#include <bit>
#include <cstdint>
#include <cstdlib>

#include "core/CommonString.h"
#include "core/File.h"

// Fixed-size fields move the variable's own bytes, which are the stored little-endian form only
// on a little-endian machine.
static_assert(std::endian::native == std::endian::little, "save formats are little-endian");
static_assert(sizeof(float) == 4 && sizeof(double) == 8 && sizeof(short) == 2);

namespace {

// Moves one fixed-size field through WriteData/ReadData and returns the count the file reported.
int Transfer(IFile* file, bool writing, void* bytes, int count) {
  return writing ? file->WriteData(bytes, count) : file->ReadData(bytes, count);
}

int TransferInt(IFile* file, bool writing, int& value) {
  return writing ? file->WriteInt(value) : file->ReadInt(&value);
}

// A block for `count` characters and a terminator, zero-filled; null when memory is short.
char* AllocateText(int count) {
  return static_cast<char*>(std::calloc(static_cast<std::size_t>(count) + 1, 1));
}

}  // namespace

void SerializeHelper2::Serialize(int& value) { shortfall += 4 - TransferInt(file, writing, value); }

void SerializeHelper2::Serialize(unsigned int& value) {
  shortfall += 4 - Transfer(file, writing, &value, 4);
}

void SerializeHelper2::Serialize(unsigned long& value) {
  // unsigned long is 8 bytes here; the stored field stays 32 bits wide.
  std::uint32_t stored = static_cast<std::uint32_t>(value);
  const int moved = Transfer(file, writing, &stored, 4);
  if (!writing && moved == 4) value = stored;
  shortfall += 4 - moved;
}

void SerializeHelper2::Serialize(short& value) { shortfall += 2 - Transfer(file, writing, &value, 2); }
void SerializeHelper2::Serialize(char& value) { shortfall += 1 - Transfer(file, writing, &value, 1); }

void SerializeHelper2::Serialize(unsigned char& value) {
  shortfall += 1 - Transfer(file, writing, &value, 1);
}

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

void SerializeHelper2::Serialize(void* data, int count) {
  shortfall += count - Transfer(file, writing, data, count);
}

void SerializeHelper2::Serialize(CommonString& s) {
  if (writing) {
    int length = s.Length();
    if (file->WriteInt(length) != 4) {
      ok = false;
      return;
    }
    if (length < 1) return;
    if (file->WriteData(s.GetData(), length) != length) ok = false;
    return;
  }
  int count = 0;
  if (file->ReadInt(&count) != 4) {
    ok = false;
    return;
  }
  if (count < 1) {
    s = CommonString();
    return;
  }
  if (count > kMaxStringLength) {
    s = CommonString();
    ok = false;
    return;
  }
  char* text = AllocateText(count);
  if (!text) {
    ok = false;
    return;
  }
  if (file->ReadData(text, count) != count) {
    std::free(text);
    s = CommonString();
    ok = false;
    return;
  }
  text[count] = '\0';
  s.Attach(text);
}

void SerializeHelper2::SerializeW(CommonString& s) {
  if (writing) {
    const int length = s.Length();
    if (file->WriteInt(length) != 4) {
      ok = false;
      return;
    }
    const char* text = s.GetData();
    const char zero = 0;
    for (int i = 0; i < length; ++i) {
      if (file->WriteData(&text[i], 1) != 1 || file->WriteData(&zero, 1) != 1) {
        ok = false;
        return;
      }
    }
    return;
  }
  int count = 0;
  if (file->ReadInt(&count) != 4) {
    ok = false;
    return;
  }
  if (count < 1) {
    s = CommonString();
    return;
  }
  // The same bound as the byte string: a damaged count must not ask for gigabytes.
  if (count > kMaxStringLength) {
    s = CommonString();
    ok = false;
    return;
  }
  char* text = AllocateText(count);
  if (!text) {
    ok = false;
    return;
  }
  for (int i = 0; i < count; ++i) {
    char high = 0;
    if (file->ReadData(&text[i], 1) != 1 || file->ReadData(&high, 1) != 1) {
      std::free(text);
      ok = false;
      return;
    }
  }
  text[count] = '\0';
  s.Attach(text);
}
