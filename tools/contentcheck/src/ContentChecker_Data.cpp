// Names one content file gives another, and the rules the game's readers rely on without
// checking them. The phase of a reference is the phase whose content it points into (see the
// phase list in content/code_refs.txt): the arenas' images and coin sets come with the round
// (B), the farm's sprites and decor effects with the farm (C).
#include <algorithm>
#include <set>

#include "audio/SoundManager.h"
#include "contentcheck/ContentChecker.h"
#include "core/LocManager2.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/MiniQuestManager.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/UILayout.h"

namespace contentcheck {
namespace {

// Where a finding about an entry of a data table points: the member and the entry's name.
std::string At(const std::string& member, const CommonString& entry) { return member + " " + Str(entry); }

}  // namespace

void CContentChecker::CheckData() {
    CheckTextTable();
    CheckStyleTable();
    CheckSoundTables();
    CheckArenas();
    CheckYardsAndObjects();
    CheckQuests();
    CheckPurchases();
    CheckValueSyntaxOfDataFiles();
}

void CContentChecker::CheckTextTable() {
    const std::string where = "Lang\\texts.csv";
    if (!m_bTextsLoaded) {
        m_Findings.Add(where, "the localisation cannot read it");
        return;
    }
    if (m_pTexts->GetLanguageCount() != 1 || !m_pTexts->GetLangID(0).IsEqual("enUS") ||
        !m_pTexts->GetLangDisplayName(0).IsEqual("English"))
        m_Findings.Add(where, "rows 1 and 2 must name the one language enUS, \"English\"");
    const std::string csv = m_Pak.ReadText(where);
    if (m_Template != nullptr) {
        // A text with a '%' is fine only where code fills it in as a format.
        std::set<std::string> formats = m_FormatKeys;
        for (const TCodeRef& row : m_Refs)
            if (row.kind == "text" && row.args[1] != "-") formats.insert(row.args[0]);
        struct TSink : ICsvSink {
            std::vector<std::pair<std::string, std::string>> rows;
            bool OnCell(int row, int column, const char* text, std::size_t length) override {
                if (row < 2 || column > 1) return true;
                if (column == 0)
                    rows.emplace_back(std::string(text, length), "");
                else if (!rows.empty())
                    rows.back().second.assign(text, length);
                return true;
            }
            bool OnRowEnd(int) override { return true; }
        } sink;
        (void)ParseLocCsv(csv.data(), csv.size(), 2, sink);
        for (const auto& [key, text] : sink.rows)
            if (text.find('%') != std::string::npos &&
                formats.count(Str(CropStartEndSpaces(key.c_str(), static_cast<int>(key.size())))) == 0)
                m_Findings.Add(where + " " + key, "the text holds '%%', but no code fills it in as a format");
    }
    const auto wide = std::find_if(csv.begin(), csv.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
    if (wide != csv.end())
        m_Findings.Add(where, "byte %ld is not ASCII; the fonts bake only what the texts use",
                       static_cast<long>(wide - csv.begin()));
}

void CContentChecker::CheckStyleTable() {
    const std::string where = "ui\\ui_iphone\\game_styles.txt";
    if (!m_Pak.Has(where)) return;  // a path row's finding
    if (!m_bStylesRead) m_Findings.Add(where, "the style table refuses it: it holds at most 8 fonts and 8 styles");
    if (m_pStyles->GetFontCount() != 8)
        m_Findings.Add(where, "%d font records; the game reads exactly 8", m_pStyles->GetFontCount());
    for (int i = 0; i < m_pStyles->GetStyleCount(); ++i) {
        const UILayout_StyleData* style = m_pStyles->GetStyleAt(i);
        if (m_pStyles->GetFontById(style->fontId) == nullptr)
            m_Findings.Add(where, "style %s names the font %s, which has no record", Str(style->id).c_str(),
                           Str(style->fontId).c_str());
    }
}

void CContentChecker::CheckSoundTables() {
    const int effects = m_pSounds->GetNumSoundFX();
    if (m_Pak.Has("Data\\sfx.txt") && effects < 6)
        m_Findings.Add("Data\\sfx.txt", "%d effects; the loader's first six steps play effects 0 to 5", effects);
    for (int i = 0; i < effects; ++i) {
        const SoundFXData* entry = m_pSounds->GetSoundFX(i);
        if (entry->file.Length() > 0)
            CheckWav("Data\\sfx.txt " + std::string(entry->name.GetDataConst()),
                     "Sound_BB\\" + std::string(entry->file.GetDataConst()));
    }
    const int birdIds = m_pBirdSounds->GetNumSoundIds();
    for (int i = 0; i < birdIds; ++i) {
        const CommonString& id = m_pBirdSounds->GetSoundId(i);
        CheckWav(At("Data\\bird_sounds.txt", id), "Sound_BB\\Birds\\" + Str(id));
    }
    // The sound system has 100 effect slots, and the bird sounds join the table's effects.
    if (effects + birdIds > 100)
        m_Findings.Add("Data\\sfx.txt", "%d effects and %d bird sounds exceed the 100 effect slots", effects, birdIds);
}

void CContentChecker::CheckArenas() {
    const std::string member = "Data\\arenas.txt";
    if (!m_Pak.Has(member)) return;
    static const char* const kIds[] = {"arena1", "arena2", "arena3"};
    const int count = m_pArenas->GetNumArenas();
    bool ordered = count == 3;
    for (int i = 0; i < count && ordered; ++i) ordered = m_pArenas->GetArenaAt(i)->id.IsEqual(kIds[i]);
    if (!ordered) m_Findings.Add(member, "the arenas must be exactly arena1, arena2, arena3 in this order");
    for (int i = 0; i < count; ++i) {
        const Arena& a = *m_pArenas->GetArenaAt(i);
        const std::string where = At(member, a.id);
        const std::string unlockBy = Str(a.unlockBy);
        if (i == 0 && !unlockBy.empty()) m_Findings.Add(where, "the first arena must be open from the start");
        if (!unlockBy.empty() && m_pFarm->GetYardDef(a.unlockBy) == nullptr)
            m_Findings.Add(where, "unlock_by names %s, which is no yard", unlockBy.c_str());
        // The start texts promise "= 2 x" and "= 3 x" the coin in the second and third arena.
        if (i > 0 && i < 3 && a.coinMoney != i + 1)
            m_Findings.Add(where, "coin_money %d; the start text promises %d", a.coinMoney, i + 1);
        if (Due('B')) {
            CheckImage(where + " bg", Str(a.bg), true);
            CheckSet(where + " coin_sprite", Str(a.coinSprite), 1, {"gameplay"});
        }
    }
}

void CContentChecker::CheckYardsAndObjects() {
    const std::string member = "Data\\yards.txt";
    if (!m_Pak.Has(member)) return;
    const int yards = m_pFarm->GetNumYards();
    // The play screen builds btn_play_yard_1 .. 4 and fails without a fourth yard.
    if (yards < 4) m_Findings.Add(member, "%d yards; the play screen needs 4", yards);
    std::set<std::string> ids, allObjects;
    for (int y = 0; y < yards; ++y) {
        const YardDef& yard = *m_pFarm->GetYardDef(y);
        const std::string where = At(member, yard.id);
        if (!ids.insert(Str(yard.id)).second) m_Findings.Add(where, "a second yard %s", Str(yard.id).c_str());
        // A yard named without a count reads 0 stars, so the count is always written.
        const auto known = [&](const CommonString& id) { return m_pFarm->GetYardIndex(id) >= 0; };
        if (yard.showAfter.Length() > 0 && (!known(yard.showAfter) || yard.showStars < 1))
            m_Findings.Add(where, "show_after needs a yard id and a star count of at least 1");
        if (yard.unlockAfter.Length() > 0 &&
            ((!yard.unlockAfter.IsEqual(kUnlockAfterAllPrevious) && !known(yard.unlockAfter)) || yard.unlockStars < 1))
            m_Findings.Add(where, "unlock_after needs a yard id (or all_previous) and a star count of at least 1");
        const std::string file = "Data\\" + Str(yard.file);
        if (!m_Pak.Has(file)) {
            m_Findings.Add(where, "the object file %s is not in the pak", file.c_str());
            continue;
        }
        if (m_ObjectFilesRead.count(Str(yard.id)) == 0) {
            m_Findings.Add(where, "the farm cannot read the object file %s", file.c_str());
            continue;
        }
        bool priced[kFarmCategoryCount] = {};
        bool background = false, sun = false;
        std::set<std::string> objectIds;
        for (int c = 0; c < kFarmCategoryCount; ++c) {
            for (int i = 0; i < yard.objects[c].count; ++i) {
                const FarmObjectDef& d = *yard.objects[c][i];
                const std::string id = Str(d.id);
                const std::string at = At(file, d.id);
                const bool isDefault = (d.flags & kFarmFlagDefault) != 0;
                allObjects.insert(id);
                if (!objectIds.insert(id).second) m_Findings.Add(at, "a second object %s in this yard", id.c_str());
                background = background || (id == "yard_bg" && isDefault);
                sun = sun || (id == "yard_sun" && isDefault);
                if (!isDefault) {
                    // A fixed object is drawn where its world position falls and cannot be sold.
                    if ((d.flags & kFarmFlagMovable) == 0)
                        m_Findings.Add(at, "%s is for sale but not movable", id.c_str());
                    if (d.price > 0) priced[c] = true;
                }
                // What an object file names must be in the pak whatever the phase: the farm's
                // objects are made from these definitions as soon as a yard opens.
                CheckObjectContent(at, d);
            }
        }
        if (!background || !sun) m_Findings.Add(file, "the default objects yard_bg and yard_sun must both be there");
        static const char* const kCategories[] = {"birds", "plants", "comfort", "decor"};
        for (int c = 0; c < kFarmCategoryCount; ++c)
            if (!priced[c])
                m_Findings.Add(file, "nothing priced for sale among the %s: no star of that category can be won",
                               kCategories[c]);
    }
    // The achievements 18 to 21 are won by buying these.
    for (const char* id : {"wooden_frog", "wooden_kittens", "wooden_dogs", "new_basket2"})
        if (allObjects.count(id) == 0) m_Findings.Add(member, "no yard sells %s, an achievement's object", id);
}

void CContentChecker::CheckObjectContent(const std::string& at, const FarmObjectDef& d) {
    const std::string id = Str(d.id);
    const bool isDefault = (d.flags & kFarmFlagDefault) != 0;
    const TFarmObjectClass objectClass = ClassifyFarmObjectId(id.c_str());
    const bool creature = objectClass.kind == kFarmObjectChicken || objectClass.kind == kFarmObjectRobot ||
                          objectClass.kind == kFarmObjectLawnmower;
    // The views each creature references when it is made: birds 13 to 20 walk with 22 frames,
    // the others with 8; the robot and the mower need a frame per view.
    if (objectClass.kind == kFarmObjectChicken) {
        const int bird = objectClass.initArgument;
        for (const char* view : {"_L", "_T", "_B", "_LT", "_LB"})
            CheckSet(at, "Chicken" + std::to_string(bird) + view, bird > 12 ? 22 : 8, {"none"});
    }
    if (objectClass.kind == kFarmObjectRobot)
        for (const char* view : {"_left", "_up", "_down", "_left_up", "_left_down", "_right_up", "_right_down"})
            CheckSet(at, std::string("robot") + view, 1, {"none"});
    if (objectClass.kind == kFarmObjectLawnmower) {
        for (const char* view : {"_left", "_up", "_down", "_left_up", "_left_down"})
            CheckSet(at, std::string("lawnmower") + view, 1, {"none"});
        CheckEffect(at + " trail", "Effects\\lawnmower.pfd");
    }
    // Looked up without a reference: they must come with the farm group.
    if (objectClass.kind == kFarmObjectPhotoStand) CheckSet(at, "PhotoFlare", 1, {"farm"});
    if (objectClass.kind == kFarmObjectDoghouse) {
        const std::string dog = objectClass.variant == 2 ? "dog2" : "dog";
        CheckSet(at, dog + "_lefteye_close", 1, {"farm"});
        CheckSet(at, dog + "_righteye_close", 1, {"farm"});
    }
    // The emotion a bird shows after visiting the spot (the robot wonders at most of them).
    static const char* const kEmotions[] = {nullptr,       "icons_eat",      "icons_drink", "icons_heat", "icons_smile",
                                            "icons_music", "icons_question", nullptr,       nullptr};
    const int spot = d.spotPoints.count > 0 ? SpotTypeFromName(d.spot) : 0;
    if (spot > 0 && kEmotions[spot] != nullptr) CheckSet(at + " spot", kEmotions[spot], 1, {"farm"});
    if (spot > 0) CheckSet(at + " spot", "icons_question", 1, {"farm"});
    if (creature && !isDefault && d.iconSprite.Length() == 0)
        m_Findings.Add(at, "the creature %s needs an icon_sprite for the shop", id.c_str());
    if (!creature && d.sprite.Length() == 0 && d.image.Length() == 0)
        m_Findings.Add(at, "%s has neither sprite nor image", id.c_str());
    if (d.sprite.Length() > 0) CheckSet(at + " sprite", Str(d.sprite), 1, {"farm", "none"});
    if (d.iconSprite.Length() > 0) CheckSet(at + " icon_sprite", Str(d.iconSprite), 1, {"farm", "none"});
    if (id == "yard_bg" && d.sprite.Length() > 0) {
        std::string why;
        CSpriteSet* set = m_Pak.Sprites()->GetSpriteSetNamed(d.sprite.GetDataConst());
        if (set != nullptr && set->m_File.Length() > 0 &&
            !PngIsOpaque("i_vga\\" + std::string(set->m_File.GetDataConst()) + ".png", why))
            m_Findings.Add(at, "the background must be opaque: %s", why.c_str());
    }
    if (d.effectName.Length() > 0) CheckEffect(at + " effects_name", "Effects\\" + Str(d.effectName) + ".pfd");
}

void CContentChecker::CheckQuests() {
    const std::string member = "Data\\miniquests.txt";
    if (!m_Pak.Has(member)) return;
    const int sets = m_pQuests->GetNumSets();
    const int yards = m_pFarm->GetNumYards();
    // The quests screen's tab i and the round statistics take quest set i for yard i.
    for (int i = 0; i < std::max(sets, yards); ++i) {
        const MiniQuestsSet* set = m_pQuests->GetSet(i);
        const YardDef* yard = m_pFarm->GetYardDef(i);
        if (set == nullptr || yard == nullptr || !(set->yardId == yard->id)) {
            m_Findings.Add(member, "quest set %d is for %s; the sets follow the yards of yards.txt, so it must be %s",
                           i + 1, set != nullptr ? Str(set->yardId).c_str() : "(none)",
                           yard != nullptr ? Str(yard->id).c_str() : "(none)");
            break;
        }
    }
    for (int s = 0; s < sets; ++s) {
        const MiniQuestsSet& set = *m_pQuests->GetSet(s);
        const std::string yardId = Str(set.yardId);
        for (int a = 0; a < set.affectedArenas.count; ++a) {
            const CommonString& arena = *set.affectedArenas.data[a];
            if (m_pArenas->GetArena(arena.GetDataConst()) == nullptr)
                m_Findings.Add(At(member, set.yardId), "affect_arena names %s, which is no arena", Str(arena).c_str());
        }
        YardDef* yard = m_pFarm->GetYardDef(set.yardId);
        std::set<std::string> questIds, bought;
        for (int q = 0; q < set.quests.count; ++q) {
            const MiniQuest& quest = *set.quests.data[q];
            const std::string id = Str(quest.id);
            const std::string where = At(member, set.yardId) + " " + id;
            if (!questIds.insert(id).second) m_Findings.Add(where, "a second quest %s in this yard", id.c_str());
            // An extraScore colour the game does not know gives nothing, as does a quest without one.
            const bool bonus =
                quest.decreaseScorePerCoin > 0 || std::any_of(std::begin(quest.extraScore), std::end(quest.extraScore),
                                                              [](int extra) { return extra > 0; });
            if (!bonus)
                m_Findings.Add(where,
                               "quest %s gives no bonus: no extraScore of a known colour, no decreaseScorePerCoin",
                               id.c_str());
            for (const CommonString* buy : {&quest.buy1, &quest.buy2}) {
                const FarmObjectDef* def = yard != nullptr ? m_pFarm->GetFarmObjectDef(yard, *buy) : nullptr;
                const bool sold = def != nullptr && (def->flags & kFarmFlagDefault) == 0;
                if (!sold)
                    m_Findings.Add(where, "quest %s asks for %s, which %s does not sell", id.c_str(), Str(*buy).c_str(),
                                   yardId.c_str());
                // Only the last quest naming an object would ever move on.
                else if (!bought.insert(Str(*buy)).second)
                    m_Findings.Add(where, "%s belongs to two quests of %s", Str(*buy).c_str(), yardId.c_str());
            }
        }
    }
}

void CContentChecker::CheckPurchases() {
    const std::string member = "Data\\addcoins.txt";
    if (!m_Pak.Has(member)) return;
    std::set<std::string> skus;
    for (int i = 0; i < m_pPurchases->GetNumDefs(); ++i) {
        const InAppPurchaseDef& p = *m_pPurchases->GetDef(i);
        const std::string where = At(member, p.entryName);
        for (const CommonString* key : {&p.name, &p.desc, &p.desc2, &p.buttonText_id}) {
            if (key == &p.buttonText_id && key->Length() == 0) continue;
            if (TextOf(Str(*key)).empty())
                m_Findings.Add(where, "Lang\\texts.csv has no text for %s", Str(*key).c_str());
        }
        // The payment stand-in builds its catalogue from these SKUs.
        if (p.blackberry_id.Length() == 0 || !skus.insert(Str(p.blackberry_id)).second)
            m_Findings.Add(where, "%s needs a blackberry_id of its own", Str(p.entryName).c_str());
        // A row whose set is missing ends the shop's list.
        CheckSet(where + " sprite_id", Str(p.sprite_id), 1, {"ui"});
        if (!p.hide_from_list) {
            // The coin picture goes on the last run of four blanks of the first description line.
            const std::string desc = TextOf(Str(p.desc));
            const auto run = desc.find("    ");
            if (run == std::string::npos || desc.find("     ") != std::string::npos ||
                desc.find("    ", run + 4) != std::string::npos)
                m_Findings.Add(where, "the text of %s needs exactly one run of four blanks for the coin",
                               Str(p.desc).c_str());
            if (p.coins <= 0) m_Findings.Add(where, "a coin pack in the list must give coins");
        }
    }
    if (m_pPurchases->GetInAppPurchaseDef("inapp_upgrade_points") == nullptr)
        m_Findings.Add(member, "the boosts screen's product inapp_upgrade_points is missing");
}

void CContentChecker::CheckValueSyntaxOfDataFiles() {
    for (const std::string& name : m_Pak.Names()) {
        const bool data = name.size() > 4 && (name.compare(name.size() - 4, 4, ".txt") == 0 ||
                                              name.compare(name.size() - 4, 4, ".pfd") == 0);
        if (!data) continue;
        for (const TSyntaxFault& fault : CheckValueSyntax(m_Pak.ReadText(name)))
            m_Findings.Add(name + ":" + std::to_string(fault.line), "%s", fault.why.c_str());
    }
}

}  // namespace contentcheck
