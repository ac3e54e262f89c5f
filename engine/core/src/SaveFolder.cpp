#include "SaveFolder.h"

#include <filesystem>
#include <system_error>

void CreateFolderFor(const char* path) {
    if (path == nullptr) return;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
}
