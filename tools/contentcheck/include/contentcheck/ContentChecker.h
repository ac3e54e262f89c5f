// The content checker: proves that a built resource pak holds every name the game's code looks
// up (the rows of content/code_refs.txt), that every name one content file gives another
// resolves, and that the pak keeps the rules the game's readers depend on without reporting
// them (stored music, one-row particle strips, quoted values, opaque backgrounds, ...).
//
// Everything is read through the engine's and the game's own readers (pak reader, data-file
// parser, sprite description reader and sprite sets, image loader, localisation, font loader,
// sound table, WAV and Ogg decoders, particle effect set-up, and the managers that read the arena
// table, the yards and their objects, the mini-quests, the coin-shop catalogue and the bird
// sounds); the checker's own code only compares.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contentcheck/CodeRefs.h"
#include "contentcheck/DataTables.h"
#include "contentcheck/Findings.h"
#include "contentcheck/PakContent.h"

class CArenaManager;
class CommonString;
class CBirdSoundsManager;
class CFarmManager;
class CInAppPurchaseManager;
class CLocManager2;
class CMiniQuestManager;
class CSoundManager;
class CUILayout;
class TWidget;
struct FarmObjectDef;
struct TAction;
struct TTemplate;

namespace contentcheck {

struct TCheckOptions {
    // Rows and data references of later phases are skipped: the pak is complete up to this one.
    char phase = 'A';
};

class CContentChecker {
public:
    // The pak must stay open while the checker lives.
    CContentChecker(CPakContent& pak, std::vector<TCodeRef> refs, TCheckOptions options);
    ~CContentChecker();
    CContentChecker(const CContentChecker&) = delete;
    CContentChecker& operator=(const CContentChecker&) = delete;

    // Runs every check once.
    void Run();
    const CFindings& Findings() const { return m_Findings; }

private:
    // ---- ContentChecker.cpp: loading the shared tables, the code-reference rows -------------
    void LoadTables();
    // The data tables through the game's managers; a table the pak holds but its reader refuses
    // is a finding (a missing member is a path row's).
    void ReadGameTables();
    void CheckCodeRef(const TCodeRef& row);
    void CheckFont(const std::string& where, const std::string& id, const std::string& record);
    void CheckText(const std::string& where, const std::string& key, const std::string& conversions);
    void CheckSound(const std::string& where, const std::string& name);
    void CheckMusic(const std::string& where, const std::string& member);
    bool Due(char phase) const { return phase <= m_Options.phase; }
    std::string TextOf(const std::string& key) const;

    // ---- ContentChecker_Media.cpp: images, sprite sets, effects, sounds ---------------------
    struct TSetInfo {
        bool declared = false;
        std::string group;
        bool loads = false;
        int frames = 0;
        std::string sheetFault;  // why the sheet is not cut exactly; empty when it is
    };
    const TSetInfo& SetInfo(const std::string& name);
    // `groups` lists the groups allowed, "none" standing for no group; empty allows any.
    void CheckSet(const std::string& where, const std::string& name, int minFrames,
                  const std::vector<std::string>& groups);
    void CheckImage(const std::string& where, const std::string& name, bool opaque);
    // True when the PNG member holds no alpha (colour type grey or RGB without tRNS).
    bool PngIsOpaque(const std::string& member, std::string& why) const;
    void CheckEffect(const std::string& where, const std::string& member);
    void CheckWav(const std::string& where, const std::string& member);

    // ---- ContentChecker_Template.cpp: the UI template ------------------------------------------
    struct TTemplateDeleter {
        void operator()(TTemplate* t) const;
    };
    void LoadTemplate();
    void CheckTemplateRow(const TCodeRef& row);
    void CheckTemplateReferences();
    TWidget* Record(const std::string& name) const;
    TAction* Action(const std::string& name) const;
    // Actions the code runs on that root (runs rows), those of every root included.
    std::vector<std::string> ActionsRunOn(const std::string& root) const;
    // Records the screen can show: placed on the root or inside what is shown, or created by an
    // action that a shown dialog binds or the code runs on the root.
    std::set<std::string> Reachable(const std::string& root) const;
    // The root's own children: its placements and whatever the actions of the screen create.
    std::set<std::string> DirectChildren(const std::string& root) const;
    bool HasDescendant(const std::string& dialog, const std::string& id) const;
    // Records only the farm's screens (the yard and the farm shop) can show: they are built once
    // the "farm" sprite sets are loaded, so their sets may belong to that group.
    std::set<std::string> FarmOnlyRecords() const;

    // ---- ContentChecker_Data.cpp: data files referring to each other, and the rules ---------
    void CheckData();
    void CheckTextTable();
    void CheckStyleTable();
    void CheckSoundTables();
    void CheckArenas();
    void CheckYardsAndObjects();
    // The sets, images and effect an object definition names, and what its class needs.
    void CheckObjectContent(const std::string& at, const FarmObjectDef& def);
    void CheckQuests();
    void CheckPurchases();
    void CheckValueSyntaxOfDataFiles();

    CPakContent& m_Pak;
    std::vector<TCodeRef> m_Refs;
    TCheckOptions m_Options;
    CFindings m_Findings;
    std::unique_ptr<TTemplate, TTemplateDeleter> m_Template;
    std::vector<std::pair<std::string, std::string>> m_CodeRunActions;  // root (or "*"), action
    std::set<std::string> m_FormatKeys;                                 // text keys the template uses as formats

    CLocManager2* m_pTexts = nullptr;
    bool m_bTextsLoaded = false;
    CSoundManager* m_pSounds = nullptr;
    CUILayout* m_pStyles = nullptr;
    bool m_bStylesRead = false;
    // The game's data tables, each read by the manager the game reads it with.
    std::unique_ptr<CArenaManager> m_pArenas;
    std::unique_ptr<CFarmManager> m_pFarm;
    std::set<std::string> m_ObjectFilesRead;  // yard ids whose object file the farm read
    std::unique_ptr<CMiniQuestManager> m_pQuests;
    std::unique_ptr<CInAppPurchaseManager> m_pPurchases;
    std::unique_ptr<CBirdSoundsManager> m_pBirdSounds;
    std::vector<std::string> m_EffectKeys;
    std::map<std::string, TSetInfo> m_SetCache;
    std::map<std::string, bool> m_WavCache;
};

// The text of an engine string; empty for an empty one.
std::string Str(const CommonString& s);

// The whole check of one pak file: reads the rows of `refsText`, opens the pak and runs every
// check. False, with `error` set, when a row cannot be read or the pak reader refuses the file;
// otherwise true with the findings (none when the pak is complete).
[[nodiscard]] bool CheckPakFile(const std::string& pakPath, std::string_view refsText, TCheckOptions options,
                                std::vector<std::string>& findings, std::string& error);

}  // namespace contentcheck
