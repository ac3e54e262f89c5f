#include "game/farm/Lawnmower.h"

#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/YardCamera.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"

namespace {

constexpr const char* kMowerSuffixes[kDirectionSetCount] = {"_left",    nullptr,      "_up",   "_down",
                                                            "_left_up", "_left_down", nullptr, nullptr};
constexpr FIXED_FLOAT_16 kMowerScale = 52429;          // 0.8
constexpr FIXED_FLOAT kMowerWalkStep = 64;             // a quarter frame per step
constexpr FIXED_FLOAT_16 kMachineMarkerScale = 91750;  // 1.4
// Cuttings fly from this far behind the mower (pixels at full size), three a frame, jittered
// over this many pixels.
constexpr std::int64_t kTrailBehind = 35;
constexpr int kTrailParticles = 3;
constexpr int kTrailJitter = 35;

}  // namespace

CLawnmower::CLawnmower(CGameBase* game, const char* id) : CChicken(game, id) {
    m_nKind = kFarmObjectLawnmower;
    m_SelectionScale = kMachineMarkerScale;
    m_DrawScale = kMowerScale;
    m_pSetSuffixes = kMowerSuffixes;
}

CLawnmower::~CLawnmower() {
    CQuorvanParticleSystemManager2* manager = GetParticleManager();
    if (m_pParticles != nullptr && manager != nullptr) manager->DeleteParticleSystem(m_pParticles);
    m_pParticles = nullptr;
}

bool CLawnmower::Init(int argument) {
    if (!CFarmObject::Init(argument)) return false;
    m_nBirdNumber = kLawnmowerNumber;
    m_nStandingFrame = 0;
    m_AnimationSpeed = kMowerWalkStep;
    m_AnchorHeight = 0;
    m_FaceOffset = TVector2D{0, -24 * 256};
    if (!InitDirectionSets("lawnmower")) return false;
    CQuorvanParticleSystemManager2* manager = GetParticleManager();
    if (manager == nullptr || !manager->AddParticleSystemDefenition("LawnMower", "Effects\\lawnmower.pfd"))
        return false;
    m_pParticles = manager->GetParticleSystemAt(manager->GetNumParticleSystems() - 1);
    if (m_pParticles == nullptr || !m_pParticles->InitFromFile()) return false;
    if (m_pGame->m_nFrameRate > 0) m_pParticles->SetFPS(m_pGame->m_nFrameRate << 16);
    m_pParticles->m_Info.m_RandomPos = kTrailJitter;
    // The trail is drawn at the depth of the mower: particles live in unscaled pixels and are
    // zoomed about the screen's origin.
    m_pParticles->m_bZoom = true;
    IDibBitmap* back = BackBuffer();
    if (back != nullptr) ClipParticleSystemToScreen(m_pParticles, back->m_Width, back->m_Height);
    return true;
}

void CLawnmower::RunProcess() {
    CChicken::RunProcess();
    if (m_nState != kChickenWalk || m_pParticles == nullptr) return;
    const FIXED_FLOAT_16 s = WorldToScreenScale(m_Position);
    if (s <= 0) return;
    m_pParticles->m_bZoom = true;
    m_pParticles->m_ZoomCenter = TVector2D_16{};
    m_pParticles->m_nZoomScale = s;
    m_pParticles->m_DrawOffset = TVector2D_16{};
    IDibBitmap* back = BackBuffer();
    if (back != nullptr) ClipParticleSystemToScreen(m_pParticles, back->m_Width, back->m_Height);
    // Behind the mower on the screen, then into the trail's unscaled pixels.
    const TVector2D screen = ScreenPosition();
    const std::int64_t behind = (kTrailBehind * s) >> 8;  // 24.8 pixels
    const std::int64_t x = screen.x - ((m_Direction.x * behind) >> 8);
    const std::int64_t y = screen.y - ((m_Direction.y * behind) >> 8);
    m_pParticles->StartAt(static_cast<FIXED_FLOAT_16>((x << 24) / s), static_cast<FIXED_FLOAT_16>((y << 24) / s));
    m_pParticles->EmitNewParticles(kTrailParticles);
    m_pParticles->Stop(false);
}

void CLawnmower::DrawTrail() {
    CQuorvanParticleSystemManager2* manager = GetParticleManager();
    const int index = manager != nullptr && m_pParticles != nullptr ? manager->GetIdOfParticleSystem(m_pParticles) : -1;
    if (index >= 0) manager->DrawAndMark(BackBuffer(), index);
}

void CLawnmower::Draw(int passes) {
    const bool towardsViewer = m_Direction.y > 0;
    if ((passes & kDrawBody) != 0 && towardsViewer) DrawTrail();
    CChicken::Draw(passes);
    if ((passes & kDrawBody) != 0 && !towardsViewer) DrawTrail();
}

void CLawnmower::OnBeginDragging() {
    CChicken::OnBeginDragging();
    if (m_pParticles != nullptr) m_pParticles->Stop(false);
}
