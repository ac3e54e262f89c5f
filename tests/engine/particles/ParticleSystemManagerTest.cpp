// The manager: lookups, deletion by index with the marks, and the mark / do-the-rest protocol.
#include <gtest/gtest.h>

#include <string>

#include "ParticleTestFixtures.h"
#include "particles/ParticleSystemManager.h"

using namespace particle_test;

namespace {

// A manager of n started systems s0..s(n-1), each a motionless emitter one per step at
// (8 + 12 i, 8) with in-memory sprites.
void Fill(TParticleWorld& world, CQuorvanParticleSystemManager2& manager, int n) {
    for (int i = 0; i < n; ++i) {
        auto system = MakeSystem(world,
                                 "ParticleSpeedMin = 0\nParticleSpeedMax = 0\nRandomPos = 0\n"
                                 "EmissionSpeed = 34\nColorEnd_A = 255\nParticleLifeMin = 100\n"
                                 "ParticleLifeMax = 100\n");
        ASSERT_NE(system, nullptr);
        system->StartAt(I(8 + 12 * i), I(8));
        ASSERT_EQ(manager.AddParticleSystem(("s" + std::to_string(i)).c_str(), system.get()), 1);
        system.release();
    }
}

// Which systems drew into the strip of canvas cells, one per system.
std::string DrawnCells(CWinDibBitmap& canvas, int n) {
    std::string cells;
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(canvas.GetBits());
    for (int i = 0; i < n; ++i) cells += pixels[8 * canvas.m_Width + 8 + 12 * i] != 0 ? 'x' : '.';
    return cells;
}

}  // namespace

TEST(ParticleManager, LookupsByIndexNameAndPointer) {
    TParticleWorld world;
    CQuorvanParticleSystemManager2 manager(&world.game, &world.rotator, 20);
    ASSERT_EQ(manager.AddParticleSystemDefenition("MarbleTrace", "Effects/trace.pfd"), 1);
    ASSERT_EQ(manager.AddParticleSystemDefenition("ScoreEffectLongName", "Effects/score.pfd"), 1);
    ASSERT_EQ(manager.AddParticleSystemDefenition("MarbleTrace", "Effects/other.pfd"), 1);
    EXPECT_EQ(manager.GetNumParticleSystems(), 3);
    EXPECT_EQ(manager.GetIdOfParticleSystemNamed("MarbleTrace"), 0) << "the first of two names";
    EXPECT_STREQ(manager.GetParticleSystemNamed("MarbleTrace")->GetFileName().GetDataConst(), "Effects/trace.pfd");
    EXPECT_EQ(manager.GetIdOfParticleSystemNamed("ScoreEffectLongName"), 1) << "long names kept whole";
    EXPECT_EQ(manager.GetIdOfParticleSystemNamed("ScoreEffectL"), -1);
    EXPECT_EQ(manager.GetIdOfParticleSystemNamed("marbletrace"), -1);
    EXPECT_EQ(manager.GetParticleSystemNamed(nullptr), nullptr);
    EXPECT_EQ(manager.GetParticleSystemAt(3), nullptr);
    EXPECT_EQ(manager.GetParticleSystemAt(-1), nullptr);
    CQuorvanParticleSystem2* second = manager.GetParticleSystemAt(1);
    EXPECT_EQ(manager.GetIdOfParticleSystem(second), 1);
    CQuorvanParticleSystem2 stranger(&world.game, &world.rotator);
    EXPECT_EQ(manager.GetIdOfParticleSystem(&stranger), -1);
    manager.DeleteParticleSystem(&stranger);
    manager.DeleteParticleSystem(7);
    manager.DeleteParticleSystem("none");
    EXPECT_EQ(manager.GetNumParticleSystems(), 3);
    manager.DeleteParticleSystem("MarbleTrace");
    EXPECT_STREQ(manager.GetParticleSystemNamed("MarbleTrace")->GetFileName().GetDataConst(), "Effects/other.pfd");
    manager.DeleteParticleSystem(second);
    EXPECT_EQ(manager.GetNumParticleSystems(), 1);
}

TEST(ParticleManager, DeletingByIndexMovesLaterSystemsWithTheirMarks) {
    TParticleWorld world;
    FillParticleTableSequence();
    CQuorvanParticleSystemManager2 manager(&world.game, &world.rotator, 2);
    Fill(world, manager, 5);
    CWinDibBitmap canvas(&world.game);
    canvas.Create(64, 16);
    manager.RunProcessAndMark(3);
    manager.DrawAndMark(&canvas, 4);
    CQuorvanParticleSystem2* third = manager.GetParticleSystemAt(3);
    CQuorvanParticleSystem2* fourth = manager.GetParticleSystemAt(4);
    manager.DeleteParticleSystem(2);
    ASSERT_EQ(manager.GetNumParticleSystems(), 4);
    EXPECT_EQ(manager.GetParticleSystemAt(2), third);
    EXPECT_EQ(manager.GetParticleSystemAt(3), fourth);
    EXPECT_TRUE(manager.GetParticleSystemAt(2)->GetName() == "s3");
    EXPECT_EQ(manager.GetProcessMark(2), 1);
    EXPECT_EQ(manager.GetDrawMark(2), 0);
    EXPECT_EQ(manager.GetProcessMark(3), 0);
    EXPECT_EQ(manager.GetDrawMark(3), 1);
}

TEST(ParticleManager, MarkedSystemsAreSkippedByTheRest) {
    TParticleWorld world;
    FillParticleTableSequence();
    CQuorvanParticleSystemManager2 manager(&world.game, &world.rotator, 20);
    Fill(world, manager, 4);

    // Processing: the marked system ran once by itself, the rest once each.
    manager.ResetRunProcessMarks();
    manager.RunProcessAndMark(1);
    manager.RunProcessTheRest();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(manager.GetParticleSystemAt(i)->GetNumActiveParticels(), 1) << i;
    manager.RunProcessTheRest();
    EXPECT_EQ(manager.GetParticleSystemAt(1)->GetNumActiveParticels(), 1) << "marked until reset";
    EXPECT_EQ(manager.GetParticleSystemAt(0)->GetNumActiveParticels(), 2);
    manager.ResetRunProcessMarks();
    manager.RunProcess();
    EXPECT_EQ(manager.GetParticleSystemAt(1)->GetNumActiveParticels(), 2);

    // Drawing: after DrawAndMark(1) the rest leaves system 1 alone until the marks reset.
    CWinDibBitmap canvas(&world.game);
    canvas.Create(64, 16);
    canvas.ClearBitmap(0, 0, 0);
    manager.ResetDrawMarks();
    manager.DrawAndMark(&canvas, 1);
    EXPECT_EQ(DrawnCells(canvas, 4), ".x..");
    canvas.ClearBitmap(0, 0, 0);
    manager.DrawTheRest(&canvas);
    EXPECT_EQ(DrawnCells(canvas, 4), "x.xx");
    canvas.ClearBitmap(0, 0, 0);
    manager.DrawTheRest(&canvas);
    EXPECT_EQ(DrawnCells(canvas, 4), "x.xx");
    manager.ResetDrawMarks();
    canvas.ClearBitmap(0, 0, 0);
    manager.DrawTheRest(&canvas);
    EXPECT_EQ(DrawnCells(canvas, 4), "xxxx");
    manager.DrawAndMark(&canvas, 9);  // out of range: nothing

    manager.StopAll(false);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(manager.GetParticleSystemAt(i)->IsStopped());
    EXPECT_EQ(manager.GetParticleSystemAt(0)->GetNumActiveParticels(), 3);
    manager.StopAll(true);
    EXPECT_EQ(manager.GetParticleSystemAt(0)->GetNumActiveParticels(), 0);
    manager.DestroyParticleSystems();
    EXPECT_EQ(manager.GetNumParticleSystems(), 0);
    ASSERT_EQ(manager.AddParticleSystemDefenition("again", "x.pfd"), 1) << "usable after destroying";
}
