// The sprite-set description files: blocks opened by a `set` line and closed by "end", read
// into the game's CSpriteSetManager. Reading only defines sets; nothing is loaded.
#include <cstdio>
#include <memory>

#include "core/MemFile.h"
#include "core/Parser.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

using TText = CommonStringRS<50>;

// The block being read.
struct CSpriteSetSettingsParams {
    CommonString name;
    int kind = kSpriteSetSingle;
    CommonString file;
    CommonString afile;
    CommonString group;
    int a = 1;
    int b = 1;
    int c = 0;
    bool removeRgbaIn3d = false;
    bool force8888 = false;
    bool forceAtlas = false;
    bool skipAuto = false;
    bool willUseFillAlpha = false;
    CommonString atlasData;
    CommonString atlasTexture;
    CommonString atlasPattern;
    int firstItem = 0;
    int itemCount = 0;
};

void ResetSpriteSetUtilityParams(CSpriteSetSettingsParams& p) { p = CSpriteSetSettingsParams(); }

CommonString Unquoted(const TText& text) { return CommonString(Parser::ExtractName(text).GetData()); }

int KindOf(const TText& word) {
    if (word == "multi") {
        return kSpriteSetMulti;
    }
    if (word == "multi_optional") {
        return kSpriteSetMultiOptional;
    }
    if (word == "common_alpha") {
        return kSpriteSetSingleCommonAlpha;
    }
    return kSpriteSetSingle;
}

// `file` and `afile`: a name, then the frame count, then the first index (Multi kinds) or the
// frames per row (Single kinds, which default to one row).
void ReadFileLine(CSpriteSetSettingsParams& p, const TText& value, CommonString& target) {
    TText parts[3];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 3, parts, count);
    if (count < 1) {
        return;
    }
    target = Unquoted(parts[0]);
    if (count < 2) {
        return;
    }
    p.a = Parser::AToI(parts[1].GetData());
    const bool multi = p.kind == kSpriteSetMulti || p.kind == kSpriteSetMultiOptional;
    if (multi) {
        if (count >= 3) {
            p.c = Parser::AToI(parts[2].GetData());
        }
    } else {
        p.b = count >= 3 ? Parser::AToI(parts[2].GetData()) : p.a;
    }
}

// A flag written alone, or as `flag = n` (set when n >= 1).
bool ReadFlag(const TText& name, const TText& value, const char* flag, bool& target) {
    if (name.Length() == 0 && value == flag) {
        target = true;
        return true;
    }
    if (name == flag) {
        target = Parser::AToI(value.GetData()) >= 1;
        return true;
    }
    return false;
}

int AddBlock(CSpriteSetManager& manager, CSpriteSetSettingsParams& p) {
    if (p.kind == kSpriteSetSingle && p.a == 1 && p.b == 1) {
        // One image by its name: a Multi set of one, whose name has no %d to expand.
        p.kind = kSpriteSetMulti;
        p.a = 1;
        p.c = 1;
    }
    int added = 0;
    switch (p.kind) {
        case kSpriteSetMulti:
            added = manager.AddSpriteSetMulti(p.name, p.file, p.afile, p.a, p.c, p.removeRgbaIn3d, p.force8888);
            break;
        case kSpriteSetMultiOptional:
            added = manager.AddSpriteSetMultiOptional(p.name, p.file, p.afile, p.a, p.c, p.removeRgbaIn3d, p.force8888);
            break;
        case kSpriteSetSingleCommonAlpha:
            added =
                manager.AddSpriteSetSingleCommonAlpha(p.name, p.file, p.afile, p.a, p.b, p.removeRgbaIn3d, p.force8888);
            break;
        default:
            added = manager.AddSpriteSetSingle(p.name, p.file, p.afile, p.a, p.b, p.removeRgbaIn3d, p.force8888);
            break;
    }
    if (added == 0) {
        return 0;
    }
    CSpriteSet* set = manager.GetLastSpriteSet();
    if (p.atlasData.Length() > 0) {
        set->DefineTextureAtlasDataFileName(p.atlasData);
    }
    if (p.atlasTexture.Length() > 0 && p.atlasPattern.Length() > 0) {
        set->DefineTextureAtlasSubSet(p.atlasTexture, p.atlasPattern, p.firstItem, p.itemCount);
    }
    if (p.forceAtlas) {
        set->m_force_atlas = 1;
    }
    if (p.skipAuto) {
        set->m_skip_auto = 1;
    }
    if (p.willUseFillAlpha) {
        set->m_will_use_fill_alpha = 1;
    }
    if (p.group.Length() > 0) {
        set->SetGroupName(p.group);
    }
    return 1;
}

// One line inside a block; 0 fails the whole read.
int ReadBlockLine(CSpriteSetSettingsParams& p, const TText& name, const TText& value, const char* fileName,
                  int lineNumber) {
    if (name == "file") {
        ReadFileLine(p, value, p.file);
    } else if (name == "afile") {
        ReadFileLine(p, value, p.afile);
    } else if (name == "group") {
        p.group = Unquoted(value);
    } else if (ReadFlag(name, value, "remove_rgba_in3d", p.removeRgbaIn3d) ||
               ReadFlag(name, value, "force_8888_texture", p.force8888) ||
               ReadFlag(name, value, "force_atlas", p.forceAtlas)) {
    } else if (name == "skip_auto") {
        p.skipAuto = true;
    } else if (name.Length() == 0 && value == "will_use_fill_alpha") {
        p.willUseFillAlpha = true;
    } else if (name == "atlas_data") {
        p.atlasData = Unquoted(value);
    } else if (name == "atlas_texture") {
        p.atlasTexture = Unquoted(value);
    } else if (name == "atlas_indexes") {
        TText parts[3];
        int count = 0;
        Parser::GetSubStringsArrayVar(value, 3, parts, count);
        if (count != 3) {
            std::fprintf(stderr, "sprites: %s:%d: atlas_indexes needs a pattern, a first index and a count\n", fileName,
                         lineNumber);
            return 0;
        }
        p.atlasPattern = Unquoted(parts[0]);
        p.firstItem = Parser::AToI(parts[1].GetData());
        p.itemCount = Parser::AToI(parts[2].GetData());
    }
    return 1;
}

}  // namespace

int AddSpriteSetsFromBytes(CSpriteSetManager* manager, ISpriteHost* game, std::span<const char> bytes, const char* name,
                           TSpriteFileReport* report) {
    (void)game;
    if (manager == nullptr) {
        return 0;
    }
    const char* fileName = name != nullptr ? name : "";
    TParseInput input = ParseInputOf(bytes, fileName);
    CSpriteSetSettingsParams params;
    bool inBlock = false;
    TText line, key, value;
    while (Parser::GetNextLine(input, line) != 0) {
        if (report != nullptr) ++report->dataLines;
        if (line == "end") {
            if (inBlock) {
                inBlock = false;
                if (AddBlock(*manager, params) == 0) {
                    std::fprintf(stderr, "sprites: %s:%d: set %s could not be added\n", fileName,
                                 Parser::LineNumberAt(input, input.lineStart),
                                 params.name.Length() > 0 ? params.name.GetDataConst() : "");
                    return 0;
                }
            }
            continue;
        }
        key = TText();
        value = TText();
        (void)Parser::ReadPropertyFromString(line, key, value);
        if (!inBlock) {
            if (!(key == "set")) {
                continue;
            }
            TText parts[2];
            int count = 0;
            Parser::GetSubStringsArrayVar(value, 2, parts, count);
            if (count < 1) {
                continue;
            }
            ResetSpriteSetUtilityParams(params);
            params.name = Unquoted(parts[0]);
            if (report != nullptr) ++report->setBlocks;
            params.kind = count >= 2 ? KindOf(parts[1]) : kSpriteSetSingle;
            inBlock = true;
            continue;
        }
        if (ReadBlockLine(params, key, value, fileName, Parser::LineNumberAt(input, input.lineStart)) == 0) {
            return 0;
        }
    }
    // A block still open at the end of the file is dropped; the report keeps its name.
    if (inBlock && report != nullptr) report->openAtEnd = params.name.Length() > 0 ? params.name : CommonString("?");
    return 1;
}

namespace {

// The whole file through the game's memory files; null when it cannot be opened.
std::unique_ptr<CMemoryFile> OpenDescription(ISpriteHost* game, const CommonString& fileName) {
    std::unique_ptr<CMemoryFile> file(game->CreateMemoryFileObject());
    if (file == nullptr || fileName.Length() == 0 || file->Open(game, fileName.GetDataConst(), FileMode::Read) == 0) {
        std::fprintf(stderr, "sprites: %s: cannot open\n",
                     fileName.Length() > 0 ? fileName.GetDataConst() : "(no name)");
        return nullptr;
    }
    (void)file->Seek(0, FileSeek::Start);
    return file;
}

std::span<const char> BytesOf(CMemoryFile& file) {
    const char* data = static_cast<const char*>(file.GetBuffer());
    const int size = file.GetSize();
    if (data == nullptr || size <= 0) {
        return {};
    }
    return {data, static_cast<std::size_t>(size)};
}

}  // namespace

int AddSpriteSetsFromFile(ISpriteHost* game, const CommonString& fileName) {
    CSpriteSetManager* manager = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    if (manager == nullptr) {
        return 0;
    }
    std::unique_ptr<CMemoryFile> file = OpenDescription(game, fileName);
    if (file == nullptr) {
        return 0;
    }
    TSpriteFileReport report;
    if (AddSpriteSetsFromBytes(manager, game, BytesOf(*file), fileName.GetDataConst(), &report) == 0) {
        return 0;
    }
    // What a whole description file never is: lines without a single set (garbage in the
    // member's place), or a block the file ends inside (a file cut short, its later sets lost).
    if (report.dataLines > 0 && report.setBlocks == 0) {
        std::fprintf(stderr, "sprites: %s is damaged: not a sprite-set description: none of its %d lines opens a set\n",
                     fileName.GetDataConst(), report.dataLines);
        return 0;
    }
    if (report.openAtEnd.Length() > 0) {
        std::fprintf(stderr,
                     "sprites: %s is damaged: the file ends inside the block of set %s (no \"end\"): it is cut short\n",
                     fileName.GetDataConst(), report.openAtEnd.GetDataConst());
        return 0;
    }
    return 1;
}

int DestroySpriteSetsFromFile(ISpriteHost* game, const CommonString& fileName) {
    CSpriteSetManager* manager = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    if (game == nullptr) {
        return 0;
    }
    std::unique_ptr<CMemoryFile> file = OpenDescription(game, fileName);
    if (file == nullptr) {
        return 0;
    }
    const std::span<const char> bytes = BytesOf(*file);
    TParseInput input = ParseInputOf(bytes, fileName.GetDataConst());
    TText line, key, value;
    while (Parser::GetNextLine(input, line) != 0) {
        key = TText();
        value = TText();
        (void)Parser::ReadPropertyFromString(line, key, value);
        if (!(key == "set") || manager == nullptr) {
            continue;
        }
        TText parts[2];
        int count = 0;
        Parser::GetSubStringsArrayVar(value, 2, parts, count);
        if (count >= 1) {
            manager->DeleteSpriteSet(Unquoted(parts[0]).GetDataConst());
        }
    }
    return 1;
}
