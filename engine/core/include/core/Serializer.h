// The serializer every save format goes through.
//
// One routine per record type serves both directions: a record's
// Serialize(IFile* file, bool writing[, int version]) sets up a SerializeHelper2 on its stack
// and calls Serialize on each field in a fixed order; writing, the helper writes each field,
// reading, it reads each field back into the same variable. A format is the plain sequence of
// its fields in the encodings below: little-endian, no tags, no padding.
//
//   int, unsigned int, unsigned long, float, FIXED_FLOAT(_16)  4 bytes
//   short 2, char / unsigned char 1, bool 1 (written 1 or 0; any non-zero byte reads true)
//   double 8; TVector2D, TVector2D_16, TCoord2D 8 (x then y); TRect2D 16 (x, y, width, height)
//   Serialize(data, n)   the n bytes as they are
//   CommonString         signed 32-bit byte count, then the bytes (no terminator)
//   SerializeW           signed 32-bit count, then each character as its byte and a zero byte
//
// The helper never seeks, flushes or closes; the caller opens the file before and handles it
// after. It never stops at the first failure: every later call still moves its field.
#pragma once

#include "core/Common.h"

class CommonString;
class IFile;

// Filled in by the caller: {file, true, writing, 0}. A record succeeds exactly when ok is still
// true and shortfall is 0 at the end (see Succeeded).
struct SerializeHelper2 {
    IFile* file;    // open file written or read; never null
    bool ok;        // cleared by a failed string transfer
    bool writing;   // true: write each variable; false: read into it
    int shortfall;  // bytes expected minus bytes the file reported for fixed-size fields
                    // (a failing 4-byte transfer reports -1 and adds 5)

    // Longest string a reader accepts, in bytes (or characters for SerializeW); a longer stored
    // count marks a damaged file: the string becomes empty and ok is cleared.
    static constexpr int kMaxStringLength = 32768;

    void Serialize(int& value);  // also FIXED_FLOAT and FIXED_FLOAT_16
    void Serialize(unsigned int& value);
    void Serialize(unsigned long& value);  // stored as 32 bits; reading zero-extends
    void Serialize(short& value);
    void Serialize(char& value);
    void Serialize(unsigned char& value);
    // On a failed read the variable keeps its value; the failure shows in shortfall.
    void Serialize(bool& value);
    void Serialize(float& value);
    void Serialize(double& value);
    void Serialize(TVector2D& value);
    void Serialize(TVector2D_16& value);
    void Serialize(TCoord2D& value);
    void Serialize(TRect2D& value);
    void Serialize(void* data, int count);
    // Failures show in ok only. Reading: a short count leaves s unchanged; a count below 1 gives
    // the empty string; a count above kMaxStringLength or short text gives the empty string and
    // clears ok.
    void Serialize(CommonString& s);
    // The same rules, for text stored as two bytes per character; a short read leaves s unchanged.
    void SerializeW(CommonString& s);

    // 1 when every field moved whole, else 0: the result a record's Serialize returns.
    [[nodiscard]] int Succeeded() const { return ok && shortfall == 0 ? 1 : 0; }
};

// The older helper, kept for formats written with it. Differences from SerializeHelper2: a null
// file clears ok and moves nothing; a short fixed-size transfer clears ok (there is no
// shortfall); bool is a 4-byte int (read as true when greater than 0); unsigned short is
// supported; a short string read clears ok and leaves the string unchanged; stored string
// counts have no upper bound (a count beyond the bytes left in the file fails as a short read,
// before its block is allocated).
struct SerializeHelper {
    IFile* file;
    bool ok;
    bool writing;

    void Serialize(int& value);
    void Serialize(unsigned int& value);
    void Serialize(unsigned long& value);
    void Serialize(unsigned short& value);
    void Serialize(short& value);
    void Serialize(char& value);
    void Serialize(unsigned char& value);
    void Serialize(bool& value);
    void Serialize(TVector2D& value);
    void Serialize(TCoord2D& value);
    void Serialize(TRect2D& value);
    void Serialize(CommonString& s);
    void SerializeW(CommonString& s);
};
