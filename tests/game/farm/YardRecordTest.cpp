// The yard record's body through CFarmManager::SerializeCurrentYard: its layout against bytes
// built by hand from the layout table, what a read restores, the screen clamp on a narrower
// screen, and the records a reader must refuse.
#include <memory>
#include <string>
#include <vector>

#include "FarmObjectsFixture.h"
#include "core/MemFile.h"
#include "game/farm/YardCamera.h"
#include "render/WinDibBitmap.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/MemoryFiles.h"

namespace {

using namespace farmtest;
using Bytes = CByteBuilder::Bytes;

// The fields of a body, in the layout's order: stars, the point count, the points, the object
// count, then the entries.
CByteBuilder Body(int stars, std::vector<int> points, int objects) {
    CByteBuilder b;
    b.Int(stars).Int(static_cast<std::int64_t>(points.size()));
    for (int p : points) b.Int(p);
    b.Int(objects);
    return b;
}

struct TEntry {
    std::string id;
    std::uint32_t serial = 1;
    int x = 200 * 256, y = 150 * 256;
    int w = 40 * 256, h = 30 * 256;
};

// id, serial, position, size; then a decor object's rotated value.
void Decor(CByteBuilder& b, const TEntry& e, std::int64_t rotated) {
    b.Str(e.id).Int(e.serial).Int(e.x).Int(e.y).Int(e.w).Int(e.h).Int(rotated);
}

struct TBirdFields {
    int number = 1;
    int hx = 0, hy = 256;
    int state = 1, timer = 50, set = 3, frame = 0;
    bool mirrored = false;
};

// id, serial, position, size; then a creature's number, heading, state, timer, set, frame and
// mirror flag.
void Creature(CByteBuilder& b, const TEntry& e, const TBirdFields& f) {
    b.Str(e.id).Int(e.serial).Int(e.x).Int(e.y).Int(e.w).Int(e.h);
    b.Int(f.number).Int(f.hx).Int(f.hy).Int(f.state).Int(f.timer).Int(f.set).Int(f.frame).Bool(f.mirrored);
}

class YardRecord : public FarmObjectsTest {
protected:
    // Reads a body into a fresh yard (the object list emptied first).
    bool Read(const Bytes& bytes) {
        farm->m_Objects.RemoveAll();
        std::unique_ptr<CMemoryFile> file(MemoryFileOver(bytes));
        return farm->SerializeCurrentYard(file.get(), false, 1);
    }
    // Writes the open yard's body and returns its bytes.
    Bytes Write() {
        CMemoryFile file;
        EXPECT_EQ(file.Create(100000), 1);
        EXPECT_TRUE(farm->SerializeCurrentYard(&file, true, 1));
        const auto* data = static_cast<const std::uint8_t*>(file.GetBuffer());
        return Bytes(data, data + file.GetCurPos());
    }
};

TEST_F(YardRecord, EntriesAreIdAnd24BytesForDecorAnd49ForCreatures) {
    struct TCase {
        const char* id;
        int entryBytes;
    } cases[] = {{"feeder", 4 + 6 + 24}, {"photostand01", 4 + 12 + 24}, {"doghouse2", 4 + 9 + 24},
                 {"bird1", 4 + 5 + 49},  {"lawn_mower", 4 + 10 + 49},   {"robot", 4 + 5 + 49}};
    for (const TCase& c : cases) {
        farm->m_Objects.RemoveAll();
        Add("yard_bg", 0, 0);  // a default object: never written
        Add(c.id, 300, 100);
        EXPECT_EQ(Write().size(), static_cast<size_t>(28 + c.entryBytes)) << c.id;
    }
    farm->m_Objects.RemoveAll();
    Add("yard_bg", 0, 0);
    const Bytes onlyDefaults = Write();
    EXPECT_EQ(onlyDefaults, Body(0, {0, 0, 0, 0}, 0).bytes) << "a yard of default objects writes count 0";
}

// A yard of one object of each kind of entry, with every field set, written by hand.
Bytes GoldenYard() {
    CByteBuilder b = Body(2, {10, 20, 30, 45}, 4);
    Decor(b, {"feeder", 1, 200 * 256, 150 * 256 + 77, 40 * 256, 30 * 256}, 1);
    TBirdFields walking;
    walking.hx = 181;
    walking.hy = -181;
    walking.state = kChickenWalk;
    walking.timer = 50;
    walking.set = 4;
    walking.frame = 3 * 256 + 128;
    walking.mirrored = true;
    Creature(b, {"bird1", 2, 300 * 256 + 5, 90 * 256, 20 * 256, 24 * 256}, walking);
    TBirdFields robot;
    robot.number = 101;
    robot.hx = 256;
    robot.hy = 0;
    robot.state = kChickenIdle;
    robot.timer = 7;
    robot.set = 0;
    robot.mirrored = true;
    Creature(b, {"robot", 3, 250 * 256, 300 * 256, 28 * 256, 28 * 256}, robot);
    TBirdFields mower;
    mower.number = 100;
    mower.state = kChickenWalkToFront;
    mower.timer = 3;
    mower.set = 3;
    mower.frame = 2 * 256;
    Creature(b, {"lawn_mower", 4, 400 * 256, 329 * 256, 32 * 256, 28 * 256}, mower);
    return b.bytes;
}

TEST_F(YardRecord, GoldenBytesReadAndWriteAgainByteForByte) {
    const Bytes golden = GoldenYard();
    ASSERT_TRUE(Read(golden));
    EXPECT_EQ(farm->m_nStars, 2);
    EXPECT_EQ(farm->m_CategoryPoints[3], 45);
    ASSERT_EQ(farm->m_Objects.count, 4);
    auto* feeder = static_cast<CFarmDecorObject*>(farm->m_Objects[0]);
    EXPECT_EQ(feeder->m_nRotated, 1) << "rotated is read back";
    EXPECT_EQ(feeder->m_Position.y, 150 * 256 + 77);
    auto* bird = static_cast<CChicken*>(farm->m_Objects[1]);
    // A walking bird keeps its state, timer, heading, view and frame.
    EXPECT_EQ(bird->m_nState, kChickenWalk);
    EXPECT_EQ(bird->m_nTimer, 50);
    EXPECT_EQ(bird->m_Direction.x, 181);
    EXPECT_EQ(bird->m_Direction.y, -181);
    EXPECT_EQ(bird->m_nDirectionSet, 4);
    EXPECT_TRUE(bird->m_bMirrored);
    EXPECT_EQ(bird->m_Frame, 3 * 256 + 128);
    EXPECT_EQ(bird->m_uSerialId, 2u);
    EXPECT_EQ(farm->m_Objects[3]->m_nKind, kFarmObjectLawnmower);
    EXPECT_EQ(Write(), golden);
}

TEST_F(YardRecord, SerialIdsAreTheListPlacesNeverZero) {
    Add("yard_bg", 0, 0);
    Add("feeder", 100, 100);
    Add("bird1", 200, 100);
    Add("feeder", 300, 100);
    const Bytes bytes = Write();
    // The entries start at byte 28; each serial follows its id.
    const auto u32 = [&](size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    const size_t first = 28 + 4 + 6, second = first + 24 + 4 + 5, third = second + 49 + 4 + 6;
    EXPECT_EQ(u32(first), 2u);
    EXPECT_EQ(u32(second), 3u);
    EXPECT_EQ(u32(third), 4u);
}

TEST_F(YardRecord, CreaturesReadVisitingOrDraggedStartIdleFacingTheViewer) {
    for (int state : {kChickenVisit, kChickenDragged, kChickenSpin, kChickenIdle}) {
        TBirdFields f;
        f.hx = -256;
        f.hy = 0;
        f.state = state;
        f.set = 0;
        f.frame = 6 * 256;
        f.mirrored = true;
        CByteBuilder b = Body(0, {0, 0, 0, 0}, 1);
        Creature(b, {"bird1"}, f);
        ASSERT_TRUE(Read(b.bytes)) << state;
        const auto* bird = static_cast<CChicken*>(farm->m_Objects[0]);
        const bool reset = state == kChickenVisit || state == kChickenDragged;
        EXPECT_EQ(bird->m_nState, reset ? kChickenIdle : state) << state;
        EXPECT_EQ(bird->m_Direction.x, reset ? 0 : -256) << state;
        EXPECT_EQ(bird->m_Direction.y, reset ? 256 : 0) << state;
        EXPECT_EQ(bird->m_nDirectionSet, reset ? 3 : 0) << state;
        EXPECT_EQ(bird->m_bMirrored, !reset) << state << ": facing the viewer is drawn unmirrored";
        EXPECT_EQ(bird->m_Frame, reset ? 4 * 256 : 6 * 256) << "bird 1 stands on frame 4";
        EXPECT_EQ(bird->m_pDestination, nullptr);
    }
}

// A bird in the player's hand counts the frames it has been held; a record written then keeps the
// count, and the bird read back idles that long.
TEST_F(YardRecord, ABirdWrittenWhileHeldIsReadIdlingForTheFramesItWasHeld) {
    for (const int held : {1, 7, 40}) {
        SCOPED_TRACE(held);
        farm->m_Objects.RemoveAll();
        auto* bird = Add<CChicken>("bird1", 300, 100);
        ASSERT_NE(bird, nullptr);
        bird->OnBeginDragging();
        for (int i = 0; i < held; ++i) bird->RunProcess();
        ASSERT_EQ(bird->m_nState, kChickenDragged);
        ASSERT_TRUE(Read(Write()));
        ASSERT_EQ(farm->m_Objects.count, 1);
        const auto* read = static_cast<CChicken*>(farm->m_Objects[0]);
        EXPECT_EQ(read->m_nState, kChickenIdle);
        EXPECT_EQ(read->m_nTimer, held);
    }
}

TEST_F(YardRecord, ARotatedValueAboveOneReadsAsNotRotated) {
    struct TCase {
        std::int64_t stored;
        int read;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {7, 0}, {-1, 0}, {0x80000000LL, 0}};
    for (const TCase& c : cases) {
        CByteBuilder b = Body(0, {0, 0, 0, 0}, 1);
        Decor(b, {"bush"}, c.stored);
        ASSERT_TRUE(Read(b.bytes)) << c.stored;
        EXPECT_EQ(static_cast<CFarmDecorObject*>(farm->m_Objects[0])->m_nRotated, c.read) << c.stored;
    }
}

TEST_F(YardRecord, ANarrowerScreenBringsObjectsBeyondItsSidesIn) {
    UseScreenWidth(480);
    // The yard's two sides, on screen at this depth on 480 pixels but beyond a 320-pixel screen,
    // and one near the middle.
    const double y = 200;
    CChicken* right = Bird("bird1", 640, y);
    CChicken* left = Bird("bird1", 0, y);
    CChicken* middle = Bird("bird1", 330, y);
    ASSERT_LT(WorldToScreen(&game, right->m_Position).x, 480 * 256);
    ASSERT_GE(WorldToScreen(&game, left->m_Position).x, 0);
    const TVector2D middleBefore = middle->m_Position;
    const Bytes bytes = Write();
    UseScreenWidth(320);
    ASSERT_TRUE(Read(bytes));
    ASSERT_EQ(farm->m_Objects.count, 3);
    // Where the screen's last pixel and its first lie in the world at that depth.
    double lastX, firstX, depth;
    WorldOf(319, ScreenY(y, kH), 320, kH, lastX, depth);
    WorldOf(0, ScreenY(y, kH), 320, kH, firstX, depth);
    EXPECT_NEAR(farm->m_Objects[0]->m_Position.x, lastX * 256, 2) << "at the last pixel of the narrower screen";
    EXPECT_NEAR(farm->m_Objects[1]->m_Position.x, firstX * 256, 2) << "at its first";
    EXPECT_EQ(farm->m_Objects[0]->m_Position.y, static_cast<int>(y * 256)) << "the depth is kept";
    EXPECT_EQ(farm->m_Objects[2]->m_Position.x, middleBefore.x) << "an object on the screen stays put";
}

TEST_F(YardRecord, VisitsDoNotPullObjectsTowardsTheMiddle) {
    Add("feeder", 150, 100);
    Bird("bird2", 80.5, 20);
    Add("bush", 470, 300);
    Bytes bytes = Write();
    for (int visit = 0; visit < 100; ++visit) {
        ASSERT_TRUE(Read(bytes));
        bytes = Write();
    }
    EXPECT_EQ(farm->m_Objects[0]->m_Position.x, 150 * 256) << "the camera does not invert exactly in x";
    EXPECT_EQ(farm->m_Objects[1]->m_Position.x, 80 * 256 + 128);
    EXPECT_EQ(farm->m_Objects[2]->m_Position.x, 470 * 256);
}

// ---- Records the reader refuses ----------------------------------------------------------------

TEST_F(YardRecord, DamagedOrHostileRecordsAreRefused) {
    const auto bird = [](TBirdFields f, int y = 150 * 256, int x = 200 * 256) {
        CByteBuilder b = Body(1, {1, 2, 3, 4}, 1);
        TEntry e{"bird1"};
        e.x = x;
        e.y = y;
        Creature(b, e, f);
        return b.bytes;
    };
    const auto decor = [](int y) {
        CByteBuilder b = Body(1, {1, 2, 3, 4}, 1);
        TEntry e{"feeder"};
        e.y = y;
        Decor(b, e, 0);
        return b.bytes;
    };
    const Bytes golden = GoldenYard();
    TBirdFields ok;
    TBirdFields setHigh = ok, setLow = ok, frameHigh = ok, frameLow = ok, stateHigh = ok, stateLow = ok, still = ok,
                noSet = ok;
    setHigh.set = 8;
    setLow.set = -1;
    frameHigh.frame = 8 * 256;  // the bird's sets have 8 frames: 0 to 7
    frameLow.frame = -1;
    stateHigh.state = 6;
    stateLow.state = -1;
    still.hx = still.hy = 0;
    noSet.set = 1;  // birds have no set 1
    struct TCase {
        Bytes bytes;
        bool read;
        const char* why;
    } cases[] = {
        {bird(ok), true, "a good record"},
        {decor(329 * 256), true, "a good record at the near edge"},
        {Body(0, {1, 2, 3, 4, 5}, 0).bytes, false, "five category points"},
        {CByteBuilder().Int(0).Int(-1).Int(0).bytes, false, "a negative point count"},
        {Body(0, {1, 2}, 0).bytes, true, "fewer points than four"},
        {Body(4, {0, 0, 0, 0}, 0).bytes, false, "four stars"},
        {Body(-1, {0, 0, 0, 0}, 0).bytes, false, "negative stars"},
        {Body(0, {0, 0, 0, 0}, 1000000).bytes, false, "more objects than the bytes can hold"},
        {Body(0, {0, 0, 0, 0}, -1).bytes, false, "a negative object count"},
        {Body(0, {0, 0, 0, 0}, 1).Int(0x7FFFFFFF).Zeros(40).bytes, false, "an id longer than the bytes left"},
        {Body(0, {0, 0, 0, 0}, 1).Int(0).Zeros(40).bytes, false, "an empty id"},
        {Body(0, {0, 0, 0, 0}, 1).Str("nope").Zeros(40).bytes, false, "an id the yard does not define"},
        {bird(setHigh), false, "direction set 8"},
        {bird(setLow), false, "direction set -1"},
        {bird(noSet), false, "a direction set this creature does not have"},
        {bird(frameHigh), false, "a frame beyond its set"},
        {bird(frameLow), false, "a negative frame"},
        {bird(stateHigh), false, "state 6"},
        {bird(stateLow), false, "state -1"},
        {bird(still), false, "a heading of (0, 0)"},
        {bird(ok, -1), false, "a depth above the far edge"},
        {bird(ok, 329 * 256 + 1), false, "a depth beyond the near edge"},
        {decor(658 * 256), false, "the camera's vanishing depth"},
        {bird(ok, 100 * 256, -1), false, "left of the yard"},
        {bird(ok, 100 * 256, 640 * 256 + 1), false, "right of the yard"},
        {bird(ok, 100 * 256, -2147432448), false, "so far left the camera would overflow"},
        {bird(ok, 100 * 256, 640 * 256), true, "on the yard's right edge"},
        {Bytes(golden.begin(), golden.end() - 1), false, "a body cut short by one byte"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Read(c.bytes), c.read) << c.why;
    // A damaged entry takes its object with it; those read before it stay.
    CByteBuilder twice = Body(0, {0, 0, 0, 0}, 2);
    Decor(twice, {"feeder"}, 0);
    TEntry deep{"bush"};
    deep.y = 400 * 256;
    Decor(twice, deep, 0);
    ASSERT_FALSE(Read(twice.bytes));
    ASSERT_EQ(farm->m_Objects.count, 1);
    EXPECT_TRUE(farm->m_Objects[0]->m_Id.IsEqual("feeder"));
    // Counts are checked before anything is made.
    ASSERT_FALSE(Read(Body(0, {0, 0, 0, 0}, 1000000).bytes));
    EXPECT_EQ(farm->m_Objects.count, 0);
    ASSERT_FALSE(Read(Body(0, {0, 0, 0, 0}, 1).Int(0x7FFFFFFF).Zeros(40).bytes));
    EXPECT_EQ(farm->m_Objects.count, 0);
}

TEST_F(YardRecord, FourPointsAreReadWhereTheyBelong) {
    for (int& p : farm->m_CategoryPoints) p = 99;
    ASSERT_TRUE(Read(Body(3, {5, 6}, 0).bytes));
    EXPECT_EQ(farm->m_nStars, 3);
    EXPECT_EQ(farm->m_CategoryPoints[0], 5);
    EXPECT_EQ(farm->m_CategoryPoints[1], 6);
    EXPECT_EQ(farm->m_CategoryPoints[2], 99) << "points the record does not hold are left alone";
}

}  // namespace
