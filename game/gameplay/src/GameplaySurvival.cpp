// The round screen's life cycle: construction and initialisation, the start of a round, the order
// of a frame, and the play field the marbles ask of it.
#include "game/gameplay/GameplaySurvival.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/GameBase.h"
#include "app/GlobalConstants.h"
#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/news/AdsEngine.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/JumpString.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/Widget.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kRoundRoot = "root_GAMEPLAY_NoAds";
constexpr const char* kTutorialRoot = "root_tutorial_NoAds";

// The frame and display images, in the order of the screen's image slots.
constexpr const char* kImageNames[CXGameplaySurvival::kImageCount] = {
    "ui\\gameplay\\game_top",          "ui\\gameplay\\game_bottom",     "ui\\gameplay\\game_left",
    "ui\\gameplay\\game_right",        "ui\\gameplay\\game_nails",      "ui\\gameplay\\game_lifes",
    "ui\\gameplay\\game_coins",        "ui\\gameplay\\game_progress_0", "ui\\gameplay\\game_progress_1",
    "ui\\gameplay\\game_side_shadows", "ui\\gameplay\\game_top_shadow", "ui\\gameplay\\game_left_shadow",
};
// The full bar's caps: its image is this much wider than the part that fills.
constexpr int kProgressCapsPx = 20;

// The colour-bomb sets by colour mask (bit 0 red, 1 green, 2 blue, 3 yellow); the masks of three
// or four colours have none.
struct TColorBombSet {
    int mask;
    const char* name;
};
constexpr TColorBombSet kColorBombSets[] = {
    {1, "ColorBombRed"},          {2, "ColorBombGreen"},       {3, "ColorBombRedGreen"}, {4, "ColorBombBlue"},
    {5, "ColorBombRedBlue"},      {6, "ColorBombGreenBlue"},   {8, "ColorBombYellow"},   {9, "ColorBombRedYellow"},
    {10, "ColorBombGreenYellow"}, {12, "ColorBombBlueYellow"},
};

// The game's particle effects the power-ups sparkle on (indexes in its effect list).
constexpr int kEightWaySparklesEffect = 3;
constexpr int kColorBombSparklesEffect = 4;

// The first marbles of the first arena stand this far in from the area's corners.
constexpr int kCornerInsetPx = 60;
// Generous bounds from the content's own sheets: 32 or 64 frames of 36 pixels.
constexpr int kMaxMarbleFrames = 256;
constexpr int kMinMarbleFramePx = 8;

// The intro sound lasts about this long before the arena's music starts.
constexpr int kMusicDelayFrames = 132;

// Where the start texts of the harder arenas stand, relative to the text centre.
constexpr int kStartTextRaisePx = 40;
constexpr int kArenaNameDropPx = 20;
constexpr int kArenaFactorDropPx = 60;

FIXED_FLOAT_16 Px16(int px) { return static_cast<FIXED_FLOAT_16>(px) * 65536; }

}  // namespace

CXGameplaySurvival::CXGameplaySurvival(CXElement* parent) : XGameRoot(parent) {
    m_Explosions.growBy = m_Animations.growBy = m_Rays.growBy = m_Bombs.growBy = 16;
    m_Marbles.growBy = 16;
    m_PathPoints.growBy = 1;
    m_DrawingCurve.SetGamePtr(dynamic_cast<CGameBase*>(GetGamePtr()));
    if (IGameplayHost* host = Host()) host->ForgetNewHighScore();
}

CXGameplaySurvival::~CXGameplaySurvival() {
    StopSound("SFX_PATH_MOVE");
    IGameplayHost* host = Host();
    if (CQuorvanParticleSystemManager2* particles = host != nullptr ? host->GetParticleManager() : nullptr)
        particles->StopAll(false);
    SafeDelete(m_pParticleShape);
    SafeDelete(m_pBackground);
    for (IDibBitmap*& image : m_Images) SafeDelete(image);
    SafeDelete(m_pJumpStrings);
    m_pDraggedMarble = nullptr;
    m_Marbles.RemoveAll();
}

TUserProfile* CXGameplaySurvival::Profile() const { return CurrentProfileOf(GameBase()); }

IGameplayHost* CXGameplaySurvival::Host() const { return GameplayHostOf(GameBase()); }

CBitmapFontText* CXGameplaySurvival::GameFont(EGameFont font) const {
    IProgressHost* progress = ProgressHostOf(GameBase());
    return progress != nullptr ? progress->GetGameFont(font) : nullptr;
}

CQuorvanParticleSystem2* CXGameplaySurvival::ParticleEffect(int effect) const {
    IGameplayHost* host = Host();
    CQuorvanParticleSystemManager2* particles = host != nullptr ? host->GetParticleManager() : nullptr;
    return particles != nullptr ? particles->GetParticleSystemAt(host->GetParticleEffectIndex(effect)) : nullptr;
}

int CXGameplaySurvival::OnInitElement() {
    CGameBase* game = GameBase();
    IGameplayHost* host = Host();
    if (game == nullptr || host == nullptr) return 0;
    if (CAdsEngine* ads = host->GetAdsEngine()) ads->ShowAd(false);

    const TUserProfile* profile = Profile();
    CArenaManager* arenas = host->GetArenaManager();
    if (profile == nullptr || arenas == nullptr) return 0;
    m_pArena = arenas->GetArena(profile->m_CurrentArena.GetDataConst());
    if (m_pArena == nullptr) return 0;
    m_nArenaIndex = m_pArena->id == "arena2" ? 1 : m_pArena->id == "arena3" ? 2 : 0;

    if (!InitRoot(kTemplateFile, m_bTutorial ? kTutorialRoot : kRoundRoot)) return 0;
    if (!m_bTutorial) OnRootReloaded();

    // The round has no ad strip: the area takes its height in at the top.
    const TCoordRect2D rect = SetupPlayRect();
    const int strip = GC.m_nAdBannerHeight;
    m_PlayRect = TRect2D{rect.x << 8, (rect.y - strip) << 8, rect.width << 8, (rect.height + strip) << 8};

    if (!LoadImages() || !TakeSprites()) return 0;
    m_pJumpStrings = new (std::nothrow) CJumpStringManager(game, this);
    if (m_pJumpStrings == nullptr || !m_pJumpStrings->PostConstruct()) return 0;
    m_pParticleShape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (m_pParticleShape == nullptr) return 0;
    // The score text exists before the first frame.
    ProcessScore();
    // The quest bonus of this arena is taken fresh for the round.
    CMiniQuestManager* quests = host->GetMiniQuestManager();
    if (!m_bTutorial && quests != nullptr) quests->RecalcMiniQuestResultsForCurrentArena();
    return 1;
}

TCoordRect2D CXGameplaySurvival::SetupPlayRect() {
    const IDibBitmap* back = GetBackBuffer();
    const int w = back != nullptr ? back->m_Width : 0;
    const int h = back != nullptr ? back->m_Height : 0;
    TCoordRect2D rect;
    rect.x = GC.m_nPlayAreaSideMargin;
    rect.y = GC.m_nPlayAreaTop;
    rect.width = w - 2 * GC.m_nPlayAreaSideMargin;
    rect.height = h - GC.m_nPlayAreaTop - GC.m_nPlayAreaBottomMargin;
    return rect;
}

void CXGameplaySurvival::OnRootReloaded() {
    m_pScoreText = FindChildWithWidgetId("txt_GAME_Score");
    m_pCoinsText = FindChildWithWidgetId("txt_GAME_Coins");
    m_pLevelText = FindChildWithWidgetId("txt_GAME_Level");
    m_pLivesText = FindChildWithWidgetId("txt_GAME_Lifes");
}

bool CXGameplaySurvival::LoadImages() {
    CGameBase* game = GameBase();
    const CommonString dir = game->GetImagesDirectory();
    for (int i = 0; i < kImageCount; ++i) {
        const CommonString path = dir + CommonString(kImageNames[i]);
        m_Images[i] = ImageLoad(game, path.GetDataConst(), nullptr);
        if (m_Images[i] == nullptr) {
            NoteFailure(CommonString("the image ") + path + CommonString(" cannot be loaded"));
            return false;
        }
    }
    m_nFullFillWidth = m_Images[kImageProgressFull]->m_Width - kProgressCapsPx;
    const CommonString background = dir + m_pArena->bg;
    m_pBackground = ImageLoad(game, background.GetDataConst(), nullptr);
    if (m_pBackground == nullptr)
        NoteFailure(CommonString("the background ") + background + CommonString(" of the arena ") + m_pArena->id +
                    CommonString(" (bg in Data\\arenas.txt) cannot be loaded"));
    return m_pBackground != nullptr;
}

bool CXGameplaySurvival::TakeSprites() {
    CSpriteSetManager* sets = GameBase()->GetSpriteSetManager();
    if (sets == nullptr) return false;
    const auto first = [sets](const char* name) -> IDibBitmap* {
        const CSpriteSet* set = sets->GetSpriteSetNamed(name);
        return set != nullptr && set->GetNumFrames() > 0 ? set->GetFrame(0) : nullptr;
    };
    struct TSlot {
        IDibBitmap*& slot;
        const char* name;
    };
    const TSlot required[] = {{m_pDotSprite, "Dot"},
                              {m_pExplosionSprite, "Explosion"},
                              {m_pFlareSprite, "Flare"},
                              {m_pDangerSprite, "DangerCircle"},
                              {m_pDragCircleSprite, "DragCircle"},
                              {m_pDangerOffScreenSprite, "DangerOffScreen"},
                              {m_pBombRangeSprite, "BombRange"}};
    for (const TSlot& s : required) {
        s.slot = first(s.name);
        if (s.slot == nullptr) {
            NoteFailure(CommonString("the sprite set ") + CommonString(s.name) +
                        CommonString(" (ui\\game_sprites.txt) is missing or has no frame"));
            return false;
        }
    }
    // The marbles roll through their sheets' frames: a sheet of a few pixels cut into dozens of
    // frames is no marble, however many frames it claims.
    for (const char* name : {"Ball1", "Ball2", "Ball3", "Ball4"}) {
        const CSpriteSet* set = sets->GetSpriteSetNamed(name);
        const IDibBitmap* frame = set != nullptr && set->GetNumFrames() > 0 ? set->GetFrame(0) : nullptr;
        const int frames = set != nullptr ? set->GetNumFrames() : 0;
        if (frame != nullptr && frames >= 1 && frames <= kMaxMarbleFrames && frame->m_Width >= kMinMarbleFramePx &&
            frame->m_Height >= kMinMarbleFramePx)
            continue;
        NoteFailure(
            SafeFormat("the marble sprite set %s (%s): %d frames of %d x %d pixels, where 1 to %d frames of at "
                       "least %d x %d are needed",
                       {name, set != nullptr ? set->m_File : CommonString("missing"), frames,
                        frame != nullptr ? frame->m_Width : 0, frame != nullptr ? frame->m_Height : 0, kMaxMarbleFrames,
                        kMinMarbleFramePx, kMinMarbleFramePx}));
        return false;
    }
    m_pCoinSet = sets->GetSpriteSetNamed(m_pArena->coinSprite.GetDataConst());
    if (m_pCoinSet == nullptr || m_pCoinSet->GetNumFrames() < 1 || m_pCoinSet->GetFrame(0) == nullptr) {
        NoteFailure(CommonString("the coin sprite set ") + m_pArena->coinSprite + CommonString(" of the arena ") +
                    m_pArena->id + CommonString(" (coin_sprite in Data\\arenas.txt) is missing or has no frame"));
        return false;
    }
    // The colour-bomb sets may be missing: a bomb without one is not drawn.
    for (const TColorBombSet& s : kColorBombSets) m_ColorBombSets[s.mask] = sets->GetSpriteSetNamed(s.name);
    return true;
}

void CXGameplaySurvival::OnNewGame() {
    TUserProfile* profile = Profile();
    if (profile != nullptr)
        for (int i = 0; i < kBoostCount; ++i)
            m_BoostLevels[i] = static_cast<std::uint8_t>(std::max<int>(profile->m_BoostLevels[i], 0));
    m_nLives += m_BoostLevels[kUpgradeLife];

    if (!m_bTutorial && m_nArenaIndex == 0) {
        const int left = m_PlayRect.x >> 8, top = m_PlayRect.y >> 8;
        const int right = (m_PlayRect.x + m_PlayRect.width) >> 8, bottom = (m_PlayRect.y + m_PlayRect.height) >> 8;
        const int corners[4][2] = {{left + kCornerInsetPx, top + kCornerInsetPx},
                                   {right - kCornerInsetPx, top + kCornerInsetPx},
                                   {right - kCornerInsetPx, bottom - kCornerInsetPx},
                                   {left + kCornerInsetPx, bottom - kCornerInsetPx}};
        for (const auto& c : corners) (void)SpawnEnemy(c[0], c[1]);
    }

    if (m_pJumpStrings != nullptr) m_pJumpStrings->RemoveAll();
    if (!m_bTutorial && m_pJumpStrings != nullptr) {
        CGameBase* game = GameBase();
        const CommonString start = game != nullptr && game->GetLocManager() != nullptr
                                       ? game->GetLocManager()->LoadString("ID_Start")
                                       : CommonString();
        const int cx = GC.m_nTextCenterX, cy = GC.m_nTextCenterY;
        const CommonString stage("stage"), desc("stage_desc");
        if (m_nArenaIndex == 0) {
            (void)m_pJumpStrings->ShowJumpString(start, stage, 0, Px16(cx), Px16(cy), 0);
        } else {
            (void)m_pJumpStrings->ShowJumpString(start, stage, 0, Px16(cx), Px16(cy - kStartTextRaisePx), 0);
            const bool ruby = m_nArenaIndex == 1;
            (void)m_pJumpStrings->ShowJumpString(CommonString(ruby ? "The Ruby!" : "The Diamond!"), desc, 0, Px16(cx),
                                                 Px16(cy + kArenaNameDropPx), 0);
            // Colour types 1 and 2 put the arena's coins beside the factor.
            (void)m_pJumpStrings->ShowJumpString(CommonString(ruby ? "= 2 x " : "= 3 x "), desc, m_nArenaIndex,
                                                 Px16(cx), Px16(cy + kArenaFactorDropPx), 0);
        }
    }
    ShowNewLevelIntro();

    if (!m_bTutorial && profile != nullptr) {
        ++profile->m_nRoundsStarted;
        if (profile->m_nRoundsStarted >= 6) profile->m_bCoinShopButtonShown = true;
        ++profile->m_RoundsPerArena[m_nArenaIndex];
    }
}

void CXGameplaySurvival::RunProcess() {
    if (m_nSampleSoundTimer > 0) --m_nSampleSoundTimer;
    ProcessRollingSound();
    if (m_nMusicDelay > 0 && --m_nMusicDelay == 0) UpdateGameplayMusic();

    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;

    // A modal child (pause panel, statistics, coin shop) holds the round still.
    if (FindModalChild() != nullptr) {
        IGameplayHost* host = Host();
        CAdsEngine* ads = host != nullptr ? host->GetAdsEngine() : nullptr;
        if (ads != nullptr && ads->IsAdVisible()) ads->ShowAd(false);
        return;
    }
    if (!m_bTutorial && !m_bRoundStarted) {
        m_bRoundStarted = true;
        UpdateGameplayMusic();
    }
    if (!m_bTutorial && !m_bIntroPlayed) {
        m_bIntroPlayed = true;
        PlaySound("SFX_GameplayIntro");
        m_nMusicDelay = kMusicDelayFrames;
    }

    RunProcessEffects();
    if (m_bGameOver) {
        RunProcessGameOver();
        return;
    }
    if (m_nPauseCounter == -1) {
        if (m_pDraggedMarble != nullptr) m_pDraggedMarble->m_nSpeed = 0;
        Difficulty_RunProcessSpawnEnemies();
        RunProcessMovementAndCollisions();
        RunProcessCheckNumEggsMoving();
        ProcessScore();
        ProcessVisibleLevelProgress();
    } else {
        RunProcessLifeLostPause();
    }
}

void CXGameplaySurvival::RunProcessEffects() {
    RunProcessExplosions();
    RunProcessDeleteObjects();
    RunProcessAnimations();
    RunProcessLightRays();
    RunProcessBombs();
    IGameplayHost* host = Host();
    if (CQuorvanParticleSystemManager2* particles = host != nullptr ? host->GetParticleManager() : nullptr) {
        particles->RunProcess();
        particles->ResetDrawMarks();
    }
    if (m_pJumpStrings != nullptr) m_pJumpStrings->RunProcess();
}

bool CXGameplaySurvival::IsMarbleInPlayRect(CMarble* marble) {
    const std::int64_t x = marble->m_Position.x >> 8, y = marble->m_Position.y >> 8;
    const std::int64_t edge = 14 * 256;
    return x > m_PlayRect.x - edge && x < static_cast<std::int64_t>(m_PlayRect.x) + m_PlayRect.width + edge &&
           y > m_PlayRect.y - edge && y < static_cast<std::int64_t>(m_PlayRect.y) + m_PlayRect.height + edge;
}

bool CXGameplaySurvival::IsMarbleArrowInPlayRect(CMarble* marble) {
    if (IsMarbleInPlayRect(marble)) return true;
    const std::int64_t x = (marble->m_Position.x + 42LL * marble->m_Direction.x) >> 8;
    const std::int64_t y = (marble->m_Position.y + 42LL * marble->m_Direction.y) >> 8;
    return x > m_PlayRect.x && x < static_cast<std::int64_t>(m_PlayRect.x) + m_PlayRect.width && y > m_PlayRect.y &&
           y < static_cast<std::int64_t>(m_PlayRect.y) + m_PlayRect.height;
}

bool CXGameplaySurvival::IsMarbleFullyVisible(CMarble* marble) {
    const std::int64_t x = marble->m_Position.x >> 8, y = marble->m_Position.y >> 8;
    const std::int64_t edge = 14 * 256;
    return x > m_PlayRect.x + edge && x < static_cast<std::int64_t>(m_PlayRect.x) + m_PlayRect.width - edge &&
           y > m_PlayRect.y + edge && y < static_cast<std::int64_t>(m_PlayRect.y) + m_PlayRect.height - edge;
}

CSpriteSet* CXGameplaySurvival::GetColorBombSet(int colourMask) {
    return colourMask >= 0 && colourMask < static_cast<int>(std::size(m_ColorBombSets)) ? m_ColorBombSets[colourMask]
                                                                                        : nullptr;
}

int CXGameplaySurvival::GetBoostLevel(int type) {
    return type >= 0 && type < kUpgradeTypeCount ? m_BoostLevels[type] : 0;
}

int CXGameplaySurvival::GetBoostTopLevel(int type) {
    IGameplayHost* host = Host();
    CUpgradeManager* boosts = host != nullptr ? host->GetUpgradeManager() : nullptr;
    return boosts != nullptr ? boosts->GetNumLevels(type) - 1 : 0;
}

CQuorvanParticleSystem2* CXGameplaySurvival::GetColorBombSparkles() { return ParticleEffect(kColorBombSparklesEffect); }

CQuorvanParticleSystem2* CXGameplaySurvival::GetEightWaySparkles() { return ParticleEffect(kEightWaySparklesEffect); }
