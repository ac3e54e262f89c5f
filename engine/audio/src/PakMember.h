// Opens a member of the resource paks for the stream providers: an open IFile the caller owns,
// or null.
#pragma once

class CGameBase;
class IFile;

IFile* OpenPakMember(CGameBase* game, const char* name);
