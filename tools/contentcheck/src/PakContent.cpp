#include "contentcheck/PakContent.h"

#include "core/ZipFile.h"
#include "sprites/SpriteSetManager.h"

namespace contentcheck {

CCheckGame::CCheckGame() {
    m_pSprites = new CSpriteSetManager(this, 40);
    // The game's own switches: 2x images searched first; bitmaps stored as seen.
    m_RenderSwitches.m_bDoubleResolution = true;
    m_Screen.m_nOrientationMode = 0;
    m_Screen.m_nOrientationAngle = 0;
}

CCheckGame::~CCheckGame() {
    delete m_pSprites;
    m_pSprites = nullptr;
    delete m_Paks.m_pCommonPak;
    m_Paks.m_pCommonPak = nullptr;
}

bool CCheckGame::Init(int w, int h) {
    m_nGameWidth = w;
    m_nGameHeight = h;
    return true;
}

CPakContent::CPakContent() : m_Game(std::make_unique<CCheckGame>()) {}

CPakContent::~CPakContent() = default;

bool CPakContent::Open(const std::string& path, std::string& error) {
    auto* reader = new CBBZipFileReader(m_Game.get());
    const int result = reader->Init(path.c_str());
    if (result != ZipResult::Ok) {
        delete reader;
        error = path + ": the engine's pak reader refuses it (result " + std::to_string(result) + ")";
        return false;
    }
    delete m_Game->Paks().m_pCommonPak;
    m_Game->Paks().m_pCommonPak = reader;
    m_Names.clear();
    long count = 0;
    if (reader->get_FilesCount(&count) == ZipResult::Ok) {
        for (long i = 0; i < count; ++i) {
            char name[kZipMaxNameLength + 1] = {};
            if (reader->get_FileName(static_cast<int>(i), name) == ZipResult::Ok) m_Names.emplace_back(name);
        }
    }
    return true;
}

int CPakContent::IndexOf(const std::string& member) const {
    CBBZipFileReader* reader = m_Game->Paks().m_pCommonPak;
    int index = -1;
    if (reader == nullptr || reader->IndexFromName(member.c_str(), &index) != ZipResult::Ok) return -1;
    return index;
}

bool CPakContent::Has(const std::string& member) const { return IndexOf(member) >= 0; }

int CPakContent::Method(const std::string& member) const {
    const int index = IndexOf(member);
    return index < 0 ? -1 : m_Game->Paks().m_pCommonPak->GetEntryMethod(index);
}

bool CPakContent::Read(const std::string& member, std::vector<std::uint8_t>& out) const {
    out.clear();
    const int index = IndexOf(member);
    long length = 0;
    if (index < 0 || m_Game->Paks().m_pCommonPak->get_FileLength(index, &length) != ZipResult::Ok) return false;
    out.resize(static_cast<std::size_t>(length));
    // ReadFile needs room to write into even for an empty member.
    if (out.empty()) return true;
    return m_Game->Paks().m_pCommonPak->ReadFile(index, out.data()) == ZipResult::Ok;
}

std::string CPakContent::ReadText(const std::string& member) const {
    std::vector<std::uint8_t> bytes;
    if (!Read(member, bytes)) return {};
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace contentcheck
