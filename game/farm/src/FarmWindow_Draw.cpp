// The yard screen's frame on the back buffer, back to front: sky and background, sun and clouds,
// the objects in depth order, tap rings, particles, the camera flash, the star row, the coin
// counter, the widgets, the floating texts, the quests badge and the hint on top.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/GameBase.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmWindow.h"
#include "game/farm/YardCamera.h"
#include "game/gameplay/GameplayMath.h"
#include "game/gameplay/JumpString.h"
#include "game/gameplay/TiledBGTutorial.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"
#include "ui/Widget.h"

namespace {

// The tap ring: from a tenth of the image to one and a half times it, fading out, added.
constexpr FIXED_FLOAT_16 kTapRingStartScale = 6554;
constexpr FIXED_FLOAT_16 kTapRingEndScale = 98304;
// The star row under the decor bar: slots 0.796875 of a star apart; empty stars at 0.84, earned
// ones at 0.8.
constexpr FIXED_FLOAT_16 kStarSpacing = 204;  // 24.8
constexpr FIXED_FLOAT_16 kEmptyStarScale = 55050;
constexpr FIXED_FLOAT_16 kFullStarScale = 52429;
constexpr double kNewStarScaleFactor = 52429.0 / 65536.0;
// The quests badge: its image at 0.9, its number at 0.8 of their sizes.
constexpr double kBadgeImageScale = 0.9;
constexpr double kBadgeTextScale = 0.8;
// The temporary depth list grows by this many entries.
constexpr int kSortGrowBy = 50;

FIXED_FLOAT_16 To16(double v) { return static_cast<FIXED_FLOAT_16>(v * 65536.0); }

}  // namespace

void CXFarmWindow::Draw() {
    IFarmHost* host = FarmHost();
    IDibBitmap* back = GetBackBuffer();
    if (host == nullptr || back == nullptr || m_pObjects == nullptr) {
        XGameRoot::Draw();
        return;
    }
    DrawSkyAndBackground();
    DrawSunAndClouds();
    CQuorvanParticleSystemManager2* particles = host->GetParticleManager();
    // The decor effects draw with their objects and mark themselves; the rest draws after.
    if (particles != nullptr) particles->ResetDrawMarks();
    DrawChickenAndDecorSorted();
    DrawAnimations();
    if (particles != nullptr) particles->DrawTheRest(back);
    DrawCameraFlash();
    DrawStars();
    (void)host->DrawNumCoins(255, 1.0f);
    XGameRoot::Draw();
    if (m_pJumpStrings != nullptr) m_pJumpStrings->Draw(back, 0, 0);
    DrawMiniQuestsNotification();
    if (m_pHint != nullptr) m_pHint->Draw(back);
}

void CXFarmWindow::DrawChickenAndDecorSorted() {
    CQuorvanObjPtrArray<CFarmObject*>& objects = *m_pObjects;
    for (int i = 0; i < objects.count; ++i)
        if ((objects[i]->m_uFlags & kFarmFlagGround) != 0) objects[i]->Draw(kDrawBody);
    // A creature's selection marker lies on the ground, under every shadow and body.
    const bool creatureSelected = m_pSelection != nullptr && (m_pSelection->m_uFlags & kFarmFlagCreature) != 0;
    if (creatureSelected) m_pSelection->Draw(kDrawSelection);
    CQuorvanArray<CFarmObject*> standing;
    standing.growBy = kSortGrowBy;
    for (int i = 0; i < objects.count; ++i) {
        CFarmObject* object = objects[i];
        // The default objects only lend the sky its pictures.
        if ((object->m_uFlags & (kFarmFlagDefault | kFarmFlagGround)) != 0) continue;
        object->Draw(kDrawShadow);
        (void)standing.Add(object);
    }
    if (standing.count > 1) std::qsort(standing.data, standing.count, sizeof(CFarmObject*), CompareFunc);
    for (int i = 0; i < standing.count; ++i) standing[i]->Draw(kDrawBody);
    if (m_pSelection != nullptr && !creatureSelected) m_pSelection->Draw(kDrawSelection);
}

void CXFarmWindow::AddTapRing(int x, int y) {
    CAnimation ring;
    ring.image = m_pTapImage;
    ring.clock = 0;
    ring.duration = kTapRingFrames * 256;
    ring.start = ring.end = TVector2D{x * 256, y * 256};
    ring.startScale = kTapRingStartScale;
    ring.endScale = kTapRingEndScale;
    ring.startAlpha = 255 * kFixed16One;
    ring.endAlpha = 0;
    ring.hold = 0;
    ring.kind = kAnimationRing;
    (void)m_Animations.Add(ring);
}

void CXFarmWindow::RunProcessAnimations() {
    for (int i = m_Animations.count - 1; i >= 0; --i) {
        CAnimation& a = m_Animations[i];
        if (a.clock >= 0) {
            a.clock += 256;
            if (a.spriteSet != nullptr && a.spriteSet->GetNumFrames() > 0) {
                const int frames = a.spriteSet->GetNumFrames();
                a.frame += a.frameStep;
                if ((a.frame >> 8) >= frames) a.frame -= frames * 256;
            }
            if (a.clock > a.duration) a.clock = CAnimation::kFinished;
        }
        if (a.clock == CAnimation::kFinished) (void)m_Animations.RemoveAt(i);
    }
}

void CXFarmWindow::DrawAnimations() {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    IDibBitmap* back = GetBackBuffer();
    if (rotator == nullptr) return;
    for (int i = m_Animations.count - 1; i >= 0; --i) {
        const CAnimation& a = m_Animations[i];
        if (a.clock < 0 || a.clock > a.duration || a.hold > 0 || a.duration <= 0) continue;
        IDibBitmap* image = a.image;
        if (a.spriteSet != nullptr) {
            const int frame = a.frame >> 8;
            if (frame < 0 || frame >= a.spriteSet->GetNumFrames()) continue;
            image = a.spriteSet->GetFrame(frame);
        }
        if (image == nullptr) continue;
        const double t = static_cast<double>(a.clock) / a.duration;
        const double e = SCurve16(To16(t), rotator) / 65536.0;
        const double scale = a.startScale + (a.endScale - a.startScale) * e;
        double alpha = (a.startAlpha + (a.endAlpha - a.startAlpha) * e) / 65536.0;
        if (alpha < 0) continue;
        alpha = std::min(alpha, 255.0);
        // The ring moves linearly, in whole 24.8 steps.
        const std::int64_t tf = (std::int64_t{a.clock} * 256) / a.duration;
        const auto x = static_cast<FIXED_FLOAT>(a.start.x + ((std::int64_t{a.end.x} - a.start.x) * tf >> 8));
        const auto y = static_cast<FIXED_FLOAT>(a.start.y + ((std::int64_t{a.end.y} - a.start.y) * tf >> 8));
        const int alphaOffset = gameplay::TruncToInt32(alpha) - 255;
        const auto s = static_cast<FIXED_FLOAT_16>(scale);
        if (a.kind == kAnimationPlain)
            rotator->DrawRotatedBitmapMultiply(image, back, x, y, 0, s, 255, 255, 255, alphaOffset, 0);
        else if (a.kind == kAnimationRing)
            rotator->DrawRotatedBitmapAdditive(image, back, x, y, 0, s, 255, 255, 255, alphaOffset, 0);
    }
}

void CXFarmWindow::DrawCameraFlash() {
    const int c = m_nCameraFlashCounter;
    if (c <= 0) return;
    // Two small flashes, then the large one.
    int level = 0;
    if (c == 25 || c == 26 || c == 15 || c == 16) level = 64;
    if (c >= 1 && c <= 4) level = 128;
    if (level == 0) return;
    const TCoordRect2D r = GetPosition();
    FillRectangle_Additive(GameBase(), GetBackBuffer(), r.x, r.y, r.width, r.height, level, level, level);
}

void CXFarmWindow::DrawStars() {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    XWidget* decor = FindChildWithWidgetId("pb_decor");
    if (rotator == nullptr || decor == nullptr || m_pStarSet == nullptr || m_pStarSet->GetNumFrames() < 2) return;
    IDibBitmap* empty = m_pStarSet->GetFrame(0);
    IDibBitmap* full = m_pStarSet->GetFrame(1);
    if (empty == nullptr || full == nullptr) return;
    IDibBitmap* back = GetBackBuffer();
    const TCoordRect2D r = decor->GetDrawingRect();
    const FIXED_FLOAT step = empty->m_Width * kStarSpacing;
    const FIXED_FLOAT rowY = (r.y + r.height) * 256 + ((empty->m_Height * 128) * kStarSpacing >> 8);
    const FIXED_FLOAT middle = r.x * 256 + r.width * 128;
    const int stars = FarmHost()->GetFarmManager()->m_nStars;
    for (int i = 0; i < 3; ++i) {
        const FIXED_FLOAT x = middle + (i - 1) * step;
        rotator->DrawRotatedBitmapTransparent(empty, back, x, rowY, 0, kEmptyStarScale, 0, 0);
        if (i < stars) rotator->DrawRotatedBitmapTransparent(full, back, x, rowY, 0, kFullStarScale, 0, 0);
        if (m_bNewStarActive && i == stars - 1) {
            const int a = gameplay::TruncToInt32(m_dNewStarAlpha - 255.0);
            if (a > -256)
                rotator->DrawRotatedBitmapTransparent(full, back, x, rowY, 0,
                                                      To16(m_dNewStarShownScale * kNewStarScaleFactor), a, 0);
        }
    }
}

void CXFarmWindow::DrawMiniQuestsNotification() {
    CGameBase* game = GameBase();
    const TUserProfile* profile = CurrentProfileOf(game);
    const bool questsKnown = (profile != nullptr && profile->m_HintFlags[kHintYardQuests]) || m_bQuestsHintAvailable;
    if (!questsKnown || m_pBadgeImage == nullptr || m_pQuestStates == nullptr || m_nBadgeCount < 1) return;
    CQuorvanImageRotatorScaler* rotator = game->GetRotatorScaler();
    if (rotator == nullptr) return;
    int opacity = 255;
    // The badge fades with a dialog that opens over the screen.
    if (auto* modal = dynamic_cast<XWidget*>(FindModalChild())) opacity = (kOpacityFull - modal->GetOpacity()) / 256;
    double imageScale = kBadgeImageScale, textScale = kBadgeTextScale;
    if (m_nBadgeBlinkAlpha > 0) {
        const double f = 1.0 - m_nBadgeBlinkAlpha / 255.0;
        if (f <= 0) return;
        imageScale *= f;
        textScale *= f;
    }
    IDibBitmap* back = GetBackBuffer();
    const FIXED_FLOAT x = m_nBadgeX * 256, y = m_nBadgeY * 256;
    rotator->DrawRotatedBitmapTransparent(m_pBadgeImage, back, x, y, 0, To16(imageScale), opacity - 255, 0);
    IProgressHost* progress = ProgressHostOf(game);
    CBitmapFontText* font = progress != nullptr ? progress->GetGameFont(kGameFontSmall) : nullptr;
    if (textScale <= 0 || font == nullptr) return;
    const CommonString count = SafeFormat("%d", {m_nBadgeCount});
    const double halfW = font->Length2(count.GetDataConst()) * textScale / 2.0;
    const double halfH = font->GetCharHeight() * textScale / 2.0;
    const FIXED_FLOAT_16 scale = To16(textScale);
    font->TextOutF(back, count.GetDataConst(), To16(m_nBadgeX - halfW), To16(m_nBadgeY - halfH), scale, scale, 0, 255,
                   255, 255, 0, static_cast<unsigned char>(std::clamp(opacity, 0, 255)), nullptr);
}
