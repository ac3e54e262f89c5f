// The farm manager's readers: the yard table and the per-yard object files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/GameBase.h"
#include "core/Parser.h"
#include "game/farm/FarmManager.h"
#include "game/progress/DataFile.h"

namespace {

using Text = CommonStringRS<50>;

// Generous bounds from the content's own needs: a yard sells a few dozen objects at prices of a
// few hundred coins.
constexpr int kMaxFarmPrice = 1000000;
constexpr int kMaxYardObjectDefs = 1000;

CommonString Unquoted(const Text& value) { return CommonString(Parser::ExtractName(value).GetData()); }

int ToInt(const Text& text) { return Parser::AToI(text.GetData()); }

// The name a block left open at the end of a file is told by: its id, or "?" without one.
CommonString OpenBlockName(const CommonString& id) { return id.Length() > 0 ? id : CommonString("?"); }

// A whole number of pixels into fixed point with `fractionBits`; data values past the range wrap
// instead of overflowing.
std::int32_t ToFixed(const Text& text, int fractionBits) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(ToInt(text)) * (std::int64_t{1} << fractionBits));
}

// The block keywords of an object file, in category order.
constexpr const char* kCategoryKeywords[kFarmCategoryCount] = {"bird", "plant", "comfort", "decor"};

int CategoryOfKeyword(const Text& key) {
    for (int i = 0; i < kFarmCategoryCount; ++i)
        if (key.IsEqual(kCategoryKeywords[i])) return i;
    return -1;
}

// The shape points of an effects_shape or effects_shape_seg value: pairs of whole pixels, taken
// only when their count is even and at least 2. True when points were appended.
bool AppendShapePoints(FarmObjectDef& def, const Text& value) {
    constexpr int kMaxShapeNumbers = 20;
    Text parts[kMaxShapeNumbers];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, kMaxShapeNumbers, parts, count);
    if (count < 2 || count % 2 != 0) return false;
    for (int i = 0; i + 1 < count; i += 2) {
        TVector2D_16 point;
        point.x = ToFixed(parts[i], 16);
        point.y = ToFixed(parts[i + 1], 16);
        if (!def.effectShape.Add(point)) return false;
    }
    return true;
}

// A value of two whole numbers as a 24.8 point; false unless both are there.
bool ReadPoint(const Text& value, TVector2D& point) {
    Text parts[2];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 2, parts, count);
    if (count != 2) return false;
    point.x = ToFixed(parts[0], 8);
    point.y = ToFixed(parts[1], 8);
    return true;
}

void ReadInts(const Text& value, int* out, int count) {
    Text parts[kFarmCategoryCount];
    Parser::GetSubStringsArray(value, count, parts);
    for (int i = 0; i < count; ++i) out[i] = ToInt(parts[i]);
}

void ReadColour(const Text& value, std::uint8_t* rgb) {
    int parts[3];
    ReadInts(value, parts, 3);
    for (int i = 0; i < 3; ++i) rgb[i] = static_cast<std::uint8_t>(parts[i]);
}

// The yard id and star count of a show_after or unlock_after value; a missing count reads 0.
void ReadYardCondition(const Text& value, CommonString& id, int& stars) {
    Text parts[2];
    Parser::GetSubStringsArray(value, 2, parts);
    id = Unquoted(parts[0]);
    stars = ToInt(parts[1]);
}

bool ReadDefinitionKey(FarmObjectDef& def, const Text& key, const Text& value) {
    struct TTextKey {
        const char* key;
        CommonString FarmObjectDef::*field;
    };
    static constexpr TTextKey kTextKeys[] = {
        {"name", &FarmObjectDef::name},      {"desc", &FarmObjectDef::desc},
        {"name_id", &FarmObjectDef::nameId}, {"desc_id", &FarmObjectDef::descId},
        {"sprite", &FarmObjectDef::sprite},  {"icon_sprite", &FarmObjectDef::iconSprite},
        {"image", &FarmObjectDef::image},    {"effects_name", &FarmObjectDef::effectName},
        {"spot", &FarmObjectDef::spot},
    };
    for (const TTextKey& entry : kTextKeys) {
        if (key.IsEqual(entry.key)) {
            def.*entry.field = Unquoted(value);
            return true;
        }
    }
    const char* v = value.GetData();
    if (key.IsEqual("price")) {
        // Read wide, so a price past an int is refused rather than wrapped into another one.
        const long long price = std::strtoll(v != nullptr ? v : "", nullptr, 10);
        if (price < 0 || price > kMaxFarmPrice) {
            std::fprintf(stderr, "farm: object %s: a price of %lld, outside 0 to %d\n", def.id.GetDataConst(), price,
                         kMaxFarmPrice);
            return false;
        }
        def.price = static_cast<int>(price);
    } else if (key.IsEqual("default")) {
        def.flags |= kFarmFlagDefault;
    } else if (key.IsEqual("flag")) {
        if (value.IsEqual("movable")) def.flags |= kFarmFlagMovable;
        if (value.IsEqual("ground")) def.flags |= kFarmFlagGround;
        if (value.IsEqual("norotate")) def.canRotate = false;
    } else if (key.IsEqual("face_offset")) {
        ReadInts(value, def.faceOffset, 2);
    } else if (key.IsEqual("scale")) {
        def.scale = Parser::AToF16(v);
    } else if (key.IsEqual("drag_bottom_offset")) {
        def.dragBottomOffset = ToInt(value);
    } else if (key.IsEqual("effects_shape")) {
        AppendShapePoints(def, value);
    } else if (key.IsEqual("effects_shape_seg")) {
        if (AppendShapePoints(def, value)) def.effectShapeIsPoints = true;
    } else if (key.IsEqual("effects_center")) {
        ReadPoint(value, def.effectCenter);
    } else if (key.IsEqual("effects_shape_closed")) {
        def.effectShapeClosed = ToInt(value) != 0;
    } else if (key.IsEqual("effects_particles_per_frame")) {
        def.particlesPerFrame = Parser::AToF(v);
    } else if (key.IsEqual("spot_point")) {
        TVector2D point;
        if (ReadPoint(value, point)) return def.spotPoints.Add(point) != 0;
    } else if (key.IsEqual("spot_look")) {
        ReadPoint(value, def.spotLook);
    } else if (key.IsEqual("moves_on_wind")) {
        def.movesOnWind = ToInt(value) != 0 ? 1 : 0;
    } else if (key.IsEqual("obj_is_baloon")) {
        def.isBalloon = ToInt(value) != 0 ? 1 : 0;
    } else if (key.IsEqual("obj_is_jumper")) {
        def.isJumper = ToInt(value) != 0 ? 1 : 0;
    } else if (key.IsEqual("moves_on_wind_counter")) {
        def.windSpeed = Parser::AToF16(v);
    } else if (key.IsEqual("shadow_offset")) {
        def.shadowOffset = Parser::AToF(v);
    } else if (key.IsEqual("obj_shadow_angle")) {
        def.shadowAngle = ToInt(value);
    } else if (key.IsEqual("obj_shadow_angle_horz_shift")) {
        def.shadowHorzShift = ToInt(value);
    } else if (key.IsEqual("anim_speed")) {
        def.animSpeed = static_cast<float>(Parser::AToF(v)) / 256.0f;
    }
    return true;
}

}  // namespace

int SpotTypeFromName(const CommonString& name) {
    static constexpr const char* kSpotNames[] = {"eat",   "drink",    "heat",    "smile",
                                                 "music", "question", "picture", "jumping"};
    for (int i = 0; i < static_cast<int>(sizeof kSpotNames / sizeof kSpotNames[0]); ++i)
        if (name.IsEqual(kSpotNames[i])) return i + 1;
    return 0;
}

bool CFarmManager::PostConstruct() {
    if (m_pGame == nullptr) return false;
    if (!ReadYardsDefFromFile(m_pGame->GetModuleDirectory() + CommonString("Data\\yards.txt"))) return false;
    for (int i = 0; i < m_Yards.count; ++i) {
        const YardDef* yard = m_Yards[i];
        const char* file = yard->file.GetDataConst() != nullptr ? yard->file.GetDataConst() : "";
        if (!ReadObjectDefsFromFile(m_Yards[i])) {
            std::fprintf(stderr, "farm: Data\\%s: the object file of yard %s could not be read\n", file,
                         yard->id.GetDataConst());
            return false;
        }
    }
    return true;
}

bool CFarmManager::CheckYardObjectCounts(CommonString& failure) const {
    for (int i = 0; i < m_Yards.count; ++i) {
        const YardDef* yard = m_Yards.data[i];
        int objects = 0;
        for (const auto& category : yard->objects) objects += category.count;
        // A yard without objects is a black yard with an empty shop; thousands take minutes to open.
        if (objects >= 1 && objects <= kMaxYardObjectDefs) continue;
        char text[256];
        std::snprintf(text, sizeof text, "Data\\%s: %d objects for the yard %s, where 1 to %d are expected",
                      yard->file.GetDataConst() != nullptr ? yard->file.GetDataConst() : "", objects,
                      yard->id.GetDataConst() != nullptr ? yard->id.GetDataConst() : "", kMaxYardObjectDefs);
        failure = CommonString(text);
        return false;
    }
    return true;
}

bool CFarmManager::ReadYardsDefFromFile(CommonString path) {
    const bool ok = ReadPakDataFile(m_pGame, path, [this](IFile* file) { return ReadYardsDefFromFile(file); });
    return ok && !RefuseCutShort(path, "yard");
}

bool CFarmManager::ReadObjectDefsFromFile(YardDef* yard) {
    if (yard == nullptr || m_pGame == nullptr) return false;
    m_pYardBeingRead = yard;
    const CommonString path = m_pGame->GetModuleDirectory() + CommonString("Data\\") + yard->file;
    const bool ok = ReadPakDataFile(m_pGame, path, [this](IFile* file) { return ReadObjectDefsFromFile(file); });
    m_pYardBeingRead = nullptr;
    return ok && !RefuseCutShort(path, "object");
}

bool CFarmManager::RefuseCutShort(const CommonString& path, const char* what) {
    if (m_OpenAtEnd.Length() < 1) return false;
    std::fprintf(stderr,
                 "farm: %s is damaged: the file ends inside the block of the %s %s (no \"end\"): it is cut short\n",
                 path.GetDataConst() != nullptr ? path.GetDataConst() : "", what, m_OpenAtEnd.GetDataConst());
    m_OpenAtEnd = CommonString();
    return true;
}

template <class Source>
bool CFarmManager::ReadYardLines(Source& source) {
    m_pYardBeingRead = nullptr;
    const bool ok = ForEachDataLine(source, [this](const Text& line) { return ReadYardLine(line); });
    m_OpenAtEnd = ok && m_pYardBeingRead != nullptr ? OpenBlockName(m_pYardBeingRead->id) : CommonString();
    m_pYardBeingRead = nullptr;
    return ok;
}

bool CFarmManager::ReadYardsDefFromFile(IFile* file) { return file != nullptr && ReadYardLines(file); }
bool CFarmManager::ReadYardsDefFromInput(TParseInput& input) { return ReadYardLines(input); }

bool CFarmManager::ReadYardLine(const Text& line) {
    if (line.IsEqual("end")) {
        m_pYardBeingRead = nullptr;
        return true;
    }
    Text key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;
    if (m_pYardBeingRead == nullptr) {
        if (!key.IsEqual("yard")) return true;
        auto* yard = new (std::nothrow) YardDef;
        if (yard == nullptr) return false;
        if (!m_Yards.Add(yard)) {
            delete yard;
            return false;
        }
        yard->id = Unquoted(value);
        m_pYardBeingRead = yard;
        return true;
    }
    YardDef& yard = *m_pYardBeingRead;
    if (key.IsEqual("name")) {
        yard.name = Unquoted(value);
    } else if (key.IsEqual("file")) {
        yard.file = Unquoted(value);
    } else if (key.IsEqual("show_after")) {
        ReadYardCondition(value, yard.showAfter, yard.showStars);
    } else if (key.IsEqual("unlock_after")) {
        ReadYardCondition(value, yard.unlockAfter, yard.unlockStars);
    } else if (key.IsEqual("sky_color_top")) {
        ReadColour(value, yard.skyTop);
    } else if (key.IsEqual("sky_color_bottom")) {
        ReadColour(value, yard.skyBottom);
    } else if (key.IsEqual("icon")) {
        yard.icon = Unquoted(value);
    } else {
        static constexpr const char* kStarKeys[3] = {"coins_star1", "coins_star2", "coins_star3"};
        for (int star = 0; star < 3; ++star)
            if (key.IsEqual(kStarKeys[star])) ReadInts(value, yard.starThresholds[star], kFarmCategoryCount);
    }
    return true;
}

template <class Source>
bool CFarmManager::ReadObjectLines(Source& source) {
    m_pDefBeingRead = nullptr;
    const bool ok = ForEachDataLine(source, [this](const Text& line) { return ReadObjectLine(line); });
    m_OpenAtEnd = ok && m_pDefBeingRead != nullptr ? OpenBlockName(m_pDefBeingRead->id) : CommonString();
    m_pDefBeingRead = nullptr;
    return ok;
}

bool CFarmManager::ReadObjectDefsFromFile(IFile* file) { return file != nullptr && ReadObjectLines(file); }
bool CFarmManager::ReadObjectDefsFromInput(TParseInput& input) { return ReadObjectLines(input); }

bool CFarmManager::ReadObjectLine(const Text& line) {
    if (line.IsEqual("end")) {
        m_pDefBeingRead = nullptr;
        return true;
    }
    Text key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;
    if (m_pDefBeingRead != nullptr) return ReadDefinitionKey(*m_pDefBeingRead, key, value);
    // Outside a block only the category keywords count; "object" opens nothing, so its lines
    // are skipped like any other line outside a block.
    const int category = CategoryOfKeyword(key);
    if (category < 0 || m_pYardBeingRead == nullptr) return true;
    auto* def = new (std::nothrow) FarmObjectDef;
    if (def == nullptr) return false;
    def->category = category;
    def->id = Unquoted(value);
    if (!m_pYardBeingRead->objects[category].Add(def)) {
        delete def;
        return false;
    }
    m_pDefBeingRead = def;
    return true;
}
