// The game object's start-up: the engine's numbered start-up wrapped by the game's own steps,
// the declarations of the resources the loader screen loads later, the frame rate that the
// particle systems follow, and the logical resolution chosen for a device.
#include <cstdio>
#include <new>

#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "audio/SoundSystem.h"
#include "core/QuorvanStorage.h"
#include "game/app/TheGame.h"
#include "game/screens/MenuMusic.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

struct TParticleEffectDef {
    const char* name;
    const char* file;
};

// In declaration order: the order gives each effect its index in the particle manager.
constexpr TParticleEffectDef kParticleEffects[kGameParticleEffectCount] = {
    {"MarbleTrace", "Effects\\MarbleTrace.pfd"},
    {"ScoreEffect", "Effects\\ScoreEffect.pfd"},
    {"BombExplosion", "Effects\\BombExplosion.pfd"},
    {"XRayCenter", "Effects\\XRayCenter.pfd"},
    {"ColorBomb", "Effects\\ColorBombEffect.pfd"},
    {"ObjectBuy", "Effects\\yard_object_buy.pfd"},
    {"EmoLove", "Effects\\emo_love.pfd"},
    {"RobotHeal", "Effects\\robot_heal.pfd"},
    {"Intro1", "Effects\\Intro1.pfd"},
    {"StarBlinks", "Effects\\StarBlinks.pfd"},
    {"StartMenuLogo", "Effects\\startmenulogo.pfd"},
    {"ChickenJump", "Effects\\chicken_jump.pfd"},
    {"LawnMower", "Effects\\lawnmower.pfd"},
};

constexpr const char* kUISpriteFiles[] = {"ui_sprites.txt", "ui_sprites2.txt"};
constexpr const char* kOtherSpriteFiles[] = {"game_sprites.txt", "chicken_sprites.txt", "shop_sprites.txt",
                                             "farm_obj_sprites.txt"};

constexpr int kRotatorTableEntries = 36000;
constexpr int kRotatorQualityHighest = 2;

// One line on stderr naming the start-up step that failed; false, for the caller to return.
bool StartUpFailed(const char* step) {
    std::fprintf(stderr, "game: start-up failed: %s\n", step);
    return false;
}

}  // namespace

bool CTheGame::Init(int width, int height) {
    m_bInitCompleted = false;
    SafeDelete(m_pRotatorScaler);
    m_pRotatorScaler = new (std::nothrow) CQuorvanImageRotatorScaler(this, kRotatorTableEntries);
    if (m_pRotatorScaler == nullptr || !m_pRotatorScaler->Initialize()) {
        SafeDelete(m_pRotatorScaler);
        return StartUpFailed("the image rotator");
    }
    m_pRotatorScaler->SetQuality(kRotatorQualityHighest);
    // Rotated images reach a GL back buffer only through this path; it leaves software targets
    // to the rotator's own drawing.
    SafeDelete(m_pRotatorPath);
    m_pRotatorPath = new (std::nothrow) CGlesRotatorPath(this, m_pRotatorScaler);
    if (m_pRotatorPath == nullptr) return StartUpFailed("the image rotator");
    m_pRotatorScaler->SetHardwarePath(m_pRotatorPath);

    if (!CGameBase::Init(width, height)) {
        if (m_FailedPakPath.Length() > 0)
            std::fprintf(stderr, "game: start-up failed: the resource pak %s %s; `make build` makes it\n",
                         m_FailedPakPath.GetDataConst(),
                         m_FailedPakReason.Length() > 0 ? m_FailedPakReason.GetDataConst() : "cannot be opened");
        else if (m_StartUpFailure.Length() > 0)
            std::fprintf(stderr, "game: start-up failed: %s\n", m_StartUpFailure.GetDataConst());
        else
            std::fprintf(stderr, "game: start-up failed at engine stage %d\n", m_nFailingStage);
        return false;
    }
    CommonString failure;
    if (!DefineSpriteSets_UI(&failure))
        return StartUpFailed((CommonString("the UI sprite sets: ") + failure).GetDataConst());
    if (!DefineParticleSystems()) return StartUpFailed("the particle effects");
    if (!DefineSounds(&failure)) return StartUpFailed((CommonString("the sound table: ") + failure).GetDataConst());
    CommonString birds;
    if (!CreateBirdSoundsManager(&birds)) return StartUpFailed(birds.GetDataConst());
    if (!InitSaveResumeStorage()) return StartUpFailed("the resume storage");
    // The floating texts of a round centre on the screen actually built, whatever the table said.
    if (m_Screen.m_pBackBuffer != nullptr) GC.m_nTextCenterX = m_Screen.m_pBackBuffer->m_Width / 2;
    if (!RunLoader()) {
        std::fprintf(stderr, "game: start-up failed: the loader: %s\n", FailedScreenText().GetDataConst());
        return false;
    }
    m_bInitCompleted = true;
    return true;
}

void CTheGame::SetFpsControlCobblebrooks(int fps, bool a, bool b) {
    SetFpsControl(fps, a, b);
    if (m_pParticleManager == nullptr) return;
    const FIXED_FLOAT_16 rate = m_nFrameRate << 16;
    for (int i = 0; i < m_pParticleManager->GetNumParticleSystems(); ++i)
        if (CQuorvanParticleSystem2* system = m_pParticleManager->GetParticleSystemAt(i)) system->SetFPS(rate);
}

bool CTheGame::SelectAndroidInGameResolution(int w, int h, int& outW, int& outH) {
    if (m_Screen.m_nOrientationMode != 0) return CGameBase::SelectAndroidInGameResolution(w, h, outW, outH);
    int shortSide = 0;
    int longSide = 0;
    if (!ScreenSidesOrBaseSize(w, h, shortSide, longSide, outW, outH)) return true;
    if (static_cast<float>(longSide) / static_cast<float>(shortSide) < 1.5f) {
        outH = 480;
        outW = shortSide * 480 / longSide;
    } else {
        outW = 320;
        outH = longSide * 320 / shortSide;
    }
    if (shortSide >= 480) m_RenderSwitches.m_bDoubleResolution = true;
    return true;
}

CSpriteSetManager* CTheGame::GetSpriteSetManager() { return m_pSpriteSetManager; }

bool CTheGame::DefineSpriteSets_UI(CommonString* failedFile) {
    SafeDelete(m_pSpriteSetManager);
    m_pSpriteSetManager = new (std::nothrow) CSpriteSetManager(this, 40);
    if (m_pSpriteSetManager == nullptr) return false;
    for (const char* file : kUISpriteFiles) {
        const CommonString path = GetCommonUIDirectory() + CommonString(file);
        if (AddSpriteSetsFromFile(this, path)) continue;
        if (failedFile != nullptr) *failedFile = path;
        return false;
    }
    return true;
}

bool CTheGame::DefineSpriteSets_TheRest(CommonString* failedFile) {
    if (m_pSpriteSetManager == nullptr) return false;
    for (const char* file : kOtherSpriteFiles) {
        const CommonString path = GetCommonUIDirectory() + CommonString(file);
        if (AddSpriteSetsFromFile(this, path)) continue;
        if (failedFile != nullptr) *failedFile = path;
        return false;
    }
    return true;
}

bool CTheGame::DefineParticleSystems() {
    SafeDelete(m_pParticleManager);
    for (int& index : m_ParticleEffectIndex) index = -1;
    m_pParticleManager = new (std::nothrow) CQuorvanParticleSystemManager2(this, m_pRotatorScaler, 20);
    if (m_pParticleManager == nullptr) return false;
    for (int i = 0; i < kGameParticleEffectCount; ++i) {
        if (!m_pParticleManager->AddParticleSystemDefenition(kParticleEffects[i].name, kParticleEffects[i].file))
            return false;
        m_ParticleEffectIndex[i] = m_pParticleManager->GetNumParticleSystems() - 1;
    }
    return true;
}

bool CTheGame::DefineSounds(CommonString* failure) {
    SafeDelete(m_pSoundManager);
    m_pSoundManager = new (std::nothrow) CSoundManager(this);
    CommonString why("there is no memory for it");
    bool made = m_pSoundManager != nullptr;
    if (made && !m_pSoundManager->PostConstruct()) {
        why = CommonString("Data\\sfx.txt: cannot be opened or read in the paks");
        made = false;
    }
    if (made) made = m_pSoundManager->CheckTable(why);
    if (!made && failure != nullptr) *failure = why;
    return made;
}

bool CTheGame::InitMusicStreams() {
    if (m_pSoundSystem == nullptr) return false;
    for (int track = 0; track < kMusicTrackCount; ++track) {
        const CommonString path = GetSoundsDirectory() + CommonString(g_cs_OGG_FileNames[track]);
        const int id = m_pSoundSystem->LoadStream(path.GetDataConst());
        g_cs_OGG_LoadedIndexes[track] = id;
        if (id < 0) return false;
    }
    return true;
}

bool CTheGame::InitSaveResumeStorage() {
    SafeDelete(m_pSaveResumeStorage);
    m_pSaveResumeStorage = new (std::nothrow) CQuorvanStorage(this);
    if (m_pSaveResumeStorage == nullptr) return false;
    const CommonString path = GetSaveDirectory() + CommonString("saveresume.dat");
    m_pSaveResumeStorage->SetPathAndCRC(path.GetDataConst(), nullptr);
    // A save cut short leaves its temporary file; an unreadable or damaged file is told now.
    m_pSaveResumeStorage->RecoverAtStart();
    return true;
}

int CTheGame::AddSpriteSetRef(CSpriteSet*& slot, const char* name) {
    slot = m_pSpriteSetManager != nullptr ? m_pSpriteSetManager->GetSpriteSetNamed(name) : nullptr;
    if (slot == nullptr) return 0;
    return slot->AddReference();
}

void CTheGame::ReleaseSpriteSetRef(CSpriteSet*& slot) {
    if (slot != nullptr) slot->ReleaseReference();
    slot = nullptr;
}

void CTheGame::ResetShopTabOffsets() {
    for (int& offset : m_ShopTabOffsets) offset = -1000;
    m_nShopCurrentTab = 0;
}
