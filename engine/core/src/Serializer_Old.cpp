// SerializeHelper, the older serializer: same layouts as SerializeHelper2 except for bool, and
// failures clear ok instead of counting a shortfall.
#include <cstdint>
#include <cstdlib>

#include "core/CommonString.h"
#include "core/File.h"
#include "core/Serializer.h"

namespace {

int Transfer(IFile* file, bool writing, void* bytes, int count) {
  return writing ? file->WriteData(bytes, count) : file->ReadData(bytes, count);
}

int TransferInt(IFile* file, bool writing, int& value) {
  return writing ? file->WriteInt(value) : file->ReadInt(&value);
}

// This helper sets no upper bound on a stored count, so the size is computed without overflow
// and a failed allocation is an ordinary failure.
char* AllocateText(int count) {
  return static_cast<char*>(std::malloc(static_cast<std::size_t>(count) + 1));
}

}  // namespace

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

void SerializeHelper::Serialize(CommonString& s) {
  if (!file) {
    ok = false;
    return;
  }
  if (writing) {
    const int length = s.Length();
    if (file->WriteInt(length) != 4) {
      ok = false;
      return;
    }
    if (length > 0 && file->WriteData(s.GetData(), length) != length) ok = false;
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
  char* text = AllocateText(count);
  if (!text) {
    ok = false;
    return;
  }
  if (file->ReadData(text, count) != count) {
    std::free(text);
    ok = false;
    return;
  }
  text[count] = '\0';
  s.Attach(text);
}

void SerializeHelper::SerializeW(CommonString& s) {
  if (!file) {
    ok = false;
    return;
  }
  // The wide layout is the same in both helpers.
  SerializeHelper2 wide{file, true, writing, 0};
  if (writing) {
    wide.SerializeW(s);
    if (!wide.ok) ok = false;
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
