#include "contentcheck/DataTables.h"

#include <cstring>

#include "core/Parser.h"

namespace contentcheck {
namespace {

using TText = CommonStringRS<50>;

std::string Str(const TText& text) { return text.Length() > 0 ? std::string(text.GetData()) : std::string(); }
std::string Name(const TText& value) { return Str(Parser::ExtractName(value)); }
int Int(const TText& value) { return Parser::AToI(value.GetData()); }

std::vector<std::string> Parts(const TText& value, int max) {
    std::vector<TText> parts(static_cast<std::size_t>(max));
    int count = 0;
    Parser::GetSubStringsArrayVar(value, max, parts.data(), count);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(Str(parts[static_cast<std::size_t>(i)]));
    return out;
}

// Calls fn(key, value, line) for every logical line of the text; a line that is exactly "end"
// comes as key "" and value "end", as do other lines without a separator (with their text).
template <class Fn>
void ForEachLine(std::string_view text, const char* name, Fn fn) {
    TParseInput input;
    input.bytes = text.data();
    input.size = static_cast<int>(text.size());
    input.name = name;
    TText line, key, value;
    while (Parser::GetNextLine(input, line) != 0) {
        const int number = Parser::LineNumberAt(input, input.lineStart);
        key = TText();
        value = TText();
        if (Parser::ReadPropertyFromString(line, key, value) == 0) continue;
        fn(Str(key), value, number);
    }
}

bool IsEnd(const std::string& key, const TText& value) { return key.empty() && value == "end"; }

// The one-level tables: a `keyword` line opens a block (a new T whose `id` field is the value
// unquoted), "end" closes it, and fn(block, key, value) takes the lines in between. Lines outside
// a block and a second keyword inside one are skipped, as the game's readers skip them.
template <class T, class Fn>
std::vector<T> ReadBlocks(std::string_view text, const char* name, const char* keyword, std::string T::*id, Fn fn) {
    std::vector<T> blocks;
    bool open = false;
    ForEachLine(text, name, [&](const std::string& key, const TText& value, int line) {
        if (IsEnd(key, value)) {
            open = false;
        } else if (!open) {
            if (key == keyword) {
                blocks.push_back(T{});
                blocks.back().*id = Name(value);
                blocks.back().line = line;
                open = true;
            }
        } else {
            fn(blocks.back(), key, value);
        }
    });
    return blocks;
}

}  // namespace

std::vector<TArena> ReadArenas(std::string_view text, const char* name) {
    return ReadBlocks<TArena>(text, name, "arena", &TArena::id,
                              [](TArena& a, const std::string& key, const TText& value) {
                                  if (key == "name")
                                      a.name = Name(value);
                                  else if (key == "bg")
                                      a.bg = Name(value);
                                  else if (key == "icon_sprite")
                                      a.iconSprite = Name(value);
                                  else if (key == "coin_sprite")
                                      a.coinSprite = Name(value);
                                  else if (key == "coin_money")
                                      a.coinMoney = Int(value);
                                  else if (key == "unlock_by")
                                      a.unlockBy = Name(value);
                              });
}

std::vector<TYard> ReadYards(std::string_view text, const char* name) {
    return ReadBlocks<TYard>(text, name, "yard", &TYard::id, [](TYard& y, const std::string& key, const TText& value) {
        if (key == "name") {
            y.name = Name(value);
        } else if (key == "file") {
            y.file = Name(value);
        } else if (key == "show_after" || key == "unlock_after") {
            const std::vector<std::string> parts = Parts(value, 2);
            const std::string id = parts.empty() ? "" : Name(TText(parts[0].c_str()));
            const int stars = parts.size() > 1 ? Parser::AToI(parts[1].c_str()) : 0;
            const bool show = key == "show_after";
            (show ? y.showAfter : y.unlockAfter) = id;
            (show ? y.showStars : y.unlockStars) = stars;
            (show ? y.showParts : y.unlockParts) = static_cast<int>(parts.size());
        }
    });
}

std::vector<TObjectDef> ReadObjectDefs(std::string_view text, const char* name) {
    std::vector<TObjectDef> defs;
    bool open = false;
    ForEachLine(text, name, [&](const std::string& key, const TText& value, int line) {
        if (IsEnd(key, value)) {
            open = false;
            return;
        }
        if (!open) {
            static const char* const kCategories[] = {"bird", "plant", "comfort", "decor"};
            for (int c = 0; c < 4; ++c) {
                if (key == kCategories[c]) {
                    defs.push_back(TObjectDef{});
                    defs.back().id = Name(value);
                    defs.back().category = static_cast<EObjectCategory>(c);
                    defs.back().line = line;
                    open = true;
                }
            }
            return;
        }
        TObjectDef& d = defs.back();
        if (key == "name")
            d.name = Name(value);
        else if (key == "sprite")
            d.sprite = Name(value);
        else if (key == "icon_sprite")
            d.iconSprite = Name(value);
        else if (key == "image")
            d.image = Name(value);
        else if (key == "effects_name")
            d.effectsName = Name(value);
        else if (key == "spot")
            d.spot = Name(value);
        else if (key == "price")
            d.price = Int(value);
        else if (key == "default")
            d.isDefault = true;
        else if (key == "flag" && value == "movable")
            d.movable = true;
    });
    return defs;
}

std::vector<TQuestSet> ReadQuestSets(std::string_view text, const char* name) {
    std::vector<TQuestSet> sets;
    bool setOpen = false, questOpen = false;
    ForEachLine(text, name, [&](const std::string& key, const TText& value, int line) {
        if (IsEnd(key, value)) {
            if (questOpen)
                questOpen = false;
            else
                setOpen = false;
            return;
        }
        if (!setOpen) {
            if (key == "quests_for_yard") {
                sets.push_back(TQuestSet{});
                sets.back().yard = Name(value);
                sets.back().line = line;
                setOpen = true;
            }
            return;
        }
        TQuestSet& set = sets.back();
        if (!questOpen) {
            if (key == "affect_arena") {
                set.arenas.push_back(Name(value));
            } else if (key == "quest") {
                set.quests.push_back(TQuest{});
                set.quests.back().id = Name(value);
                set.quests.back().line = line;
                questOpen = true;
            }
            return;
        }
        TQuest& q = set.quests.back();
        if (key == "buy1") {
            q.buy1 = Name(value);
        } else if (key == "buy2") {
            q.buy2 = Name(value);
        } else if (key == "extraScore") {
            static const char* const kColours[] = {"red",    "green",  "blue",   "yellow",
                                                   "color1", "color2", "color3", "color4"};
            const std::vector<std::string> parts = Parts(value, 2);
            bool known = false;
            for (const char* c : kColours) known = known || (!parts.empty() && parts[0] == c);
            q.badColour = q.badColour || !known;
        }
    });
    return sets;
}

std::vector<TPurchase> ReadPurchases(std::string_view text, const char* name) {
    return ReadBlocks<TPurchase>(text, name, "purchase", &TPurchase::entry,
                                 [](TPurchase& p, const std::string& key, const TText& value) {
                                     if (key == "name")
                                         p.name = Name(value);
                                     else if (key == "desc")
                                         p.desc = Name(value);
                                     else if (key == "desc2")
                                         p.desc2 = Name(value);
                                     else if (key == "buttonText_id")
                                         p.buttonText = Name(value);
                                     else if (key == "price")
                                         p.price = Name(value);
                                     else if (key == "sprite_id")
                                         p.spriteId = Name(value);
                                     else if (key == "blackberry_id")
                                         p.sku = Name(value);
                                     else if (key == "coins")
                                         p.coins = Int(value);
                                     else if (key == "hide_from_list" && Int(value) > 0)
                                         p.hidden = true;
                                 });
}

std::vector<TBirdSound> ReadBirdSounds(std::string_view text, const char* name) {
    return ReadBlocks<TBirdSound>(
        text, name, "bird", &TBirdSound::bird, [](TBirdSound& b, const std::string& key, const TText& value) {
            if (key == "eat" || key == "drink" || key == "question" || key == "tap" || key == "tap_spin")
                b.ids.push_back(Name(value));
        });
}

std::vector<TSyntaxFault> CheckValueSyntax(std::string_view text) {
    std::vector<TSyntaxFault> faults;
    int line = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view row = text.substr(start, end - start);
        bool quoted = false, separated = false;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const char c = row[i];
            if (c == '/' && i + 1 < row.size() && row[i + 1] == '/') {
                if (quoted) faults.push_back({line, "\"//\" inside double quotes starts a comment"});
                break;
            }
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && (c == '=' || c == ':')) {
                if (separated) {
                    faults.push_back(
                        {line, std::string("a value holding '") + c + "' must be written in double quotes"});
                    break;
                }
                separated = true;
            }
        }
        // CR LF ends one line, as the parser counts.
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
        ++line;
    }
    return faults;
}

std::string FormatSignature(std::string_view text) {
    std::string signature;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t j = i + 1;
        if (j < text.size() && text[j] == '%') {
            signature += "%%";
            i = j;
            continue;
        }
        // Flags, width, precision and length modifiers, then the conversion character.
        while (j < text.size() && std::strchr("-+ #0123456789.hlLqjzt", text[j]) != nullptr) ++j;
        signature += '%';
        if (j < text.size()) signature += text[j];
        i = j;
    }
    return signature.empty() ? "-" : signature;
}

}  // namespace contentcheck
