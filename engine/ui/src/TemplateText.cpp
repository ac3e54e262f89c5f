// Colour and effect values as templates and the style table write them.
#include "TemplateText.h"

#include <memory>

#include "core/File.h"
#include "core/FileHost.h"
#include "core/MemFile.h"
#include "ui/UILayout.h"

namespace ui_text {

bool ReadColor(const Text& value, unsigned char& r, unsigned char& g, unsigned char& b) {
    Text parts[3];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 3, parts, count);
    if (count < 3) return false;
    r = static_cast<unsigned char>(IntOf(parts[0]));
    g = static_cast<unsigned char>(IntOf(parts[1]));
    b = static_cast<unsigned char>(IntOf(parts[2]));
    return true;
}

int ReadEffect(const Text& value, bool& given) {
    given = false;
    if (value.Length() == 1) {
        given = true;
        // A digit past the table would index the font's effect dispatch and the name table.
        return SanitizeTextEffect(IntOf(value));
    }
    const int known = WhichEffectName(Parser::ExtractName(value).GetData());
    if (known < 0) return 0;
    given = true;
    return known;
}

}  // namespace ui_text

namespace ui_text {

std::vector<char> ReadWholeFile(IFile* file) {
    std::vector<char> bytes;
    if (file == nullptr || file->Seek(0, FileSeek::Start) == 0) return bytes;
    const int size = file->GetSize();
    if (size <= 0) return bytes;
    bytes.resize(static_cast<std::size_t>(size));
    const int got = file->ReadData(bytes.data(), size);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

}  // namespace ui_text

namespace ui_text {

std::optional<std::vector<char>> ReadGameFile(IFileHost* game, const CommonString& path) {
    if (game == nullptr || path.Length() == 0) return std::nullopt;
    std::unique_ptr<CMemoryFile> file(game->CreateMemoryFileObject());
    if (!file || !file->Open(game, path.GetData(), FileMode::Read)) return std::nullopt;
    std::vector<char> bytes = ReadWholeFile(file.get());
    file->Close();
    return bytes;
}

}  // namespace ui_text
