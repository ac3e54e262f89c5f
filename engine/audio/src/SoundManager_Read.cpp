// The effect table file: blocks of
//     sfx = NAME
//     file = path\below\the\sounds\directory.wav
//     end
// Keys are exact and case-sensitive; anything else is ignored.
#include <new>

#include "audio/SoundHost.h"
#include "audio/SoundManager.h"
#include "core/File.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "core/QuorvanUtils.h"
#include "core/SafeFormat.h"

bool CSoundManager::PostConstruct() {
    return ReadSfxFromFile(m_pGame->GetModuleDirectory() + CommonString("Data\\sfx.txt"));
}

bool CSoundManager::ReadSfxFromFile(CommonString path) {
    if (!m_pGame) return false;
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (!file) return false;
    if (!file->Open(m_pGame, path.GetData(), FileMode::Read)) {
        delete file;
        return false;
    }
    const bool ok = ReadSfxFromFile(static_cast<IFile*>(file));
    file->Close();
    delete file;
    return ok;
}

template <class Source>
bool CSoundManager::ReadSfxLines(Source& source) {
    m_openBlock = nullptr;
    m_cutBlock = CommonString();
    CommonStringRS<50> line;
    while (Parser::GetNextLine(source, line)) {
        if (!ReadSfxLine(line)) return false;
    }
    // The end of the input closes a block left open; CheckTable tells it.
    if (m_openBlock != nullptr) m_cutBlock = m_openBlock->name;
    m_openBlock = nullptr;
    return true;
}

bool CSoundManager::ReadSfxFromFile(IFile* file) {
    if (!file) return false;
    return ReadSfxLines(file);
}

bool CSoundManager::ReadSfxFromInput(TParseInput& input) { return ReadSfxLines(input); }

bool CSoundManager::ReadSfxLine(const CommonStringRS<50>& line) {
    if (line.IsEqual("end")) {
        m_openBlock = nullptr;
        return true;
    }
    CommonStringRS<50> key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;  // not a property line
    if (!m_openBlock) {
        if (!key.IsEqual("sfx")) return true;
        m_openBlock = AddSoundFX(CommonString(Parser::ExtractName(value).GetData()));
        return m_openBlock != nullptr;
    }
    if (key.IsEqual("file")) m_openBlock->file = CommonString(Parser::ExtractName(value).GetData());
    return true;
}

bool CSoundManager::CheckTable(CommonString& failure) const {
    constexpr const char* kMember = "Data\\sfx.txt";
    if (m_table.count < 1) {
        failure = SafeFormat(
            "%s is damaged: no effect (\"sfx = NAME\" up to \"end\"): the file is empty or not a sound table",
            {kMember});
        return false;
    }
    if (m_cutBlock.Length() > 0) {
        failure =
            SafeFormat("%s is damaged: the file ends inside the block of the effect %s (no \"end\"): it is cut short",
                       {kMember, m_cutBlock});
        return false;
    }
    for (int i = 0; i < m_table.count; ++i) {
        const SoundFXData* entry = m_table.data[i];
        if (entry->name.Length() > 0 && entry->file.Length() > 0) continue;
        failure = SafeFormat("%s is damaged: the effect %s (entry %d) has %s",
                             {kMember, entry->name, i + 1, entry->name.Length() > 0 ? "no file" : "no name"});
        return false;
    }
    return true;
}

SoundFXData* CSoundManager::AddSoundFX(CommonString name) {
    auto* entry = new (std::nothrow) SoundFXData;
    if (!entry) return nullptr;
    entry->name = name;
    entry->nameHash = name.Length() > 0 ? GetHashCode(name.GetData()) : 0;
    if (!m_table.Add(entry)) {
        delete entry;
        return nullptr;
    }
    return entry;
}
