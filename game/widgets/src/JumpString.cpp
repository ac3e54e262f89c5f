// One floating text: its appear, hold, settle and vanish steps, its drawing and its record.
#include "game/widgets/JumpString.h"

#include <algorithm>

#include "app/GameBase.h"
#include "core/Serializer.h"
#include "game/widgets/GameplayMath.h"
#include "game/widgets/RecordReading.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

using gameplay::Clamp32;
using gameplay::Mul16;
using gameplay::WrapAdd;
using gameplay::WrapSub;

namespace {

constexpr FIXED_FLOAT_16 kZoomStartScale = 16 * 65536;  // a zooming text starts 16 times its size
constexpr FIXED_FLOAT_16 kZoomStep = 91750;             // 1.4 a frame
constexpr int kGrowStepDivisor = 3379;                  // a growing text reaches its size in about 14 frames
constexpr int kAlphaStep = 32;
constexpr FIXED_FLOAT_16 kSettleNarrowing = 58982;  // a settling text narrows to 0.9 of its scale
constexpr FIXED_FLOAT_16 kVanishStep = 9830;        // 0.15
constexpr FIXED_FLOAT_16 kDecorationScale = 39322;  // 0.6 of the text's scales
constexpr FIXED_FLOAT_16 kDecorationGap = 3 * 65536;

// num / den in 16.16 the way the texts always divided, ((num x 16) / (den >> 8)) x 16; false,
// with out untouched, when den has nothing above its low byte to divide by.
bool Div16(std::int64_t num, FIXED_FLOAT_16 den, FIXED_FLOAT_16& out) {
    const std::int64_t divisor = den >> 8;
    if (divisor == 0) return false;
    out = Clamp32(((num * 16) / divisor) * 16);
    return true;
}

// The eased scale between start and start + range at the fraction value - start of range; a
// range too small to divide by counts as done.
FIXED_FLOAT_16 EasedScale(FIXED_FLOAT_16 start, FIXED_FLOAT_16 range, FIXED_FLOAT_16 value) {
    FIXED_FLOAT_16 t = 65536;
    (void)Div16(static_cast<std::int64_t>(value) - start, range, t);
    return WrapAdd(start, Mul16(SCurve16(t, nullptr), range));
}

}  // namespace

CJumpString::CJumpString(CGameBase* game, const CommonString& text, TJumpStringParams* params, int delay)
    : m_pGame(game), m_Text(text), m_pParams(params), m_nDelay(delay) {}

CJumpString::~CJumpString() { delete m_pParams; }

int CJumpString::PostConstruct() {
    if (m_pParams == nullptr) return 0;
    const TJumpStringParams& p = *m_pParams;
    m_bAlive = true;
    m_nState = kJumpAppear;
    m_Position = p.position;
    m_Velocity = p.velocity;
    m_nHoldCounter = p.hold;
    switch (p.appearMode) {
        case 1:
            m_nScaleX = m_nScaleY = kZoomStartScale;
            m_nAppearStart = m_nAppearValue = kZoomStartScale;
            m_nAppearRange = WrapSub(p.scale, kZoomStartScale);
            m_nAppearStep = kZoomStep;
            m_nAlpha = 0;
            break;
        case 2:
            m_nScaleX = m_nScaleY = 0;
            m_nAppearStart = m_nAppearValue = 0;
            m_nAppearRange = p.scale;
            m_nAppearStep = std::max(Clamp32(16 * ((16LL * p.scale) / kGrowStepDivisor)), 1);
            m_nAlpha = 255;
            break;
        default:
            m_nScaleX = m_nScaleY = p.scale;
            break;
    }
    return 1;
}

void CJumpString::RunProcess() {
    if (!m_bAlive || m_pParams == nullptr) return;
    if (m_nDelay > 0) {
        --m_nDelay;
        return;
    }
    // One pass over the states in this order, so that a step which changes the state lets the
    // step of the new state run in the same frame.
    if (m_nState == kJumpAppear) RunAppear();
    if (m_nState == kJumpHold) {
        m_nHoldCounter = WrapSub(m_nHoldCounter, 1);
        if (m_nHoldCounter <= 0) StartVanish();
    }
    if (m_nState == kJumpSettle) RunSettle();
    if (m_nState == kJumpVanish) RunVanish();
    m_Position.x = WrapAdd(m_Position.x, m_Velocity.x);
    m_Position.y = WrapAdd(m_Position.y, m_Velocity.y);
}

void CJumpString::RunAppear() {
    const TJumpStringParams& p = *m_pParams;
    switch (p.appearMode) {
        case 0:
            m_nState = kJumpHold;
            m_nAlpha = 255;
            m_nScaleX = m_nScaleY = p.scale;
            break;
        case 1:
            m_nAlpha =
                static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(m_nAlpha) + kAlphaStep, p.peakAlpha));
            m_nAppearValue = WrapSub(m_nAppearValue, m_nAppearStep);
            if (m_nAppearValue > p.scale) {
                m_nScaleX = m_nScaleY = EasedScale(m_nAppearStart, m_nAppearRange, m_nAppearValue);
                break;
            }
            m_nScaleX = m_nScaleY = p.scale;
            m_nAlpha = p.peakAlpha;
            m_nState = kJumpSettle;
            m_nHoldCounter = std::max(m_nHoldCounter, 1);
            m_nSettleTarget = Mul16(p.scale, kSettleNarrowing);
            m_nSettleRange = WrapSub(p.scale, m_nSettleTarget);
            m_nSettleStep = m_nSettleRange / m_nHoldCounter;
            m_nSettleValue = p.scale;
            break;
        case 2:
            m_nAppearValue = WrapAdd(m_nAppearValue, m_nAppearStep);
            if (m_nAppearValue < p.scale) {
                m_nScaleX = m_nScaleY = EasedScale(m_nAppearStart, m_nAppearRange, m_nAppearValue);
                break;
            }
            m_nScaleX = m_nScaleY = p.scale;
            m_nState = kJumpHold;
            m_nAlpha = 255;
            break;
        default:
            break;
    }
}

void CJumpString::RunSettle() {
    const FIXED_FLOAT_16 scale = m_pParams->scale;
    m_nSettleValue = WrapAdd(m_nSettleValue, m_nSettleStep);
    // The eased deviation goes from 0 to the full range: the text narrows and stretches.
    FIXED_FLOAT_16 t = 65536;
    (void)Div16(static_cast<std::int64_t>(scale) - m_nSettleValue, m_nSettleRange, t);
    const FIXED_FLOAT_16 d = Mul16(SCurve16(t, nullptr), m_nSettleRange);
    m_nScaleX = WrapSub(scale, d);
    m_nScaleY = WrapAdd(scale, d);
    m_nHoldCounter = WrapSub(m_nHoldCounter, 1);
    if (m_nHoldCounter <= 0) StartVanish();
}

void CJumpString::StartVanish() {
    m_nState = kJumpVanish;
    m_nVanishStep = kVanishStep;
}

void CJumpString::RunVanish() {
    switch (m_pParams->vanishMode) {
        case 1:
            m_nScaleX = WrapAdd(m_nScaleX, m_nVanishStep);
            // A width too small to divide by leaves the height as it was.
            (void)Div16(m_pParams->scale, m_nScaleX, m_nScaleY);
            m_nVanishStep = WrapAdd(m_nVanishStep, kVanishStep);
            [[fallthrough]];
        case 2:
            m_nAlpha = Clamp32(static_cast<std::int64_t>(m_nAlpha) - kAlphaStep);
            if (m_nAlpha <= 0) m_bAlive = false;
            break;
        default:
            m_bAlive = false;
            break;
    }
}

bool CJumpString::IsShown() const {
    return m_bAlive && m_pParams != nullptr && m_pParams->font != nullptr && m_Text.Length() > 0 && m_nScaleX > 0 &&
           m_nScaleY > 0 && m_nAlpha > 0;
}

void CJumpString::Draw(IDibBitmap* dst, IJumpStringArea* field) {
    if (!IsShown() || dst == nullptr) return;
    const TJumpStringParams& p = *m_pParams;
    CBitmapFontText* font = p.font;
    const std::int64_t width = static_cast<std::int64_t>(font->Length2(m_Text.GetDataConst())) * m_nScaleX;
    const std::int64_t halfHeight = static_cast<std::int64_t>(font->GetCharHeight()) * m_nScaleY / 2;
    const FIXED_FLOAT_16 left = Clamp32(m_Position.x - width / 2);
    const FIXED_FLOAT_16 top = Clamp32(m_Position.y - halfHeight);
    const auto byte = [](int v) { return static_cast<unsigned char>(std::clamp(v, 0, 255)); };
    font->TextOutF(dst, m_Text.GetDataConst(), left, top, m_nScaleX, m_nScaleY, 0, byte(p.red), byte(p.green),
                   byte(p.blue), p.effect, byte(m_nAlpha), nullptr);
    if (field == nullptr) return;
    DrawDecoration(dst, field, m_nLeftDecoration, left, true);
    DrawDecoration(dst, field, m_nRightDecoration, Clamp32(static_cast<std::int64_t>(left) + width), false);
}

void CJumpString::DrawDecoration(IDibBitmap* dst, IJumpStringArea* field, int which, FIXED_FLOAT_16 edgeX, bool left) {
    IDibBitmap* image = nullptr;
    if (which == 1) image = field->GetCoinIconImage();
    if (which == 2 || which == 3) {
        CSpriteSet* coins = field->GetArenaCoinSet();
        image = coins != nullptr ? coins->GetFrame(0) : nullptr;
    }
    if (image == nullptr) return;
    const FIXED_FLOAT_16 kx = Mul16(m_nScaleX, kDecorationScale), ky = Mul16(m_nScaleY, kDecorationScale);
    const FIXED_FLOAT_16 gap = Mul16(kDecorationGap, kx);
    // Anchored at the middle of the side that faces the text.
    const FIXED_FLOAT_16 anchorX = left ? image->m_Width * 65536 : 0;
    const FIXED_FLOAT_16 x = left ? WrapSub(edgeX, gap) : WrapAdd(edgeX, gap);
    DrawStretched(m_pGame, dst, image, x, m_Position.y, anchorX, image->m_Height * 32768, kx, ky, 0,
                  std::clamp(m_nAlpha, 0, 255), 0, 0, 0, 0, 255, 255, 255);
}

int CJumpString::Serialize(SerializeHelper2& h) {
    if (m_pParams == nullptr) {
        h.ok = false;
        return 0;
    }
    TJumpStringParams& p = *m_pParams;
    gameplay::SerializeCheckedString(h, m_Text);
    gameplay::SerializeCheckedString(h, p.style);
    h.Serialize(p.position);
    h.Serialize(p.velocity);
    h.Serialize(p.scale);
    for (int* v : {&p.peakAlpha, &p.hold, &p.appearMode, &p.vanishMode, &p.red, &p.green, &p.blue, &p.effect})
        h.Serialize(*v);
    h.Serialize(p.flag);
    h.Serialize(m_bAlive);
    h.Serialize(m_nState);
    h.Serialize(m_Position);
    h.Serialize(m_Velocity);
    h.Serialize(m_nScaleX);
    h.Serialize(m_nScaleY);
    for (int* v : {&m_nAlpha, &m_nHoldCounter, &m_nDelay, &m_nAppearStart, &m_nAppearRange, &m_nAppearValue,
                   &m_nAppearStep, &m_nVanishStep, &m_nSettleTarget, &m_nSettleStep, &m_nSettleValue, &m_nSettleRange,
                   &m_nLeftDecoration, &m_nRightDecoration})
        h.Serialize(*v);
    // A state or mode no text is made with would never end: such a record is damaged.
    if (!h.writing && (m_nState < kJumpAppear || m_nState > kJumpSettle || p.appearMode < 0 || p.appearMode > 2 ||
                       p.vanishMode < 0 || p.vanishMode > 2))
        h.ok = false;
    return h.Succeeded();
}
