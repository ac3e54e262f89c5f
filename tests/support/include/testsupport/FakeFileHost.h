#pragma once
// The file host of the core tests and of every fake host above it: disk files and memory files as
// the game makes them, the pak readers a test installs (deleted with the host, as the game deletes
// its own), a module directory the test sets, and the C generator behind RandomValue.

#include <string>

#include "core/FileHost.h"

class CFakeFileHost : public virtual IFileHost {
public:
    CFakeFileHost() = default;
    CFakeFileHost(const CFakeFileHost&) = delete;
    CFakeFileHost& operator=(const CFakeFileHost&) = delete;
    // Deletes the three pak readers.
    virtual ~CFakeFileHost();

    IFile* CreateFileObject() override;
    CMemoryFile* CreateMemoryFileObject() override;
    TPakSet& Paks() override { return m_Paks; }
    CommonString GetModuleDirectory() override { return CommonString(m_ModuleDir.c_str()); }
    // 0 when n < 2, else rand() % n: seeding the C generator repeats a run.
    int RandomValue(int n) override;
    // Seeds the C generator, as the game's hook of the same name does.
    void SeedRandoms(unsigned int seed);

    TPakSet m_Paks;
    std::string m_ModuleDir;  // empty: resource paths are relative
};
