// The resume record's ids, names and header, against bytes laid out by hand.
#include "game/progress/ResumeRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/MemFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutInt(Bytes& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

// kind, version, name count and text, as the stored layout has them.
Bytes Header(int kind, int version, const std::string& name) {
    Bytes out;
    PutInt(out, kind);
    PutInt(out, version);
    PutInt(out, static_cast<std::int32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    return out;
}

TEST(ResumeRecord, IdsAndNames) {
    const struct {
        int slot, index, arena, yard;
    } rows[] = {{0, 0, 0, 10000}, {2, 1, 201, 10201}, {2, 3, 203, 10203}, {5, 2, 502, 10502}, {3, -1, -1, -1}};
    for (const auto& r : rows) {
        EXPECT_EQ(ArenaResumeRecordId(r.slot, r.index), r.arena) << r.slot << "/" << r.index;
        EXPECT_EQ(YardResumeRecordId(r.slot, r.index), r.yard) << r.slot << "/" << r.index;
    }
    EXPECT_STREQ(ArenaResumeRecordName(CommonString("lake1")).GetDataConst(), "arena_lake1");
    EXPECT_STREQ(YardResumeRecordName(CommonString("meadow")).GetDataConst(), "yard_meadow");
}

TEST(ResumeRecord, HeaderIsWrittenInTheStoredLayoutAndReadBackBeforeTheBody) {
    CMemoryFile file;
    ASSERT_TRUE(file.Create(64));
    ASSERT_TRUE(WriteResumeHeader(&file, kResumeKindArena, CommonString("lake1")));
    ASSERT_EQ(file.WriteInt(77), 4);  // a body
    const Bytes expected = Header(1, 1, "lake1");
    const auto* bytes = static_cast<const std::uint8_t*>(file.GetBuffer());
    EXPECT_EQ(Bytes(bytes, bytes + expected.size()), expected);

    ASSERT_TRUE(file.Seek(0, FileSeek::Start));
    TResumeHeader header;
    ASSERT_TRUE(ReadResumeHeader(&file, header));
    EXPECT_EQ(header.kind, kResumeKindArena);
    EXPECT_EQ(header.version, 1);
    EXPECT_STREQ(header.name.GetDataConst(), "lake1");
    int body = 0;
    EXPECT_EQ(file.ReadInt(&body), 4);
    EXPECT_EQ(body, 77) << "the file is left at the body";
}

TEST(ResumeRecord, DamagedHeadersAreRefused) {
    const Bytes whole = Header(2, 1, "meadow");
    const struct {
        Bytes bytes;
        const char* why;
    } cases[] = {
        {{}, "empty"},
        {Bytes(whole.begin(), whole.begin() + 3), "a cut kind"},
        {Bytes(whole.begin(), whole.begin() + 6), "a cut version"},
        {Bytes(whole.begin(), whole.begin() + 10), "a cut name count"},
        {Bytes(whole.begin(), whole.end() - 1), "a cut name"},
        {[] {
             Bytes b = Header(1, 1, "");
             b[8] = 0xff, b[9] = 0xff, b[10] = 0xff, b[11] = 0x7f;  // a count far beyond any name
             return b;
         }(),
         "an impossible name length"},
    };
    for (const auto& c : cases) {
        TResumeHeader header;
        EXPECT_FALSE(DecodeResumeHeader(c.bytes, c.why, header)) << c.why;
    }
    TResumeHeader header;
    ASSERT_TRUE(DecodeResumeHeader(whole, "whole", header));
    EXPECT_EQ(header.kind, kResumeKindYard);
    EXPECT_STREQ(header.name.GetDataConst(), "meadow");
}

TEST(ResumeRecord, AvailabilityIsAKindOtherThanNone) {
    const struct {
        Bytes bytes;
        bool available;
    } cases[] = {{Header(1, 1, "a"), true}, {Header(2, 1, "b"), true}, {Header(0, 1, "c"), false}, {{1, 0}, false}};
    for (const auto& c : cases) {
        CMemoryFile file;
        ASSERT_TRUE(file.Create(static_cast<unsigned>(c.bytes.size()) + 1));
        ASSERT_EQ(file.WriteData(c.bytes.data(), static_cast<int>(c.bytes.size())), static_cast<int>(c.bytes.size()));
        // Only what was written counts as the record.
        CMemoryFile record;
        void* copy = file.Detach();
        ASSERT_TRUE(record.Attach(copy, static_cast<int>(c.bytes.size())));
        EXPECT_EQ(IsResumeAvailable(&record), c.available) << c.bytes.size();
    }
}

}  // namespace
