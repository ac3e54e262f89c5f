// CGameBase's disk-file factory: the one place that names the concrete disk file class.
#include <new>

#include "app/GameBase.h"
#include "core/iPhoneFile.h"

// Null when memory is short; callers treat that as "no file" rather than catching.
IFile* CGameBase::CreateFileObject() { return new (std::nothrow) CiPhoneFile(); }
