#include "game/news/AdsEngine.h"

#include <new>

#include "app/GameBase.h"
#include "core/QuorvanUtils.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/ImageRotatorScaler.h"

namespace {

constexpr int kLargeResolutionId = 22;

}  // namespace

CAdsEngine::CAdsEngine(CGameBase* game) : m_pGame(game) {
    // Store pages of the publisher's games; the host is a reserved example name.
    AddAd("ad_marshkite", "ad_marshkite_hd", "http://store.hollowfen.example/marshkite",
          "http://store.hollowfen.example/marshkite");
    AddAd("ad_pebbler", "ad_pebbler_hd", "http://store.hollowfen.example/pebbler",
          "http://store.hollowfen.example/pebbler-hd");
    RefreshLocalAd();
}

CAdsEngine::~CAdsEngine() { SafeDelete(m_pPicture); }

void CAdsEngine::AddAd(const char* bitmap, const char* bitmapHd, const char* link, const char* linkHd) {
    auto* ad = new (std::nothrow) LocalAd{bitmap, bitmapHd, link, linkHd};
    if (ad != nullptr && !m_Ads.Add(ad)) delete ad;
}

void CAdsEngine::SetAdPosition(int x, int y, float scale) {
    m_nX = x;
    m_nY = y;
    m_fScale = scale;
}

void CAdsEngine::RefreshLocalAd() {
    SafeDelete(m_pPicture);
    if (m_pGame == nullptr || m_Ads.count == 0) return;
    const LocalAd* ad = m_Ads[m_pGame->RandomValue(m_Ads.count)];
    const bool large = m_pGame->GetCurrentResolutionId() == kLargeResolutionId;
    const CommonString path =
        m_pGame->GetImagesDirectory() + CommonString("ads\\") + (large ? ad->bitmap_hd : ad->bitmap);
    m_Link = large ? ad->link_hd : ad->link;
    m_pPicture = ImageLoad(m_pGame, path.GetData(), nullptr);
}

TRect2D CAdsEngine::GetAdRect() const {
    TRect2D rect{m_nX * 256, m_nY * 256, 0, 0};
    if (m_pPicture != nullptr) {
        rect.width = static_cast<FIXED_FLOAT>(static_cast<float>(m_pPicture->m_Width) * m_fScale * 256.0f);
        rect.height = static_cast<FIXED_FLOAT>(static_cast<float>(m_pPicture->m_Height) * m_fScale * 256.0f);
    }
    return rect;
}

bool CAdsEngine::IsActive() {
    return m_pPicture != nullptr && m_pGame != nullptr && !m_pGame->IsIPhoneRotationInProcess() && m_bVisible &&
           !m_bNetworkAdPresent;
}

int CAdsEngine::NotifyPointerEvent(int x, int y, int type) {
    if (!IsActive()) return 0;
    const TRect2D rect = GetAdRect();
    const bool inside = PtInRect(x, y, &rect) != 0;
    if (type == 1) {
        if (!inside) return 0;
        m_bPressed = m_bPressedInside = true;
        return 1;
    }
    if (!m_bPressed) return 0;
    if (type == 3) {
        m_bPressedInside = inside;
        return 1;
    }
    if (type == 2) {
        m_bPressed = m_bPressedInside = false;
        if (inside) m_TappedAddress = m_Link;
        return 1;
    }
    return 0;
}

void CAdsEngine::DrawAd() {
    if (!IsActive()) return;
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    IDibBitmap* target = m_pGame->m_Screen.m_pBackBuffer;
    if (rotator == nullptr || target == nullptr) return;
    const TRect2D rect = GetAdRect();
    const FIXED_FLOAT cx = rect.x + rect.width / 2;
    const FIXED_FLOAT cy = rect.y + rect.height / 2;
    const FIXED_FLOAT_16 scale = static_cast<FIXED_FLOAT_16>(m_fScale * 65536.0f);
    rotator->DrawRotatedBitmapTransparent(m_pPicture, target, cx, cy, 0, scale, 0, 0);
    if (m_bPressed && m_bPressedInside)
        rotator->DrawRotatedBitmapAdditive(m_pPicture, target, cx, cy, 0, scale, 255, 255, 255, -128, 0);
}
