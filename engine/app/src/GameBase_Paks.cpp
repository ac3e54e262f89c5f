// The pak facet of the application object: the memory-file factory and the optional pak.
#include <new>

#include "app/GameBase.h"
#include "core/MemFile.h"
#include "core/ZipFile.h"

CMemoryFile* CGameBase::CreateMemoryFileObject() { return new (std::nothrow) CMemoryFile(); }

CBBZipFileReader* CGameBase::InitOptionalGamePack(CommonString path) {
    delete m_Paks.m_pOptionalPak;
    m_Paks.m_pOptionalPak = nullptr;
    auto* reader = new (std::nothrow) CBBZipFileReader(this);
    if (reader == nullptr) return nullptr;
    if (reader->Init(path.GetDataConst()) != ZipResult::Ok) {
        delete reader;
        return nullptr;
    }
    m_Paks.m_pOptionalPak = reader;
    return reader;
}
