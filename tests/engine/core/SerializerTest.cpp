#include "core/Serializer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "VectorFile.h"
#include "core/CommonString.h"
#include "core/File.h"
#include "core/MemFile.h"
#include "testsupport/MemoryFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Le32(std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 24)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// One field: how to write it, the exact bytes expected, and how to read those bytes back and
// check the value that comes out.
struct TLayoutCase {
    const char* what;
    std::function<void(SerializeHelper2&)> write;
    Bytes bytes;
    std::function<void(SerializeHelper2&)> readAndCheck;
};

TEST(SerializeHelper2, FieldsHaveExactLittleEndianLayouts) {
    const TLayoutCase cases[] = {
        {"int",
         [](auto& h) {
             int v = -2;
             h.Serialize(v);
         },
         Le32(-2),
         [](auto& h) {
             int v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, -2);
         }},
        {"unsigned int",
         [](auto& h) {
             unsigned v = 0xA1B2C3D4u;
             h.Serialize(v);
         },
         Le32(0xA1B2C3D4),
         [](auto& h) {
             unsigned v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, 0xA1B2C3D4u);
         }},
        {"unsigned long is 4 bytes",
         [](auto& h) {
             unsigned long v = 0xF1020304ul;
             h.Serialize(v);
         },
         Le32(0xF1020304),
         [](auto& h) {
             unsigned long v = ~0ul;
             h.Serialize(v);
             EXPECT_EQ(v, 0xF1020304ul);
         }},
        {"short",
         [](auto& h) {
             short v = -2;
             h.Serialize(v);
         },
         {0xFE, 0xFF},
         [](auto& h) {
             short v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, -2);
         }},
        {"char",
         [](auto& h) {
             char v = 'A';
             h.Serialize(v);
         },
         {0x41},
         [](auto& h) {
             char v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, 'A');
         }},
        {"unsigned char",
         [](auto& h) {
             unsigned char v = 0xFF;
             h.Serialize(v);
         },
         {0xFF},
         [](auto& h) {
             unsigned char v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, 0xFF);
         }},
        {"bool true",
         [](auto& h) {
             bool v = true;
             h.Serialize(v);
         },
         {0x01},
         [](auto& h) {
             bool v = false;
             h.Serialize(v);
             EXPECT_TRUE(v);
         }},
        {"bool false",
         [](auto& h) {
             bool v = false;
             h.Serialize(v);
         },
         {0x00},
         [](auto& h) {
             bool v = true;
             h.Serialize(v);
             EXPECT_FALSE(v);
         }},
        {"float",
         [](auto& h) {
             float v = 1.0f;
             h.Serialize(v);
         },
         {0x00, 0x00, 0x80, 0x3F},
         [](auto& h) {
             float v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, 1.0f);
         }},
        {"double",
         [](auto& h) {
             double v = -2.0;
             h.Serialize(v);
         },
         {0, 0, 0, 0, 0, 0, 0x00, 0xC0},
         [](auto& h) {
             double v = 0;
             h.Serialize(v);
             EXPECT_EQ(v, -2.0);
         }},
        {"TVector2D",
         [](auto& h) {
             TVector2D v{256, -256};
             h.Serialize(v);
         },
         {0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF},
         [](auto& h) {
             TVector2D v;
             h.Serialize(v);
             EXPECT_EQ(v.x, 256);
             EXPECT_EQ(v.y, -256);
         }},
        {"TVector2D_16",
         [](auto& h) {
             TVector2D_16 v{65536, -1};
             h.Serialize(v);
         },
         Cat({Le32(65536), Le32(-1)}),
         [](auto& h) {
             TVector2D_16 v;
             h.Serialize(v);
             EXPECT_EQ(v.x, 65536);
             EXPECT_EQ(v.y, -1);
         }},
        {"TCoord2D",
         [](auto& h) {
             TCoord2D v{7, 9};
             h.Serialize(v);
         },
         Cat({Le32(7), Le32(9)}),
         [](auto& h) {
             TCoord2D v;
             h.Serialize(v);
             EXPECT_EQ(v.x, 7);
             EXPECT_EQ(v.y, 9);
         }},
        {"TRect2D",
         [](auto& h) {
             TRect2D v{1, -2, 3, 4};
             h.Serialize(v);
         },
         Cat({Le32(1), Le32(-2), Le32(3), Le32(4)}),
         [](auto& h) {
             TRect2D v;
             h.Serialize(v);
             EXPECT_EQ(v.x, 1);
             EXPECT_EQ(v.y, -2);
             EXPECT_EQ(v.width, 3);
             EXPECT_EQ(v.height, 4);
         }},
        {"raw bytes",
         [](auto& h) {
             char v[3] = {'a', 0, 'c'};
             h.Serialize(v, 3);
         },
         {'a', 0, 'c'},
         [](auto& h) {
             char v[3] = {};
             h.Serialize(v, 3);
             EXPECT_EQ(std::memcmp(v, "a\0c", 3), 0);
         }},
        {"string",
         [](auto& h) {
             CommonString v("hello");
             h.Serialize(v);
         },
         Cat({Le32(5), Text("hello")}),
         [](auto& h) {
             CommonString v;
             h.Serialize(v);
             EXPECT_TRUE(v.IsEqual("hello"));
         }},
        {"empty string is the count alone",
         [](auto& h) {
             CommonString v;
             h.Serialize(v);
         },
         Le32(0),
         [](auto& h) {
             CommonString v("old");
             h.Serialize(v);
             EXPECT_EQ(v.Length(), 0);
         }},
        {"wide string",
         [](auto& h) {
             CommonString v("hi");
             h.SerializeW(v);
         },
         Cat({Le32(2), {'h', 0, 'i', 0}}),
         [](auto& h) {
             CommonString v;
             h.SerializeW(v);
             EXPECT_TRUE(v.IsEqual("hi"));
         }},
        {"empty wide string",
         [](auto& h) {
             CommonString v;
             h.SerializeW(v);
         },
         Le32(0),
         [](auto& h) {
             CommonString v("old");
             h.SerializeW(v);
             EXPECT_EQ(v.Length(), 0);
         }},
    };
    for (const auto& c : cases) {
        CVectorFile out;
        SerializeHelper2 writer{&out, true, true, 0};
        c.write(writer);
        EXPECT_EQ(out.data, c.bytes) << c.what;
        EXPECT_EQ(writer.Succeeded(), 1) << c.what;

        CVectorFile in(c.bytes);
        SerializeHelper2 reader{&in, true, false, 0};
        c.readAndCheck(reader);
        EXPECT_EQ(reader.Succeeded(), 1) << c.what;
        EXPECT_EQ(in.position, c.bytes.size()) << c.what;
    }
}

// A record the way the save formats write one: the same code for both directions.
struct TSmallRecord {
    int number = 0;
    CommonString name;
    int Serialize(IFile* file, bool writing) {
        SerializeHelper2 helper{file, true, writing, 0};
        helper.Serialize(number);
        helper.Serialize(name);
        return helper.Succeeded();
    }
};

TEST(SerializeHelper2, RecordOfIntAndEmptyStringIsEightBytes) {
    CVectorFile out;
    TSmallRecord record;
    record.number = 0x11223344;
    ASSERT_EQ(record.Serialize(&out, true), 1);
    EXPECT_EQ(out.data, Cat({Le32(0x11223344), Le32(0)}));

    CVectorFile in(out.data);
    TSmallRecord back;
    back.name = "stale";
    ASSERT_EQ(back.Serialize(&in, false), 1);
    EXPECT_EQ(back.number, 0x11223344);
    EXPECT_EQ(back.name.Length(), 0);
}

struct TStringReadCase {
    const char* why;
    Bytes stored;
    bool wide;
    bool ok;
    const char* result;  // null: the string is left as "keep"
};

// Reads one case's bytes into a string holding "keep" with either helper and checks ok and the
// text; returns the helper for the checks only one of them has.
template <class Helper>
Helper ExpectStringRead(const TStringReadCase& c) {
    CVectorFile in(c.stored);
    Helper reader{};  // SerializeHelper2 also starts with no shortfall
    reader.file = &in;
    reader.ok = true;
    reader.writing = false;
    CommonString s("keep");
    if (c.wide)
        reader.SerializeW(s);
    else
        reader.Serialize(s);
    EXPECT_EQ(reader.ok, c.ok) << c.why;
    const char* expected = c.result ? c.result : "keep";
    EXPECT_EQ(std::string(s.GetData() ? s.GetData() : ""), expected) << c.why;
    reader.file = nullptr;  // `in` ends here
    return reader;
}

TEST(SerializeHelper2, StringReadsFailCleanlyOnDamagedData) {
    const Bytes full32768 = Cat({Le32(32768), Bytes(32768, 'x')});
    const Bytes too_long = Cat({Le32(32769), Bytes(32769, 'x')});
    const Bytes wide_too_long = Cat({Le32(32769), Bytes(2 * 32769, 'x')});
    const std::string x32768(32768, 'x');
    const TStringReadCase cases[] = {
        {"count of exactly 32768 is accepted", full32768, false, true, x32768.c_str()},
        {"count above 32768 means a damaged file", too_long, false, false, ""},
        {"wide count above 32768 means a damaged file", wide_too_long, true, false, ""},
        {"negative count gives empty and stays ok", Le32(-5), false, true, ""},
        {"negative wide count gives empty and stays ok", Le32(-5), true, true, ""},
        {"short count leaves the string", {0x03, 0x00}, false, false, nullptr},
        {"short wide count leaves the string", {0x03}, true, false, nullptr},
        {"short text empties the string", Cat({Le32(10), Text("abc")}), false, false, ""},
        {"short wide text leaves the string", Cat({Le32(3), {'a', 0, 'b'}}), true, false, nullptr},
        {"missing wide high byte leaves the string", Cat({Le32(1), {'a'}}), true, false, nullptr},
    };
    for (const auto& c : cases) {
        const SerializeHelper2 reader = ExpectStringRead<SerializeHelper2>(c);
        EXPECT_EQ(reader.shortfall, 0) << "strings never add to shortfall: " << c.why;
    }
}

TEST(SerializeHelper2, ShortFixedTransfersCountAsShortfallAndLaterFieldsStillMove) {
    // Two bytes of an int, then nothing: the helper keeps going and counts what is missing.
    CVectorFile in({0x01, 0x02});
    SerializeHelper2 reader{&in, true, false, 0};
    int first = 0;
    int second = 7;
    reader.Serialize(first);
    EXPECT_EQ(reader.shortfall, 2);
    reader.Serialize(second);
    EXPECT_EQ(reader.shortfall, 6);
    TRect2D rect;
    reader.Serialize(rect);
    EXPECT_EQ(reader.shortfall, 22);
    EXPECT_TRUE(reader.ok) << "fixed-size shortfalls do not touch ok";
    EXPECT_EQ(reader.Succeeded(), 0);

    CVectorFile broken;
    broken.failing = true;
    SerializeHelper2 failing{&broken, true, false, 0};
    int value = 0;
    failing.Serialize(value);
    EXPECT_EQ(failing.shortfall, 5) << "a failed 4-byte transfer reports -1";
    TVector2D vector;
    failing.Serialize(vector);
    EXPECT_EQ(failing.shortfall, 5 + 10);
    bool flag = true;
    failing.Serialize(flag);
    EXPECT_EQ(failing.shortfall, 5 + 10 + 2);
    EXPECT_TRUE(flag) << "a bool keeps its value when its byte cannot be read";
}

TEST(SerializeHelper2, BoolReadsAnyNonZeroByteAsTrue) {
    CVectorFile in({0x02, 0x00, 0xFF});
    SerializeHelper2 reader{&in, true, false, 0};
    bool a = false, b = true, c = false;
    reader.Serialize(a);
    reader.Serialize(b);
    reader.Serialize(c);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
    EXPECT_EQ(reader.Succeeded(), 1);
}

TEST(SerializeHelper2, FailedStringWritesClearOk) {
    CVectorFile full;
    full.capacity = 6;  // the count and two of the five bytes
    SerializeHelper2 writer{&full, true, true, 0};
    CommonString s("hello");
    writer.Serialize(s);
    EXPECT_FALSE(writer.ok);

    CVectorFile wideFull;
    wideFull.capacity = 7;  // the count and 'h', 0, 'e'
    SerializeHelper2 wideWriter{&wideFull, true, true, 0};
    wideWriter.SerializeW(s);
    EXPECT_FALSE(wideWriter.ok);
    EXPECT_EQ(wideFull.data.size(), 7u) << "the wide write stops at the first failure";

    CVectorFile broken;
    broken.failing = true;
    SerializeHelper2 failing{&broken, true, true, 0};
    failing.Serialize(s);
    EXPECT_FALSE(failing.ok);
    EXPECT_EQ(failing.shortfall, 0);
}

TEST(SerializeHelper, OldLayoutStoresBoolAsIntAndClearsOkOnShortTransfers) {
    CVectorFile out;
    SerializeHelper writer{&out, true, true};
    bool flag = true;
    unsigned short word = 0xBEEF;
    CommonString name("ab");
    TRect2D rect{1, 2, 3, 4};
    writer.Serialize(flag);
    writer.Serialize(word);
    writer.Serialize(name);
    writer.Serialize(rect);
    EXPECT_TRUE(writer.ok);
    EXPECT_EQ(out.data, Cat({Le32(1), {0xEF, 0xBE}, Le32(2), Text("ab"), Le32(1), Le32(2), Le32(3), Le32(4)}));

    struct TBoolCase {
        std::int64_t stored;
        bool value;
    };
    for (const TBoolCase c : {TBoolCase{5, true}, TBoolCase{0, false}, TBoolCase{-1, false}}) {
        CVectorFile in(Le32(c.stored));
        SerializeHelper reader{&in, true, false};
        bool value = !c.value;
        reader.Serialize(value);
        EXPECT_EQ(value, c.value) << "stored " << c.stored;
        EXPECT_TRUE(reader.ok);
    }

    CVectorFile shortText(Cat({Le32(4), Text("ab")}));
    SerializeHelper reader{&shortText, true, false};
    CommonString kept("keep");
    reader.Serialize(kept);
    EXPECT_FALSE(reader.ok);
    EXPECT_TRUE(kept.IsEqual("keep")) << "the old helper leaves the string on a short read";

    CVectorFile shortInt({0x01, 0x02, 0x03});
    SerializeHelper intReader{&shortInt, true, false};
    int value = 0;
    intReader.Serialize(value);
    EXPECT_FALSE(intReader.ok);

    SerializeHelper noFile{nullptr, true, false};
    noFile.Serialize(value);
    EXPECT_FALSE(noFile.ok);
    noFile.ok = true;
    noFile.SerializeW(kept);
    EXPECT_FALSE(noFile.ok);
}

TEST(SerializeHelper, OldStringReadsHaveNoLengthBoundAndLeaveTheStringOnFailure) {
    // Counts above SerializeHelper2's bound are ordinary here; every failure keeps the old text.
    const Bytes long_text = Cat({Le32(40000), Bytes(40000, 'y')});
    const Bytes long_wide = Cat({Le32(33000), Bytes(2 * 33000, 'z')});
    const std::string y40000(40000, 'y');
    const std::string z33000(33000, 'z');
    const TStringReadCase cases[] = {
        {"count of 40000 is read whole", long_text, false, true, y40000.c_str()},
        {"wide count of 33000 is read whole", long_wide, true, true, z33000.c_str()},
        {"negative count gives empty and stays ok", Le32(-5), false, true, ""},
        {"zero wide count gives empty and stays ok", Le32(0), true, true, ""},
        {"short count leaves the string", {0x03, 0x00}, false, false, nullptr},
        {"short text leaves the string", Cat({Le32(10), Text("abc")}), false, false, nullptr},
        {"short wide text leaves the string", Cat({Le32(3), {'a', 0, 'b'}}), true, false, nullptr},
    };
    for (const auto& c : cases) ExpectStringRead<SerializeHelper>(c);
}

TEST(SerializeHelper, CountsBeyondTheFileFailAsShortReads) {
    // No bound is set on these counts; a memory file knows what is left, so a count past it
    // fails at once, as its read would, leaving the string as it was.
    struct TCase {
        const char* why;
        Bytes stored;
        bool wide;
    };
    const TCase cases[] = {
        {"old helper, the largest count", Cat({Le32(0x7FFFFFFF), Text("abc")}), false},
        {"old helper, one byte short", Cat({Le32(4), Text("abc")}), false},
        {"old helper, wide, one character short", Cat({Le32(2), {'a', 0, 'b'}}), true},
        {"old helper, wide, a count whose byte size passes 2 GiB", Cat({Le32(0x40000001), Text("ab")}), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<CMemoryFile> in(MemoryFileOver(c.stored));
        SerializeHelper reader{in.get(), true, false};
        CommonString s("keep");
        if (c.wide)
            reader.SerializeW(s);
        else
            reader.Serialize(s);
        EXPECT_FALSE(reader.ok);
        EXPECT_TRUE(s.IsEqual("keep"));
    }
    // What fits is still read whole.
    std::unique_ptr<CMemoryFile> exact(MemoryFileOver(Cat({Le32(3), Text("xyz")})));
    SerializeHelper whole{exact.get(), true, false};
    CommonString s;
    whole.Serialize(s);
    EXPECT_TRUE(whole.ok);
    EXPECT_TRUE(s.IsEqual("xyz"));
}

TEST(SerializeHelper, OldWideStringRoundTrips) {
    CVectorFile out;
    SerializeHelper writer{&out, true, true};
    CommonString text("Ab");
    writer.SerializeW(text);
    ASSERT_TRUE(writer.ok);
    EXPECT_EQ(out.data, Cat({Le32(2), {'A', 0, 'b', 0}}));
    CVectorFile in(out.data);
    SerializeHelper reader{&in, true, false};
    CommonString back;
    reader.SerializeW(back);
    EXPECT_TRUE(reader.ok);
    EXPECT_TRUE(back.IsEqual("Ab"));
}

}  // namespace
