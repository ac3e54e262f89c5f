// What the core area asks of its owner: where files come from (the disk-file and memory-file
// factories, the resource paks and the switches that choose between them), the base of resource
// paths, and the process's random source. The application object implements it; tests use a
// small fake. Every core object that keeps its owner keeps an IFileHost*; a null host means "no
// game": no disk files, no paks.
//
// Threads: the factories may be called from any thread; the pak set is read and changed on the
// main thread only.
#pragma once

#include "core/CommonString.h"

class CBBZipFileReader;
class CMemoryFile;
class IFile;

// The pak readers resources are looked up in, owned by the host, and the switches that choose
// them. Memory files and pak-member files search common, resolution (unless single-pak), optional.
struct TPakSet {
    CBBZipFileReader* m_pCommonPak = nullptr;      // looked up first by memory files
    CBBZipFileReader* m_pResolutionPak = nullptr;  // opened only with the single-pak switch off
    CBBZipFileReader* m_pOptionalPak = nullptr;    // set by InitOptionalGamePack
    bool m_bSinglePak = true;                      // nothing turns it off: only the common pak is opened and searched
    bool m_bPakMode = true;                        // resources come from the paks
};

class IFileHost {
public:
    // A new, unopened disk file, or null when it cannot be made; the caller deletes it.
    virtual IFile* CreateFileObject() = 0;
    // A new, empty memory file, or null when it cannot be made; the caller deletes it.
    virtual CMemoryFile* CreateMemoryFileObject() = 0;
    // The pak readers and switches; the host keeps ownership of the readers.
    virtual TPakSet& Paks() = 0;
    // Base of all resource paths (empty: resource paths are relative).
    virtual CommonString GetModuleDirectory() = 0;
    // 0 when n < 2 (no random number is drawn), else a value in 0 .. n - 1 from the process's
    // generator, so a seeded run repeats.
    virtual int RandomValue(int n) = 0;

protected:
    // Hosts are never deleted through this interface.
    ~IFileHost() = default;
};
