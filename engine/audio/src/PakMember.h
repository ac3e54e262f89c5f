// Opens a member of the resource paks for the stream providers: an open IFile the caller owns,
// or null.
#pragma once

class IFileHost;
class IFile;

IFile* OpenPakMember(IFileHost* game, const char* name);
