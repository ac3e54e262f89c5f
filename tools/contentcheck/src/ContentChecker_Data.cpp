// Names one content file gives another, and the rules the game's readers rely on without
// checking them. The phase of a reference is the phase whose content it points into (see the
// phase list in content/code_refs.txt): the arenas' images and coin sets come with the round
// (B), the farm's sprites and decor effects with the farm (C).
#include <algorithm>
#include <set>

#include "audio/SoundManager.h"
#include "contentcheck/ContentChecker.h"
#include "core/LocManager2.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/UILayout.h"

namespace contentcheck {
namespace {

std::string Str(const CommonString& s) { return s.Length() > 0 ? std::string(s.GetDataConst()) : std::string(); }

std::string At(const std::string& member, int line) { return member + ":" + std::to_string(line); }

// The factory makes a CChicken for bird1 .. bird20; its number picks the Chicken<n>_* sets.
int BirdNumber(const std::string& id) {
    if (id.size() < 5 || id.compare(0, 4, "bird") != 0) return 0;
    const std::string digits = id.substr(4);
    if (digits.empty() || digits.size() > 2 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return 0;
    const int n = std::stoi(digits);
    return n >= 1 && n <= 20 ? n : 0;
}

bool IsCreature(const std::string& id) { return BirdNumber(id) > 0 || id == "robot" || id == "lawn_mower"; }

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
    std::set<std::string> birdIds;
    for (const TBirdSound& bird : m_BirdSounds) {
        for (const std::string& id : bird.ids) {
            if (birdIds.insert(id).second)
                CheckWav(At("Data\\bird_sounds.txt", bird.line) + " " + bird.bird, "Sound_BB\\Birds\\" + id);
        }
    }
    // The sound system has 100 effect slots, and the bird sounds join the table's effects.
    if (effects + static_cast<int>(birdIds.size()) > 100)
        m_Findings.Add("Data\\sfx.txt", "%d effects and %zu bird sounds exceed the 100 effect slots", effects,
                       birdIds.size());
}

void CContentChecker::CheckArenas() {
    const std::string member = "Data\\arenas.txt";
    if (!m_Pak.Has(member)) return;
    static const char* const kIds[] = {"arena1", "arena2", "arena3"};
    if (m_Arenas.size() != 3 ||
        !std::equal(m_Arenas.begin(), m_Arenas.end(), kIds, [](const TArena& a, const char* id) { return a.id == id; }))
        m_Findings.Add(member, "the arenas must be exactly arena1, arena2, arena3 in this order");
    for (std::size_t i = 0; i < m_Arenas.size(); ++i) {
        const TArena& a = m_Arenas[i];
        const std::string where = At(member, a.line);
        if (i == 0 && !a.unlockBy.empty()) m_Findings.Add(where, "the first arena must be open from the start");
        if (!a.unlockBy.empty() &&
            std::none_of(m_Yards.begin(), m_Yards.end(), [&](const TYard& y) { return y.id == a.unlockBy; }))
            m_Findings.Add(where, "unlock_by names %s, which is no yard", a.unlockBy.c_str());
        // The start texts promise "= 2 x" and "= 3 x" the coin in the second and third arena.
        if (i > 0 && i < 3 && a.coinMoney != static_cast<int>(i) + 1)
            m_Findings.Add(where, "coin_money %d; the start text promises %zu", a.coinMoney, i + 1);
        if (Due('B')) {
            CheckImage(where + " bg", a.bg, true);
            CheckSet(where + " coin_sprite", a.coinSprite, 1, {"gameplay"});
        }
    }
}

void CContentChecker::CheckYardsAndObjects() {
    const std::string member = "Data\\yards.txt";
    if (!m_Pak.Has(member)) return;
    // The play screen builds btn_play_yard_1 .. 4 and fails without a fourth yard.
    if (m_Yards.size() < 4) m_Findings.Add(member, "%zu yards; the play screen needs 4", m_Yards.size());
    std::set<std::string> ids, allObjects;
    for (const TYard& y : m_Yards) {
        const std::string where = At(member, y.line);
        if (!ids.insert(y.id).second) m_Findings.Add(where, "a second yard %s", y.id.c_str());
        auto known = [&](const std::string& id) {
            return std::any_of(m_Yards.begin(), m_Yards.end(), [&](const TYard& o) { return o.id == id; });
        };
        if (!y.showAfter.empty() && (!known(y.showAfter) || y.showParts != 2))
            m_Findings.Add(where, "show_after needs a yard id and a star count");
        if (!y.unlockAfter.empty() &&
            ((y.unlockAfter != "all_previous" && !known(y.unlockAfter)) || y.unlockParts != 2))
            m_Findings.Add(where, "unlock_after needs a yard id (or all_previous) and a star count");
        const std::string file = "Data\\" + y.file;
        if (!m_Pak.Has(file)) {
            m_Findings.Add(where, "the object file %s is not in the pak", file.c_str());
            continue;
        }
        const std::vector<TObjectDef>& defs = m_Objects[y.id];
        bool priced[4] = {};
        bool background = false, sun = false;
        std::set<std::string> objectIds;
        for (const TObjectDef& d : defs) {
            const std::string at = At(file, d.line);
            allObjects.insert(d.id);
            if (!objectIds.insert(d.id).second) m_Findings.Add(at, "a second object %s in this yard", d.id.c_str());
            background = background || (d.id == "yard_bg" && d.isDefault);
            sun = sun || (d.id == "yard_sun" && d.isDefault);
            if (!d.isDefault) {
                // A fixed object is drawn where its world position falls and cannot be sold.
                if (!d.movable) m_Findings.Add(at, "%s is for sale but not movable", d.id.c_str());
                if (d.price > 0) priced[static_cast<int>(d.category)] = true;
            }
            if (!Due('C')) continue;
            const int bird = BirdNumber(d.id);
            if (bird > 0) {
                // Birds 13 to 20 walk with 22 frames, the others with 8.
                for (const char* view : {"_L", "_T", "_B", "_LT", "_LB"})
                    CheckSet(at, "Chicken" + std::to_string(bird) + view, bird > 12 ? 22 : 8, {"none"});
            }
            if (IsCreature(d.id) && !d.isDefault && d.iconSprite.empty())
                m_Findings.Add(at, "the creature %s needs an icon_sprite for the shop", d.id.c_str());
            if (!IsCreature(d.id) && d.sprite.empty() && d.image.empty())
                m_Findings.Add(at, "%s has neither sprite nor image", d.id.c_str());
            if (!d.sprite.empty()) CheckSet(at + " sprite", d.sprite, 1, {"farm", "none"});
            if (!d.iconSprite.empty()) CheckSet(at + " icon_sprite", d.iconSprite, 1, {"farm", "none"});
            if (d.id == "yard_bg" && !d.sprite.empty()) {
                std::string why;
                CSpriteSet* set = m_Pak.Sprites()->GetSpriteSetNamed(d.sprite.c_str());
                if (set != nullptr && set->m_File.Length() > 0 &&
                    !PngIsOpaque("i_vga\\" + std::string(set->m_File.GetDataConst()) + ".png", why))
                    m_Findings.Add(at, "the background must be opaque: %s", why.c_str());
            }
            if (!d.effectsName.empty()) CheckEffect(at + " effects_name", "Effects\\" + d.effectsName + ".pfd");
        }
        if (!background || !sun) m_Findings.Add(file, "the default objects yard_bg and yard_sun must both be there");
        static const char* const kCategories[] = {"birds", "plants", "comfort", "decor"};
        for (int c = 0; c < 4; ++c)
            if (!priced[c])
                m_Findings.Add(file, "nothing priced for sale among the %s: no star of that category can be won",
                               kCategories[c]);
    }
    // The achievements 18 to 21 are won by buying these.
    for (const char* id : {"wooden_frog", "wooden_kittens", "wooden_dogs", "new_basket2"})
        if (allObjects.count(id) == 0) m_Findings.Add(member, "no yard sells %s, an achievement's object", id);
}

void CContentChecker::CheckQuests() {
    const std::string member = "Data\\miniquests.txt";
    if (!m_Pak.Has(member)) return;
    // The quests screen's tab i and the round statistics take quest set i for yard i.
    for (std::size_t i = 0; i < std::max(m_Quests.size(), m_Yards.size()); ++i) {
        if (i >= m_Quests.size() || i >= m_Yards.size() || m_Quests[i].yard != m_Yards[i].id) {
            m_Findings.Add(member, "quest set %zu is for %s; the sets follow the yards of yards.txt, so it must be %s",
                           i + 1, i < m_Quests.size() ? m_Quests[i].yard.c_str() : "(none)",
                           i < m_Yards.size() ? m_Yards[i].id.c_str() : "(none)");
            break;
        }
    }
    for (const TQuestSet& set : m_Quests) {
        for (const std::string& arena : set.arenas)
            if (std::none_of(m_Arenas.begin(), m_Arenas.end(), [&](const TArena& a) { return a.id == arena; }))
                m_Findings.Add(At(member, set.line), "affect_arena names %s, which is no arena", arena.c_str());
        const auto objects = m_Objects.find(set.yard);
        std::set<std::string> questIds, bought;
        for (const TQuest& q : set.quests) {
            const std::string where = At(member, q.line);
            if (!questIds.insert(q.id).second) m_Findings.Add(where, "a second quest %s in this yard", q.id.c_str());
            if (q.badColour) m_Findings.Add(where, "extraScore names a colour the game does not know");
            for (const std::string* buy : {&q.buy1, &q.buy2}) {
                const bool sold = objects != m_Objects.end() &&
                                  std::any_of(objects->second.begin(), objects->second.end(),
                                              [&](const TObjectDef& d) { return d.id == *buy && !d.isDefault; });
                if (!sold)
                    m_Findings.Add(where, "quest %s asks for %s, which %s does not sell", q.id.c_str(), buy->c_str(),
                                   set.yard.c_str());
                // Only the last quest naming an object would ever move on.
                else if (!bought.insert(*buy).second)
                    m_Findings.Add(where, "%s belongs to two quests of %s", buy->c_str(), set.yard.c_str());
            }
        }
    }
}

void CContentChecker::CheckPurchases() {
    const std::string member = "Data\\addcoins.txt";
    if (!m_Pak.Has(member)) return;
    std::set<std::string> skus;
    bool boostPoints = false;
    for (const TPurchase& p : m_Purchases) {
        const std::string where = At(member, p.line);
        boostPoints = boostPoints || p.entry == "inapp_upgrade_points";
        for (const std::string* key : {&p.name, &p.desc, &p.desc2, &p.buttonText}) {
            if (key == &p.buttonText && key->empty()) continue;
            if (TextOf(*key).empty()) m_Findings.Add(where, "Lang\\texts.csv has no text for %s", key->c_str());
        }
        // The payment stand-in builds its catalogue from these SKUs.
        if (p.sku.empty() || !skus.insert(p.sku).second)
            m_Findings.Add(where, "%s needs a blackberry_id of its own", p.entry.c_str());
        // A row whose set is missing ends the shop's list.
        CheckSet(where + " sprite_id", p.spriteId, 1, {"ui"});
        if (!p.hidden) {
            // The coin picture goes on the last run of four blanks of the first description line.
            const std::string desc = TextOf(p.desc);
            const auto run = desc.find("    ");
            if (run == std::string::npos || desc.find("     ") != std::string::npos ||
                desc.find("    ", run + 4) != std::string::npos)
                m_Findings.Add(where, "the text of %s needs exactly one run of four blanks for the coin",
                               p.desc.c_str());
            if (p.coins <= 0) m_Findings.Add(where, "a coin pack in the list must give coins");
        }
    }
    if (!boostPoints) m_Findings.Add(member, "the boosts screen's product inapp_upgrade_points is missing");
}

void CContentChecker::CheckValueSyntaxOfDataFiles() {
    for (const std::string& name : m_Pak.Names()) {
        const bool data = name.size() > 4 && (name.compare(name.size() - 4, 4, ".txt") == 0 ||
                                              name.compare(name.size() - 4, 4, ".pfd") == 0);
        if (!data) continue;
        for (const TSyntaxFault& fault : CheckValueSyntax(m_Pak.ReadText(name)))
            m_Findings.Add(At(name, fault.line), "%s", fault.why.c_str());
    }
}

}  // namespace contentcheck
