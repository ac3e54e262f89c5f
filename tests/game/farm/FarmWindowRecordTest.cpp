// The yard's record of "saveresume.dat" as the yard screen opens it on the real pak: a yard left
// and opened again is the same; a record that names another yard or kind, or whose body cannot be
// read, is dropped and the yard opens as new (the damaged body told once on stderr).
#include <gtest/gtest.h>

#include <string>

#include "YardTestGame.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/farm/FarmDecorObject.h"
#include "game/progress/ResumeRecord.h"
#include "testsupport/ByteBuilder.h"

namespace {

class YardRecordScreenTest : public YardTest {
protected:
    int RecordId(const char* yard) {
        return game.SR_GetRecordId_OfYard(game.GetAppData()->m_nCurrentProfile, CommonString(yard));
    }
    void Store(int id, const CByteBuilder::Bytes& bytes) {
        CMemoryFile file;
        ASSERT_TRUE(file.Create(static_cast<unsigned>(bytes.size()) + 1));
        ASSERT_EQ(file.WriteData(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
        ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, &file, CommonString("yard_yard1")), 1);
    }
    bool HasRecord(int id) {
        IMemFile* record = game.m_pSaveResumeStorage->ReadRecord(id);
        if (record == nullptr) return false;
        (void)record->Close();
        delete record;
        return true;
    }
    // The yard as a new one has it: its two default objects, no points, no stars.
    void ExpectNewYard() {
        EXPECT_EQ(Farm()->m_Objects.count, 2);
        EXPECT_NE(Farm()->GetFarmObject("yard_bg"), nullptr);
        EXPECT_NE(Farm()->GetFarmObject("yard_sun"), nullptr);
        EXPECT_EQ(Farm()->m_nStars, 0);
        for (int c = 0; c < kFarmCategoryCount; ++c) EXPECT_EQ(Farm()->m_CategoryPoints[c], 0) << c;
    }
    // A whole body: one star, the four points, one fence at (100, 200) mirrored.
    static CByteBuilder::Bytes GoodBody() {
        CByteBuilder b;
        b.Int(1).Int(4).Int(31).Int(22).Int(23).Int(24).Int(1);
        b.Str("picket_fence").Int(7).Int(100 * 256).Int(200 * 256).Int(40 * 256).Int(30 * 256).Int(1);
        return b.bytes;
    }
    static CByteBuilder::Bytes Header(int kind, const char* yard) {
        CByteBuilder b;
        b.Int(kind).Int(1).Str(yard);
        return b.bytes;
    }
};

TEST_F(YardRecordScreenTest, AYardLeftAndOpenedAgainIsTheSame) {
    Open();
    player->m_nCoins = 1000;
    CFarmObject* hen = Buy("bird1");
    CFarmObject* tree = Buy("apple_tree");
    ASSERT_NE(hen, nullptr);
    ASSERT_NE(tree, nullptr);
    tree->m_Position = TVector2D{111 * 256, 222 * 256};
    tree->Rotate();
    Farm()->m_nStars = 2;
    ASSERT_EQ(Click("btn_CloseShop"), 1);
    const TVector2D henAt = hen->m_Position;

    Open();
    ASSERT_EQ(Farm()->m_Objects.count, 4);
    EXPECT_EQ(Farm()->m_nStars, 2);
    EXPECT_EQ(Farm()->m_CategoryPoints[kCategoryBirds], 30);
    EXPECT_EQ(Farm()->m_CategoryPoints[kCategoryPlants], 35);
    CFarmObject* henBack = Farm()->GetFarmObject("bird1");
    CFarmObject* treeBack = Farm()->GetFarmObject("apple_tree");
    ASSERT_NE(henBack, nullptr);
    ASSERT_NE(treeBack, nullptr);
    EXPECT_EQ(henBack->m_Position.x, henAt.x);
    EXPECT_EQ(henBack->m_Position.y, henAt.y);
    EXPECT_EQ(treeBack->m_Position.x, 111 * 256);
    EXPECT_EQ(treeBack->m_Position.y, 222 * 256);
    EXPECT_TRUE(treeBack->IsRotated());
}

TEST_F(YardRecordScreenTest, AHandWrittenRecordIsReadBack) {
    CByteBuilder record;
    record.Raw(Header(kResumeKindYard, "yard1")).Raw(GoodBody());
    Store(RecordId("yard1"), record.bytes);
    Open();
    ASSERT_EQ(Farm()->m_Objects.count, 3);
    EXPECT_EQ(Farm()->m_nStars, 1);
    const int points[kFarmCategoryCount] = {31, 22, 23, 24};
    for (int c = 0; c < kFarmCategoryCount; ++c) EXPECT_EQ(Farm()->m_CategoryPoints[c], points[c]) << c;
    auto* fence = dynamic_cast<CFarmDecorObject*>(Farm()->GetFarmObject("picket_fence"));
    ASSERT_NE(fence, nullptr);
    EXPECT_EQ(fence->m_Position.x, 100 * 256);
    EXPECT_EQ(fence->m_Position.y, 200 * 256);
    EXPECT_TRUE(fence->IsRotated());
    EXPECT_TRUE(HasRecord(RecordId("yard1"))) << "a good record stays until the yard is saved again";
}

TEST_F(YardRecordScreenTest, ARecordOfAnotherYardOrKindIsDroppedAndTheYardOpensNew) {
    const struct {
        const char* what;
        int kind;
        const char* yard;
    } rows[] = {{"another yard's name", kResumeKindYard, "yard2"},
                {"a round's kind", kResumeKindArena, "yard1"},
                {"no kind", kResumeKindNone, "yard1"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CByteBuilder record;
        record.Raw(Header(row.kind, row.yard)).Raw(GoodBody());
        Store(RecordId("yard1"), record.bytes);
        CXFarmWindow* yard = Open();
        ASSERT_NE(yard, nullptr) << "the yard opens";
        ExpectNewYard();
        EXPECT_FALSE(HasRecord(RecordId("yard1"))) << "and the record is gone";
        // Left, the yard keeps a record of its own again.
        ASSERT_EQ(Click("btn_CloseShop"), 1);
        EXPECT_TRUE(HasRecord(RecordId("yard1")));
    }
}

TEST_F(YardRecordScreenTest, ABodyThatCannotBeReadLeavesANewYardAndNoRecord) {
    const struct {
        const char* what;
        CByteBuilder::Bytes body;
    } rows[] = {
        {"no body", {}},
        {"a bird whose fields end early",
         CByteBuilder().Int(2).Int(4).Int(30).Int(20).Int(20).Int(20).Int(1).Str("bird1").Zeros(20).bytes},
        {"an object the yard does not sell",
         CByteBuilder().Int(1).Int(4).Int(1).Int(2).Int(3).Int(4).Int(1).Str("bird9").Zeros(40).bytes},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CByteBuilder record;
        record.Raw(Header(kResumeKindYard, "yard1")).Raw(row.body);
        Store(RecordId("yard1"), record.bytes);
        testing::internal::CaptureStderr();
        CXFarmWindow* yard = Open();
        const std::string told = testing::internal::GetCapturedStderr();
        ASSERT_NE(yard, nullptr);
        ExpectNewYard();
        EXPECT_FALSE(HasRecord(RecordId("yard1")));
        EXPECT_EQ(told.rfind("yard: the saved game of yard1 is damaged; the yard opens as new\n", 0), 0u) << told;
        EXPECT_NE(told.find("(its yard could not be read); the file as it was is kept as "), std::string::npos) << told;
    }
}

}  // namespace
