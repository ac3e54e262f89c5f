// CSpriteSet: the atlas data file, a text list of named rectangles of the set's image.
#include <cstddef>
#include <memory>
#include <new>

#include "SpriteImages.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"

int CSpriteSet::ReadTextureAtlasItems() {
    if (!m_bHasAtlasData || m_AtlasDataFile.Length() == 0 || m_pGame == nullptr) {
        return 1;
    }
    const CommonString path = m_pGame->GetImagesDirectory() + m_AtlasDataFile;
    std::unique_ptr<CMemoryFile> file(m_pGame->CreateMemoryFileObject());
    if (file == nullptr) {
        return 0;
    }
    bool items2x = false;
    if (m_pGame->RenderSwitches().m_bDoubleResolution) {
        IDibBitmap* image = GetFrame(0);
        if (image == nullptr) {
            return 0;
        }
        if (sprites_detail::Is2xImage(image)) {
            const CommonString twin = m_pGame->GetImagePathFor2XImage(path);
            if (twin.Length() == 0 || file->Open(m_pGame, twin.GetDataConst(), FileMode::Read) == 0) {
                return 0;
            }
            items2x = true;
        } else if (file->Open(m_pGame, path.GetDataConst(), FileMode::Read) == 0) {
            return 0;
        }
    } else if (file->Open(m_pGame, path.GetDataConst(), FileMode::Read) == 0) {
        const CommonString twin = m_pGame->GetImagePathFor2XImage(path);
        if (twin.Length() == 0 || file->Open(m_pGame, twin.GetDataConst(), FileMode::Read) == 0) {
            return 0;
        }
        items2x = true;
    }
    const int size = file->GetSize();
    const char* bytes = static_cast<const char*>(file->GetBuffer());
    const std::span<const char> view = bytes != nullptr && size > 0
                                           ? std::span<const char>(bytes, static_cast<std::size_t>(size))
                                           : std::span<const char>();
    return ReadTextureAtlasItemsFromBytes(view, path.GetDataConst(),
                                          items2x && !m_pGame->RenderSwitches().m_bDoubleResolution);
}

int CSpriteSet::ReadTextureAtlasItemsFromBytes(std::span<const char> bytes, const char* name, bool halve) {
    // A set loaded again reads its atlas again; the earlier items would only pile up.
    m_AtlasItems.RemoveAll();
    m_AtlasItems.growBy = 50;
    TParseInput input = ParseInputOf(bytes, name);
    CommonStringRS<50> line;
    if (Parser::GetNextLine(input, line) == 0) {
        return 1;
    }
    const int count = Parser::AToI(line.GetData());
    for (int i = 0; i < count; ++i) {
        CommonStringRS<50> fields[5];
        int got = 0;
        while (got < 5 && Parser::GetNextLine(input, fields[got]) != 0) {
            ++got;
        }
        if (got < 5) {
            break;  // the file ends inside an item: the items before it stand
        }
        auto* item = new (std::nothrow) CSpriteSetTextureAtlasItem();
        if (item == nullptr) {
            return 0;
        }
        item->m_Name = fields[0].GetData();
        item->m_uNameHash = CalculateSpriteSetNameHashCode(item->m_Name.GetDataConst());
        item->m_x = Parser::AToI(fields[1].GetData());
        item->m_y = Parser::AToI(fields[2].GetData());
        item->m_Width = Parser::AToI(fields[3].GetData());
        item->m_Height = Parser::AToI(fields[4].GetData());
        if (halve) {
            item->m_x >>= 1;
            item->m_y >>= 1;
            item->m_Width >>= 1;
            item->m_Height >>= 1;
        }
        if (m_AtlasItems.Add(item) == 0) {
            delete item;
            return 0;
        }
    }
    return 1;
}
