// A built resource pak opened the way the game opens it: the engine's pak reader on a game object
// whose directories are the game's (images below "i_vga\", sounds below "Sound_BB\") and which,
// like the game, runs in double-resolution mode, so images are looked up by the same rules.
// Everything the checker loads goes through this object and the engine's readers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/GameBase.h"

class CSpriteSetManager;

namespace contentcheck {

// The smallest game object the engine's readers need: directories, a sprite-set manager, the
// software renderer, and no sound system.
class CCheckGame final : public CGameBase {
public:
    CCheckGame();
    ~CCheckGame() override;

    bool Init(int w, int h) override;
    void Pause() override {}
    bool CreateApplicationData() override { return false; }
    bool ReLoadFonts() override { return true; }
    CSpriteSetManager* GetSpriteSetManager() override { return m_pSprites; }
    CommonString GetImagesDirectory() override { return CommonString("i_vga\\"); }
    CommonString GetSoundsDirectory() override { return CommonString("Sound_BB\\"); }
    CommonString GetSaveDirectory() override { return CommonString(""); }
    CommonString GetCommonGamePackName() override { return CommonString("_game_bb.pak"); }
    CommonString GetResolutionSpecificGamePackName() override { return CommonString("_game.pak"); }

private:
    CSpriteSetManager* m_pSprites = nullptr;
};

class CPakContent {
public:
    CPakContent();
    ~CPakContent();
    CPakContent(const CPakContent&) = delete;
    CPakContent& operator=(const CPakContent&) = delete;

    // Opens the pak at `path` as the game's common pak; false (with `error` set) when the engine's
    // reader refuses it.
    [[nodiscard]] bool Open(const std::string& path, std::string& error);

    // Member names in pak order.
    const std::vector<std::string>& Names() const { return m_Names; }
    bool Has(const std::string& member) const;
    // The member's compression method (0 stored, 8 deflated), or -1 when absent.
    int Method(const std::string& member) const;
    // The member's bytes through the reader; false when absent or unreadable.
    [[nodiscard]] bool Read(const std::string& member, std::vector<std::uint8_t>& out) const;
    // The same as text; empty when absent.
    std::string ReadText(const std::string& member) const;

    CGameBase* Game() { return m_Game.get(); }
    CSpriteSetManager* Sprites() { return m_Game->GetSpriteSetManager(); }

private:
    int IndexOf(const std::string& member) const;

    std::unique_ptr<CCheckGame> m_Game;
    std::vector<std::string> m_Names;
};

}  // namespace contentcheck
