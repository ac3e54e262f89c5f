// The start-up loader: initialisation, the intro's ticks, and the loading steps that create the
// game's managers and load the remaining sounds, "ui" sprite sets, effects and fonts.
#include "game/screens/LoaderScreen.h"

#include <cstring>
#include <new>

#include "LoadingReport.h"
#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/LoaderHost.h"
#include "game/screens/MenuMusic.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "particles/RandomTables.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/RenderHost.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

namespace {

constexpr int kStartUpFontRecord = 1;
constexpr int kTextFadeFull = 65280;  // 255.0 in 8.8
constexpr int kTextFadeStep = 2560;   // 10.0
constexpr int kPulseRest = -65280;
constexpr int kSweepStartTick = 10;
constexpr unsigned int kFrameBudgetMs = 50;
constexpr int kStarsPerBurst = 5;
constexpr int kStarBlinksEffect = 9;  // index in the game's effect list
constexpr const char* kPercentFormat = "Loading %d%%";

}  // namespace

CXLoaderScreen::CXLoaderScreen(CXElement* parent) : XGameRoot(parent) {}

CXLoaderScreen::~CXLoaderScreen() {
    delete m_pEmitShape;
    m_pEmitShape = nullptr;
    SafeDelete(m_pFlare);
    SafeDelete(m_pLogo);
}

int CXLoaderScreen::OnInitElement() {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr || game->UILayout() == nullptr) return 0;
    // The loader writes before the other fonts exist.
    if (!LoaderHostOf(this)->LoadFont(kStartUpFontRecord)) return 0;
    game->UILayout()->PrepareFontPointersForStyles();

    const CommonString images = game->GetImagesDirectory();
    m_pLogo = ImageLoad(game, (images + CommonString("ui\\logo")).GetDataConst(), nullptr);
    if (m_pLogo == nullptr) return 0;
    // The flare keeps its full colour and alpha: it is drawn additively at large scales.
    const bool trueColour = game->m_RenderSwitches.m_bTrueColorImages;
    game->m_RenderSwitches.m_bTrueColorImages = true;
    m_pFlare = ImageLoad(game, (images + CommonString("particles\\flare")).GetDataConst(), nullptr);
    game->m_RenderSwitches.m_bTrueColorImages = trueColour;
    if (m_pFlare == nullptr) return 0;

    m_pEmitShape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (m_pEmitShape == nullptr) return 0;
    m_pEmitShape->AddCircle(6 << 16, 10, 0, 0);

    m_nTextFade = 0;
    CalcTotalFrames();
    UpdateCurrentPercent();
    if (game->GetSoundManager() != nullptr) game->GetSoundManager()->StopMusicTrackWithFadeOut(0);

    if (const UILayout_FontData* record = game->UILayout()->GetFontById(CommonString("FontButtonNormal"))) {
        if (record->font == nullptr) return 0;
        LoaderHostOf(this)->KeepGameFont(kGameFontButton, record->font);
        record->font->SetSpaceWidthAsCharBC('I');
    }
    if (CBitmapFontText* font = ProgressHostOf(game)->GetGameFont(kGameFontButton)) {
        const int width = GetBackBuffer() != nullptr ? GetBackBuffer()->m_Width : game->m_nGameWidth;
        // Centred for the text's horizontal scale of one half; kept as the text grows.
        m_nTextX = (width - font->Length2(m_PercentText.GetDataConst()) / 2) / 2;
    }

    CQuorvanParticleSystem2* stars = GameplayHostOf(game)->GetParticleManager() != nullptr
                                         ? GameplayHostOf(game)->GetParticleManager()->GetParticleSystemAt(
                                               GameplayHostOf(game)->GetParticleEffectIndex(kStarBlinksEffect))
                                         : nullptr;
    return stars != nullptr && stars->InitFromFile() ? 1 : 0;
}

int CXLoaderScreen::NotifyPointerEvent(int /*x*/, int /*y*/, int /*type*/) {
    m_bTapped = true;
    return 1;
}

void CXLoaderScreen::CalcTotalFrames() {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return;
    m_nSpriteSetCount = game->GetSpriteSetManager() != nullptr ? game->GetSpriteSetManager()->GetNumSpriteSets() : 0;
    m_nSoundEffectCount = game->GetSoundManager() != nullptr ? game->GetSoundManager()->GetNumSoundFX() : 0;
    m_nParticleSystemCount = GameplayHostOf(game)->GetParticleManager() != nullptr
                                 ? GameplayHostOf(game)->GetParticleManager()->GetNumParticleSystems()
                                 : 0;
    const int fonts = game->UILayout() != nullptr ? game->UILayout()->GetFontCount() : 0;
    m_nTotalSteps = m_nSpriteSetCount + m_nSoundEffectCount + 1 + fonts + m_nParticleSystemCount;
}

void CXLoaderScreen::UpdateCurrentPercent() {
    int percent = m_nTotalSteps > 0 ? 100 * m_nCurrentStep / m_nTotalSteps : 0;
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    m_nPercent = percent;
    m_PercentText = SafeFormat(kPercentFormat, {percent});
}

void CXLoaderScreen::RunProcess() {
    bool doubled = false;
    for (;;) {
        XGameRoot::RunProcess();
        const EAfterIntro next = IntroTick();
        if (next == EAfterIntro::EndFrame) return;
        // The second update of a tapped frame is the base update and the intro tick only.
        if (next == EAfterIntro::Load && !doubled && !RunLoadingSteps()) return;
        // A tap makes the intro and the text fade run twice as fast; once the loading runs it
        // still doubles the base update and the particles, never the loading.
        if (!m_bTapped || doubled) return;
        doubled = true;
    }
}

CXLoaderScreen::EAfterIntro CXLoaderScreen::IntroTick() {
    CGameBase* game = ScreensGameOf(this);
    if (m_nIntroTick == 0) CreatePS2RandomsTable(game);
    if (m_nIntroTick == 1) CreateGameRandomsTable(game);
    ++m_nIntroTick;
    if (m_nIntroTick < 2) return EAfterIntro::EndFrame;
    if (m_nIntroTick == kSweepStartTick) m_bSweepRunning = true;

    m_nPulse += m_nPulseStep;
    if (m_nPulse > 0) {
        m_nPulse = 0;
        m_nPulseStep = m_nPulseStep < 0 ? m_nPulseStep : -m_nPulseStep;
    } else if (m_nPulse < kPulseRest) {
        m_nPulse = kPulseRest;
        m_nPulseStep = 0;
    }

    if (m_bSweepRunning) {
        m_nSweepProgress += m_nSweepSpeed;
        int x1 = 0;
        int y1 = 0;
        FlarePosition(x1, y1);
        const IDibBitmap* back = GetBackBuffer();
        const int w = back != nullptr ? back->m_Width : 0;
        const int h = back != nullptr ? back->m_Height : 0;
        EmitStars(x1, y1);
        EmitStars((w << 8) - x1, (h << 8) - y1);
        if (m_nSweepProgress > 256) {
            m_bIntroRunning = false;
            m_bSweepRunning = false;
            m_nSweepProgress = 256;
        }
    }
    if (game != nullptr && GameplayHostOf(game)->GetParticleManager() != nullptr) {
        GameplayHostOf(game)->GetParticleManager()->RunProcess();
        GameplayHostOf(game)->GetParticleManager()->ResetDrawMarks();
    }
    if (m_bIntroRunning) return EAfterIntro::Repeat;
    if (m_nTextFade < kTextFadeFull) {
        m_nTextFade = m_nTextFade + kTextFadeStep < kTextFadeFull ? m_nTextFade + kTextFadeStep : kTextFadeFull;
        if (m_nTextFade < kTextFadeFull) return EAfterIntro::Repeat;
    }
    return EAfterIntro::Load;
}

void CXLoaderScreen::EmitStars(int x, int y) {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr || GameplayHostOf(game)->GetParticleManager() == nullptr) return;
    CQuorvanParticleSystem2* stars = GameplayHostOf(game)->GetParticleManager()->GetParticleSystemAt(
        GameplayHostOf(game)->GetParticleEffectIndex(kStarBlinksEffect));
    if (stars == nullptr) return;
    (void)stars->SetEmitShape(m_pEmitShape);
    stars->StartAt(x << 8, y << 8);
    stars->EmitNewParticles(kStarsPerBurst);
    stars->Stop(false);
    (void)stars->SetEmitShape(nullptr);
}

bool CXLoaderScreen::RunLoadingSteps() {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return false;
    if (m_nCurrentStep == 0) LoaderHostOf(this)->SetFpsControlCobblebrooks(60, true, true);
    if (m_nCurrentStep >= m_nTotalSteps) {
        // Posted again every frame until the start menu replaces this screen; the game drops the
        // copies that arrive while the curtain falls.
        LoaderHostOf(this)->SetFpsControlCobblebrooks(30, true, true);
        (void)game->SendMessage(game, MSG_RUN_START_MENU, 0, 0, true);
        return false;
    }
    const unsigned int t0 = CGameBase::GetTickCountMs();
    for (;;) {
        if (!ProcessLoadingStep(m_nCurrentStep)) {
            StepFailed(m_nCurrentStep);
            return false;
        }
        ++m_nCurrentStep;
        // Step 0 always runs alone; a slow step still runs whole, and the budget ends the frame.
        if (CGameBase::GetTickCountMs() - t0 > kFrameBudgetMs || m_nCurrentStep <= 1 || m_nCurrentStep >= m_nTotalSteps)
            break;
    }
    UpdateCurrentPercent();
    return true;
}

void CXLoaderScreen::StepFailed(int step) {
    ReportFailedLoadingStep(ScreensGameOf(this), "start-up loader", step, m_nTotalSteps, m_LastFailure,
                            m_nReportedStep);
}

bool CXLoaderScreen::SoundStep(int effect) {
    CGameBase* game = ScreensGameOf(this);
    // Without a sound system the game runs silent: there is nothing to load.
    if (game->GetSoundSystem() == nullptr || game->GetSoundManager() == nullptr) return true;
    if (game->GetSoundManager()->AddReference(effect)) return true;
    const SoundFXData* entry = game->GetSoundManager()->GetSoundFX(effect);
    const CommonString file = entry != nullptr ? entry->file : CommonString("?");
    // The birds' calls are declared by their own table, the other effects by the sound table.
    const bool birdCall = entry != nullptr && entry->file.GetDataConst() != nullptr &&
                          std::strncmp(entry->file.GetDataConst(), "Birds\\", 6) == 0;
    m_LastFailure = SafeFormat(
        "sound effect %d (%s, named in %s): the sound file %s%s cannot be loaded",
        {effect, file, birdCall ? "Data\\bird_sounds.txt" : "Data\\sfx.txt", game->GetSoundsDirectory(), file});
    return false;
}

bool CXLoaderScreen::ManagerStep(int step) {
    ILoaderHost* host = LoaderHostOf(this);
    if (step == 1 && !m_bRestDefined) {
        CommonString file;
        if (!host->DefineSpriteSets_TheRest(&file)) {
            m_LastFailure = CommonString("the sprite-set file ") + file;
            return false;
        }
        m_bRestDefined = true;
        CalcTotalFrames();
    }
    return host->MakeStartUpManagers(step, m_LastFailure);
}

bool CXLoaderScreen::ProcessLoadingStep(int step) {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return false;
    m_LastFailure = CommonString();
    const int nS = m_nSoundEffectCount;
    const int nSp = m_nSpriteSetCount;
    const int nP = m_nParticleSystemCount;
    if (step == 0) {
        // Without a sound system the game runs silent: the music has nowhere to play.
        if (game->GetSoundSystem() == nullptr || LoaderHostOf(this)->InitMusicStreams()) return true;
        for (int track = 0; track < kMusicTrackCount; ++track)
            if (g_cs_OGG_LoadedIndexes[track] < 0) {
                m_LastFailure =
                    CommonString("the music ") + game->GetSoundsDirectory() + CommonString(g_cs_OGG_FileNames[track]);
                break;
            }
        return false;
    }
    if (step <= nS) return ManagerStep(step) && SoundStep(step - 1);
    if (step <= nS + nSp) {
        const int index = step - 1 - nS;
        CSpriteSet* set =
            game->GetSpriteSetManager() != nullptr ? game->GetSpriteSetManager()->GetSpriteSetAt(index) : nullptr;
        if (set == nullptr) {
            m_LastFailure = SafeFormat("sprite set %d (none)", {index});
            return false;
        }
        // The other groups load with the screens that need them.
        if (!(set->m_GroupName == "ui") || set->AddReference()) return true;
        m_LastFailure =
            CommonString("the sprite set ") + set->m_Name + CommonString(" (") + set->m_File + CommonString(")");
        return false;
    }
    if (step <= nS + nSp + nP) {
        CQuorvanParticleSystem2* system =
            GameplayHostOf(game)->GetParticleManager() != nullptr
                ? GameplayHostOf(game)->GetParticleManager()->GetParticleSystemAt(step - 1 - nS - nSp)
                : nullptr;
        if (system != nullptr && system->InitFromFile()) return true;
        m_LastFailure = CommonString("the effect ") +
                        (system != nullptr ? system->GetFileName() : SafeFormat("%d", {step - 1 - nS - nSp}));
        return false;
    }
    const int fonts = game->UILayout() != nullptr ? game->UILayout()->GetFontCount() : 0;
    const int font = step - 1 - nS - nSp - nP;
    if (font >= fonts) return true;
    if (!LoaderHostOf(this)->LoadFont(font)) {
        const UILayout_FontData* record = game->UILayout()->GetFontAt(font);
        m_LastFailure = CommonString("the font ") + (record != nullptr ? record->id : CommonString()) +
                        CommonString(" (") + (record != nullptr ? record->file : CommonString()) + CommonString(")");
        return false;
    }
    if (font == fonts - 1 && !LoaderHostOf(this)->ReLoadFontsLastStep()) {
        m_LastFailure = CommonString("the game's named fonts");
        return false;
    }
    return true;
}
