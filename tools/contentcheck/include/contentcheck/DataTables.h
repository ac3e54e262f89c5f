// The game's data tables as the checker needs them, read with the engine's data-file parser by
// the same rules as the game's own readers: a block opens with its keyword line, takes the keys
// it knows and closes at "end"; unknown keys are skipped. Each entry keeps the line it starts on,
// so a finding can point at it. The readers only collect; ContentChecker judges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace contentcheck {

struct TArena {
    std::string id, name, bg, iconSprite, coinSprite, unlockBy;
    int coinMoney = 1;
    int line = 0;
};

struct TYard {
    std::string id, name, file, showAfter, unlockAfter;
    int showStars = 0, unlockStars = 1;
    int showParts = 0, unlockParts = 0;  // how many parts those two lines gave
    int line = 0;
};

enum class EObjectCategory { Bird = 0, Plant = 1, Comfort = 2, Decor = 3 };

struct TObjectDef {
    std::string id, name, sprite, iconSprite, image, effectsName, spot;
    EObjectCategory category = EObjectCategory::Decor;
    int price = 0;
    bool isDefault = false, movable = false;
    int line = 0;
};

struct TQuest {
    std::string id, buy1, buy2;
    bool badColour = false;  // an extraScore colour the game does not know
    int line = 0;
};

struct TQuestSet {
    std::string yard;
    std::vector<std::string> arenas;
    std::vector<TQuest> quests;
    int line = 0;
};

struct TPurchase {
    std::string entry, name, desc, desc2, buttonText, price, spriteId, sku;
    int coins = 0;
    bool hidden = false;
    int line = 0;
};

struct TBirdSound {
    std::string bird;
    std::vector<std::string> ids;  // every eat, drink, question, tap and tap_spin id, in file order
    int line = 0;
};

// Each reads one file's text; `name` is the member name for messages only.
std::vector<TArena> ReadArenas(std::string_view text, const char* name);
std::vector<TYard> ReadYards(std::string_view text, const char* name);
std::vector<TObjectDef> ReadObjectDefs(std::string_view text, const char* name);
std::vector<TQuestSet> ReadQuestSets(std::string_view text, const char* name);
std::vector<TPurchase> ReadPurchases(std::string_view text, const char* name);
std::vector<TBirdSound> ReadBirdSounds(std::string_view text, const char* name);

// One finding of the raw syntax check: a value with "//" inside double quotes (the parser cuts
// the line there), or a value holding ':' or '=' outside quotes (the parser drops them).
struct TSyntaxFault {
    int line = 0;
    std::string why;
};
std::vector<TSyntaxFault> CheckValueSyntax(std::string_view text);

// The printf conversions of a text in order, "%%" included, e.g. "%s%d" or "%d%%"; "-" for none.
std::string FormatSignature(std::string_view text);

}  // namespace contentcheck
