// The floating-text manager: the style table, the list of texts and its record.
#include <iterator>
#include <new>
#include <string_view>

#include "app/GameBase.h"
#include "core/Serializer.h"
#include "game/progress/ProgressHost.h"
#include "game/widgets/ColourTypes.h"
#include "game/widgets/JumpString.h"
#include "game/widgets/RecordReading.h"

namespace {

// How a style takes its velocity and its colour.
enum class EMove { Still, Up, TowardsCentre };
enum class EColour { Fixed, FromType, Stage };

struct TJumpStyle {
    const char* name;
    bool smallFont;  // FontSmall, else FontButtonNormal
    EMove move;
    FIXED_FLOAT_16 scale;
    EColour colour;
    int red, green, blue;  // for EColour::Fixed
    int peakAlpha, hold, appearMode, vanishMode;
};

constexpr TJumpStyle kStyles[] = {
    {"score", false, EMove::Up, 58982, EColour::FromType, 0, 0, 0, 255, 6, 2, 1},
    {"clear", false, EMove::Up, 98304, EColour::FromType, 0, 0, 0, 255, 6, 2, 1},
    {"coin", false, EMove::TowardsCentre, 58982, EColour::Fixed, 255, 255, 64, 255, 6, 2, 1},
    {"stage", false, EMove::Still, 144179, EColour::Stage, 0, 0, 0, 255, 66, 1, 1},
    {"stage_desc", true, EMove::Still, 98304, EColour::Fixed, 200, 200, 200, 255, 66, 1, 1},
    {"level", false, EMove::Still, 131072, EColour::Fixed, 255, 255, 255, 150, 26, 1, 1},
    {"life_lost", false, EMove::Still, 98304, EColour::Fixed, 255, 50, 0, 255, 66, 1, 1},
    {"new_star", true, EMove::Still, 98304, EColour::Fixed, 255, 64, 0, 255, 66, 1, 1},
};

constexpr const char* kStageDescStyle = "stage_desc";
// The smallest stored text: two empty strings and the fixed fields.
constexpr int kMinStoredTextBytes = 146;

const TJumpStyle* FindStyle(const CommonString& style) {
    const std::string_view name = style.GetDataConst() != nullptr ? style.GetDataConst() : "";
    for (const TJumpStyle& s : kStyles)
        if (name == s.name) return &s;
    return nullptr;
}

}  // namespace

CJumpStringManager::CJumpStringManager(CGameBase* game, IJumpStringArea* field) : m_pGame(game), m_pField(field) {
    m_Texts.growBy = 1;
}

CBitmapFontText* CJumpStringManager::FontForStyle(const CommonString& style) const {
    const TJumpStyle* row = FindStyle(style);
    IProgressHost* host = ProgressHostOf(m_pGame);
    if (row == nullptr || host == nullptr) return nullptr;
    return host->GetGameFont(row->smallFont ? kGameFontSmall : kGameFontButton);
}

int CJumpStringManager::ShowJumpString(const CommonString& text, const CommonString& style, int colourType,
                                       FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, int delay) {
    if (style.Length() == 0) return 0;
    auto* params = new (std::nothrow) TJumpStringParams();
    if (params == nullptr) return 0;
    params->style = style;
    params->position = TVector2D_16{x, y};
    // A style outside the table keeps every parameter 0: its text never shows and goes at once.
    if (const TJumpStyle* row = FindStyle(style)) {
        params->font = FontForStyle(style);
        params->scale = row->scale;
        params->peakAlpha = row->peakAlpha;
        params->hold = row->hold;
        params->appearMode = row->appearMode;
        params->vanishMode = row->vanishMode;
        params->red = row->red;
        params->green = row->green;
        params->blue = row->blue;
        if (row->colour == EColour::FromType)
            GetRGBColorBasedOnType(colourType, params->red, params->green, params->blue);
        if (row->colour == EColour::Stage) {
            params->red = colourType == 0 ? 0 : 96;
            params->green = 96;
            params->blue = 255;
        }
        if (row->move == EMove::Up) params->velocity = TVector2D_16{0, -65536};
        if (row->move == EMove::TowardsCentre) {
            // A coin's text drifts towards the middle of the area, away from the wall it was near.
            TRect2D area{0, 0, m_pGame != nullptr ? m_pGame->m_nGameWidth * 256 : 0,
                         m_pGame != nullptr ? m_pGame->m_nGameHeight * 256 : 0};
            if (m_pField != nullptr) area = m_pField->GetPlayRect();
            const int centreX = (area.x >> 8) + (area.width >> 8) / 2;
            const int centreY = (area.y >> 8) + (area.height >> 8) / 2;
            params->velocity =
                TVector2D_16{(x >> 16) > centreX ? -65536 : 65536, (y >> 16) <= centreY ? 65536 : -65536};
        }
    }
    auto* jump = new (std::nothrow) CJumpString(m_pGame, text, params, delay);
    if (jump == nullptr) {
        delete params;
        return 0;
    }
    (void)jump->PostConstruct();
    if (style == kStageDescStyle && (colourType == 1 || colourType == 2)) {
        jump->m_nLeftDecoration = colourType == 1 ? 2 : 3;
        jump->m_nRightDecoration = 1;
    }
    return m_Texts.AddOwned(jump);
}

void CJumpStringManager::RunProcess() {
    for (int i = m_Texts.count - 1; i >= 0; --i) {
        CJumpString* text = m_Texts.data[i];
        text->RunProcess();
        if (text->m_bAlive) continue;
        m_Texts.RemoveAt(i);
        delete text;
    }
}

void CJumpStringManager::Draw(IDibBitmap* dst, FIXED_FLOAT_16, FIXED_FLOAT_16) {
    for (int i = m_Texts.count - 1; i >= 0; --i) m_Texts.data[i]->Draw(dst, m_pField);
}

int CJumpStringManager::Serialize(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    int count = m_Texts.count;
    if (!writing) m_Texts.RemoveAll();
    if (!gameplay::SerializeCount(h, count, kMinStoredTextBytes)) return 0;
    for (int i = 0; i < count; ++i) {
        if (!writing) {
            auto* params = new (std::nothrow) TJumpStringParams();
            auto* text =
                params != nullptr ? new (std::nothrow) CJumpString(m_pGame, CommonString(), params, 0) : nullptr;
            if (text == nullptr) {
                delete params;
                return 0;
            }
            if (!m_Texts.AddOwned(text)) return 0;
        }
        CJumpString* text = m_Texts.data[i];
        if (!text->Serialize(h)) return 0;
        // Fonts are not saved: a text takes the font its style is made with, as when it was shown.
        if (!writing) text->m_pParams->font = FontForStyle(text->m_pParams->style);
    }
    return h.Succeeded();
}
