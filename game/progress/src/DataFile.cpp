#include "game/progress/DataFile.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "app/GameBase.h"
#include "core/MemFile.h"

bool ReadPakDataFile(CGameBase* game, const CommonString& path, const std::function<bool(IFile*)>& read) {
    if (game == nullptr) return false;
    CMemoryFile* file = game->CreateMemoryFileObject();
    if (file == nullptr) return false;
    if (!file->Open(game, path.GetData(), FileMode::Read)) {
        delete file;
        return false;
    }
    const bool ok = read(file);
    file->Close();
    delete file;
    return ok;
}

int DataFileInt(const char* text) {
    if (text == nullptr) return 0;
    errno = 0;
    const long long wide = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || wide > INT_MAX) return wide < 0 ? INT_MIN : INT_MAX;
    if (wide < INT_MIN) return INT_MIN;
    return Parser::AToI(text);
}

bool RefuseDataFile(CommonString& failure, const char* member, const char* format, ...) {
    char text[256];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    failure = CommonString(member) + CommonString(": ") + CommonString(text);
    return false;
}
