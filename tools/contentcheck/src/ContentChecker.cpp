#include "contentcheck/ContentChecker.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "audio/SoundManager.h"
#include "audio/StreamingProviderOGG.h"
#include "core/LocManager2.h"
#include "core/Parser.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/MiniQuestManager.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

namespace contentcheck {
namespace {

// The six sprite description files the game declares its sets from.
const char* const kSpriteDescriptions[] = {"ui\\ui_sprites.txt",   "ui\\ui_sprites2.txt",
                                           "ui\\game_sprites.txt", "ui\\chicken_sprites.txt",
                                           "ui\\shop_sprites.txt", "ui\\farm_obj_sprites.txt"};

bool IsTemplateKind(const std::string& kind) {
    static const char* const kKinds[] = {"root",    "runs",    "reach",   "inside", "direct", "nested",
                                         "special", "caption", "fullbar", "tabs",   "frames", "recthit"};
    return std::any_of(std::begin(kKinds), std::end(kKinds), [&](const char* k) { return kind == k; });
}

std::string BaseOf(const std::string& file) {
    const auto dot = file.find_last_of('.');
    const auto slash = file.find_last_of('\\');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? file.substr(0, dot) : file;
}

}  // namespace

CContentChecker::CContentChecker(CPakContent& pak, std::vector<TCodeRef> refs, TCheckOptions options)
    : m_Pak(pak), m_Refs(std::move(refs)), m_Options(options) {
    m_pTexts = new CLocManager2(m_Pak.Game());
    m_pSounds = new CSoundManager(m_Pak.Game());
    m_pStyles = new CUILayout(m_Pak.Game());
}

CContentChecker::~CContentChecker() {
    m_Template.reset();
    delete m_pStyles;
    delete m_pSounds;
    delete m_pTexts;
}

std::string Str(const CommonString& s) { return s.Length() > 0 ? std::string(s.GetDataConst()) : std::string(); }

bool CheckPakFile(const std::string& pakPath, std::string_view refsText, TCheckOptions options,
                  std::vector<std::string>& findings, std::string& error) {
    std::vector<std::string> errors;
    std::vector<TCodeRef> refs = ParseCodeRefs(refsText, "code_refs.txt", errors);
    if (!errors.empty()) {
        error = errors.front();
        return false;
    }
    CPakContent pak;
    if (!pak.Open(pakPath, error)) return false;
    CContentChecker checker(pak, std::move(refs), options);
    checker.Run();
    findings = checker.Findings().All();
    return true;
}

void CContentChecker::Run() {
    LoadTables();
    for (const TCodeRef& row : m_Refs) {
        if (!Due(row.phase)) continue;
        if (IsTemplateKind(row.kind))
            CheckTemplateRow(row);
        else
            CheckCodeRef(row);
    }
    CheckTemplateReferences();
    CheckData();
}

void CContentChecker::LoadTables() {
    for (const TCodeRef& row : m_Refs) {
        if (row.kind == "pfdkey") m_EffectKeys.push_back(row.args[0]);
        if (row.kind == "runs" && Due(row.phase))
            for (std::size_t i = 1; i < row.args.size(); ++i) m_CodeRunActions.emplace_back(row.args[0], row.args[i]);
    }
    LoadTemplate();

    for (const char* file : kSpriteDescriptions) {
        std::vector<std::uint8_t> bytes;
        if (!m_Pak.Read(file, bytes)) continue;  // a missing file is a path row's finding
        const std::span<const char> text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (AddSpriteSetsFromBytes(m_Pak.Sprites(), m_Pak.Game(), text, file) == 0)
            m_Findings.Add(file, "the sprite description reader refuses the file");
    }

    m_bTextsLoaded = m_pTexts->Init(CommonString("Lang\\texts.csv"), 200) != 0;
    if (m_bTextsLoaded) m_pTexts->SetCurrentLanguage(0);

    const std::string sfx = m_Pak.ReadText("Data\\sfx.txt");
    TParseInput input;
    input.bytes = sfx.data();
    input.size = static_cast<int>(sfx.size());
    input.name = "Data\\sfx.txt";
    if (!m_pSounds->ReadSfxFromInput(input)) m_Findings.Add("Data\\sfx.txt", "the sound table cannot be read");

    std::vector<std::uint8_t> styles;
    if (m_Pak.Read("ui\\ui_iphone\\game_styles.txt", styles)) {
        const std::span<const char> text(reinterpret_cast<const char*>(styles.data()), styles.size());
        m_bStylesRead = m_pStyles->LoadFromUILayoutBytes(text, "ui\\ui_iphone\\game_styles.txt") != 0;
    }
    ReadGameTables();
}

void CContentChecker::ReadGameTables() {
    // The game reads these below its module directory, which for the checker's game object is
    // the pak's root, through the same memory files over the pak.
    CGameBase* game = m_Pak.Game();
    m_pArenas = std::make_unique<CArenaManager>(game);
    if (m_Pak.Has("Data\\arenas.txt") && !m_pArenas->PostConstruct())
        m_Findings.Add("Data\\arenas.txt", "the arena table cannot be read");
    m_pFarm = std::make_unique<CFarmManager>(game);
    if (m_Pak.Has("Data\\yards.txt")) {
        if (!m_pFarm->ReadYardsDefFromFile(CommonString("Data\\yards.txt")))
            m_Findings.Add("Data\\yards.txt", "the yard table cannot be read");
        // Each yard on its own, so that one missing object file does not hide the others.
        for (int i = 0; i < m_pFarm->GetNumYards(); ++i) {
            YardDef* yard = m_pFarm->GetYardDef(i);
            if (m_Pak.Has("Data\\" + Str(yard->file)) && m_pFarm->ReadObjectDefsFromFile(yard))
                m_ObjectFilesRead.insert(Str(yard->id));
        }
    }
    m_pQuests = std::make_unique<CMiniQuestManager>(game);
    if (m_Pak.Has("Data\\miniquests.txt") && !m_pQuests->PostConstruct())
        m_Findings.Add("Data\\miniquests.txt", "the mini-quest reader cannot read it");
    // The catalogue's manager belongs to the game object proper; its decoding entry takes the
    // member's bytes.
    m_pPurchases = std::make_unique<CInAppPurchaseManager>(nullptr);
    const std::string catalogue = m_Pak.ReadText("Data\\addcoins.txt");
    TParseInput input;
    input.bytes = catalogue.data();
    input.size = static_cast<int>(catalogue.size());
    input.name = "Data\\addcoins.txt";
    if (!m_pPurchases->ReadInAppPurchaseDefsFromInput(input))
        m_Findings.Add("Data\\addcoins.txt", "the catalogue reader cannot read it");
    m_pBirdSounds = std::make_unique<CBirdSoundsManager>(game);
    if (m_Pak.Has("Data\\bird_sounds.txt") && !m_pBirdSounds->PostConstruct())
        m_Findings.Add("Data\\bird_sounds.txt", "the bird-sound reader cannot read it");
}

void CContentChecker::CheckCodeRef(const TCodeRef& row) {
    const std::vector<std::string>& a = row.args;
    const std::string where = "code_refs.txt:" + std::to_string(row.line) + " " + row.kind + " " + a[0];
    if (row.kind == "path") {
        if (!m_Pak.Has(a[0])) m_Findings.Add(where, "the pak has no member %s", a[0].c_str());
    } else if (row.kind == "image") {
        CheckImage(where, a[0], a[1] == "opaque");
    } else if (row.kind == "set") {
        std::vector<std::string> groups;
        for (std::size_t start = 0; start <= a[2].size();) {
            const std::size_t bar = std::min(a[2].find('|', start), a[2].size());
            groups.push_back(a[2].substr(start, bar - start));
            start = bar + 1;
        }
        CheckSet(where, a[0], Parser::AToI(a[1].c_str()), groups);
    } else if (row.kind == "effect") {
        CheckEffect(where, a[1]);
    } else if (row.kind == "sound") {
        CheckSound(where, a[0]);
    } else if (row.kind == "music") {
        CheckMusic(where, a[0]);
    } else if (row.kind == "font") {
        CheckFont(where, a[0], a[1]);
    } else if (row.kind == "text") {
        CheckText(where, a[0], a[1]);
    }
    // pfdkey rows are the key table CheckEffect reads.
}

std::string CContentChecker::TextOf(const std::string& key) const {
    if (!m_bTextsLoaded) return {};
    const CommonString text = m_pTexts->LoadString(key.c_str());
    return text.Length() > 0 ? std::string(text.GetDataConst()) : std::string();
}

void CContentChecker::CheckText(const std::string& where, const std::string& key, const std::string& conversions) {
    const std::string text = TextOf(key);
    if (text.empty()) {
        m_Findings.Add(where, "Lang\\texts.csv has no text for %s", key.c_str());
        return;
    }
    const std::string found = FormatSignature(text);
    if (found != conversions)
        m_Findings.Add(where, "the text \"%s\" has the conversions %s, the code supplies %s", text.c_str(),
                       found.c_str(), conversions.c_str());
}

void CContentChecker::CheckFont(const std::string& where, const std::string& id, const std::string& record) {
    int index = 0;
    while (index < m_pStyles->GetFontCount() && !m_pStyles->GetFontAt(index)->id.IsEqual(id.c_str())) ++index;
    if (index == m_pStyles->GetFontCount()) {
        m_Findings.Add(where, "game_styles.txt has no font record %s", id.c_str());
        return;
    }
    if (record != "-" && index != Parser::AToI(record.c_str()))
        m_Findings.Add(where, "font %s is record %d; the code needs it as record %s", id.c_str(), index,
                       record.c_str());
    const CommonString& file = m_pStyles->GetFontAt(index)->file;
    const std::string path = "i_vga\\" + std::string(file.Length() > 0 ? file.GetDataConst() : "");
    const std::string base = BaseOf(path);
    std::vector<std::uint8_t> fdb;
    if (!m_Pak.Read(base + ".fdb", fdb) || fdb.size() < static_cast<std::size_t>(kFdbAbcBlockSize))
        m_Findings.Add(where, "%s.fdb is missing or shorter than %d bytes", base.c_str(), kFdbAbcBlockSize);
    if (!m_Pak.Has(base + "_rgba.png")) m_Findings.Add(where, "the glyph image %s_rgba.png is missing", base.c_str());
    CBitmapFontText font(m_Pak.Game());
    if (font.LoadFont(path.c_str()) == 0) m_Findings.Add(where, "the font loader cannot load %s", path.c_str());
}

void CContentChecker::CheckSound(const std::string& where, const std::string& name) {
    SoundFXData* entry = m_pSounds->FindSoundFX(CommonString(name.c_str()));
    if (entry == nullptr) {
        m_Findings.Add(where, "Data\\sfx.txt has no effect %s", name.c_str());
        return;
    }
    if (entry->file.Length() == 0) {
        m_Findings.Add(where, "the effect %s names no file", name.c_str());
        return;
    }
    CheckWav(where, "Sound_BB\\" + std::string(entry->file.GetDataConst()));
}

void CContentChecker::CheckMusic(const std::string& where, const std::string& member) {
    const int method = m_Pak.Method(member);
    if (method < 0) {
        m_Findings.Add(where, "the pak has no member %s", member.c_str());
        return;
    }
    // The stream reads the member in place, which only a stored member allows.
    if (method != 0) {
        m_Findings.Add(where, "%s is deflated (method %d); streamed music must be stored", member.c_str(), method);
        return;
    }
    CStreamingProviderOGG stream(m_Pak.Game());
    if (!stream.LoadStream(member.c_str())) {
        m_Findings.Add(where, "%s does not open as an Ogg Vorbis stream", member.c_str());
        return;
    }
    if (stream.GetTotalFrames() <= 0 || stream.GetChannels() != 1 || stream.GetSourceRate() != 22050)
        m_Findings.Add(where, "%s holds %lld frames, %d channels at %d Hz; the game plays mono 22050 Hz",
                       member.c_str(), static_cast<long long>(stream.GetTotalFrames()), stream.GetChannels(),
                       stream.GetSourceRate());
    stream.Unload();
}

}  // namespace contentcheck
