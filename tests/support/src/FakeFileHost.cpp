#include "testsupport/FakeFileHost.h"

#include <cstdlib>
#include <new>

#include "core/MemFile.h"
#include "core/ZipFile.h"
#include "core/iPhoneFile.h"

CFakeFileHost::~CFakeFileHost() {
    delete m_Paks.m_pCommonPak;
    delete m_Paks.m_pResolutionPak;
    delete m_Paks.m_pOptionalPak;
}

IFile* CFakeFileHost::CreateFileObject() { return new (std::nothrow) CiPhoneFile(); }

CMemoryFile* CFakeFileHost::CreateMemoryFileObject() { return new (std::nothrow) CMemoryFile(); }

int CFakeFileHost::RandomValue(int n) { return n < 2 ? 0 : std::rand() % n; }

void CFakeFileHost::SeedRandoms(unsigned int seed) { std::srand(seed); }
