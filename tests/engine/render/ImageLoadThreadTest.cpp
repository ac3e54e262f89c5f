// The stream JPEG decoder on a worker thread, as the news pictures use it: it must touch no
// engine switch and no GL. Under ThreadSanitizer a write to a switch races with the main thread.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "core/MemFile.h"
#include "render/ImageLoaders.h"
#include "render/WinDibBitmap.h"
#include "testsupport/FakeRenderHost.h"
#include "testsupport/ImageFixtures.h"

namespace {

class CThreadTestGame : public CFakeRenderHost {};

TEST(ImageLoadThreadTest, StreamDecoderOnAWorkerLeavesTheSwitchesToTheMainThread) {
    CThreadTestGame game;
    game.m_RenderSwitches.m_nRendererKind = kRendererGLES;
    const auto jpg = MakeSolidJpeg(32, 16, 0, 255, 0);
    auto* buffer = static_cast<unsigned char*>(std::malloc(jpg.size()));
    std::memcpy(buffer, jpg.data(), jpg.size());
    CMemoryFile stream;
    ASSERT_EQ(stream.Attach(buffer, static_cast<int>(jpg.size())), 1);
    std::unique_ptr<IDibBitmap> result;
    std::thread worker([&] { result.reset(ImageLoad_JPG_FromStream(&game, &stream, nullptr)); });
    // The main thread keeps using the switches meanwhile, as the game's frame does.
    for (int i = 0; i < 1000; ++i) {
        game.m_RenderSwitches.m_bHardwareTextures = (i & 1) != 0;
        game.m_RenderSwitches.m_bImmediateUpload = (i & 2) != 0;
    }
    worker.join();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetHWResource(), nullptr) << "a plain software bitmap, no textures";
    EXPECT_EQ(result->m_Width, 32);
    EXPECT_EQ(result->m_Height, 16);
}

}  // namespace
