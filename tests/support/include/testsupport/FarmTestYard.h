#pragma once
// A small yard for the farm objects' suites and fuzz target: a pak of little plain sheets for the
// creatures' views, the decor, the photo flare, the dog's eyelids and the emotion icons, the
// effect files the objects and the game's creature effects read, an object file naming one
// object of every class (and some of each decor look), and the game's managers around them.
// MountFarmTestYard sets a game object up with it (the real one or the farm stand-in of
// FakeFarmGame.h); nothing here uses GoogleTest.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/SoundManager.h"
#include "core/FileHost.h"
#include "core/Parser.h"
#include "core/ZipFile.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "pakwriter/PakWriter.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/ImageRotatorScaler.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/ImageFixtures.h"

namespace farmyard {

using Bytes = std::vector<std::uint8_t>;
using Members = std::vector<std::pair<std::string, Bytes>>;

// Frame sizes of the sheets, in pixels as drawn.
inline constexpr int kBirdW = 20, kBirdH = 24;
inline constexpr int kRobotW = 28, kRobotH = 28;
inline constexpr int kMowerW = 32, kMowerH = 28;
inline constexpr int kBoxW = 40, kBoxH = 30;
inline constexpr int kTallW = 20, kTallH = 60;
inline constexpr int kEyeW = 12, kEyeH = 6;
inline constexpr int kIconSize = 8;
inline constexpr int kWindmillFrames = 7;

// The yard every object of the suites belongs to, and one more that sells a bench.
inline constexpr const char* kYardId = "farm_test";
inline constexpr const char* kOtherYardId = "other_yard";

// A sheet of `frames` frames of w x h in one row, each frame a plain colour of its own (its
// index in the red channel) with a transparent column on its left.
inline Bytes Sheet(int w, int h, int frames) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * frames * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * frames; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * w * frames + x) * 4];
            p[0] = static_cast<std::uint8_t>(40 + 10 * (x / w));
            p[1] = 160;
            p[2] = 90;
            p[3] = x % w == 0 ? 0 : 255;
        }
    return MakePng(w * frames, h, rgba, 6 /* PNG_COLOR_TYPE_RGB_ALPHA */);
}

// An effect that emits only when told to, from a 4-pixel dot.
inline Bytes Effect(int maxParticles) {
    const std::string text =
        "ParticleSprites = farmtest\\dot\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n"
        "EmissionSpeed = 0\nParticleLifeMin = 2\nParticleLifeMax = 2\nRandomPos = 0\n"
        "MaxParticles = " +
        std::to_string(maxParticles) + "\n";
    return Bytes(text.begin(), text.end());
}

inline Members PakMembers() {
    Members m;
    const auto sheet = [&m](const std::string& name, int w, int h, int frames) {
        m.emplace_back("i_vga\\farmtest\\" + name + ".png", Sheet(w, h, frames));
    };
    sheet("bird", kBirdW, kBirdH, 8);
    sheet("bird22", kBirdW, kBirdH, 22);
    sheet("robot", kRobotW, kRobotH, 1);
    sheet("mower", kMowerW, kMowerH, 4);
    sheet("box", kBoxW, kBoxH, 1);
    sheet("tall", kTallW, kTallH, 1);
    sheet("windmill", 16, 16, kWindmillFrames);
    sheet("flare", 8, 8, 1);
    sheet("eye", kEyeW, kEyeH, 4);
    sheet("icon6", kIconSize, kIconSize, 6);
    sheet("icon8", kIconSize, kIconSize, 8);
    sheet("icon1", kIconSize, kIconSize, 1);
    sheet("corner", 4, 4, 4);
    sheet("dot", 4, 4, 1);
    for (const char* name : {"test_fx", "lawnmower", "chicken_jump", "emo_love", "robot_heal"})
        m.emplace_back(std::string("Effects\\") + name + ".pfd", Effect(200));
    return m;
}

// Sets of the creatures (no group) and of the farm, cut from the sheets above.
inline std::string SpriteDescription() {
    std::string d;
    const auto set = [&d](const std::string& name, const std::string& file, int frames, bool farm = false) {
        d += "set = " + name + "\n file = \"farmtest\\" + file + "\", " + std::to_string(frames) + ", " +
             std::to_string(frames) + (farm ? "\n group = farm" : "") + "\nend\n";
    };
    for (const char* view : {"_L", "_T", "_B", "_LT", "_LB"}) {
        set(std::string("Chicken1") + view, "bird", 8);
        set(std::string("Chicken2") + view, "bird", 8);
        set(std::string("Chicken13") + view, "bird22", 22);
    }
    for (const char* view : {"_left", "_up", "_down", "_left_up", "_left_down", "_right_up", "_right_down"})
        set(std::string("robot") + view, "robot", 1);
    for (const char* view : {"_left", "_up", "_down", "_left_up", "_left_down"})
        set(std::string("lawnmower") + view, "mower", 4);
    set("t_box", "box", 1);
    set("t_tall", "tall", 1);
    set("t_windmill", "windmill", kWindmillFrames);
    set("PhotoFlare", "flare", 1, true);
    for (const char* eye : {"dog_lefteye_close", "dog_righteye_close", "dog2_lefteye_close", "dog2_righteye_close"})
        set(eye, "eye", 4, true);
    set("icons_eat", "icon6", 6, true);
    set("icons_drink", "icon6", 6, true);
    set("icons_heat", "icon8", 8, true);
    set("icons_smile", "icon1", 1, true);
    set("icons_music", "icon1", 1, true);
    set("icons_question", "icon6", 6, true);
    set("FarmDecorSelection", "corner", 4, true);
    return d;
}

// One object of every class, and decor of every look: spots of several types (the feeder has
// four points), wind, balloon and jumper squash, an animation, a particle effect, a shadow
// angle, a fixed object and a default one.
inline constexpr const char* kObjectFile = R"(decor = yard_bg
    default = 1
    sprite = t_box
end
bird = bird1
    flag = movable
    price = 30
end
bird = bird2
    flag = movable
    price = 15
end
bird = bird13
    flag = movable
    price = 99
end
bird = bird7
    flag = movable
end
comfort = robot
    flag = movable
end
comfort = lawn_mower
    flag = movable
end
comfort = feeder
    sprite = t_box
    flag = movable
    spot = eat
    spot_point = -16, 4
    spot_point = 16, 4
    spot_point = 0, 12
    spot_point = 8, -4
    spot_look = 0, -10
end
comfort = trough
    sprite = t_box
    flag = movable
    spot = drink
    spot_point = -20, 4
    spot_point = 20, 6
    spot_look = 4, -8
end
comfort = hay
    sprite = t_box
    flag = movable
    spot = jumping
    spot_point = 0, 6
    moves_on_wind = 1
    obj_is_jumper = 1
end
comfort = fountain
    sprite = t_box
    flag = movable
    spot = drink
    spot_point = -10, 4
    effects_name = test_fx
    effects_center = 12, 6
    effects_shape = 4, 6, 20, 2, 30, 10
end
comfort = sparks
    sprite = t_box
    flag = movable
    effects_name = test_fx
    effects_center = 20, 15
    effects_shape_seg = 10, 5, 30, 25
    effects_particles_per_frame = 0.4
end
decor = balloon
    sprite = t_tall
    flag = movable
    moves_on_wind = 1
    obj_is_baloon = 1
    moves_on_wind_counter = 0.02
end
decor = bush
    sprite = t_box
    flag = movable
    moves_on_wind = 1
end
decor = windmill
    sprite = t_windmill
    flag = movable
    anim_speed = 8.25
end
decor = lamp
    sprite = t_tall
    flag = movable
    obj_shadow_angle = 30
    obj_shadow_angle_horz_shift = 10
    shadow_offset = 0.5
    spot = question
    spot_point = 14, 2
    spot_look = -6, -50
end
decor = fixed
    sprite = t_box
end
decor = photostand01
    sprite = t_tall
    flag = movable
    spot = picture
    spot_point = -4, -6
    face_offset = -6, -40
end
decor = photostand02
    sprite = t_tall
    flag = movable
    spot = picture
    spot_point = 4, -6
    face_offset = 6, -44
end
decor = doghouse
    sprite = t_box
    flag = movable
end
decor = doghouse2
    sprite = t_box
    flag = movable
end
decor = radio
    sprite = t_box
    flag = movable
    spot = music
    spot_point = 0, 8
end
decor = no_sprite
    sprite = t_missing
    flag = movable
end
decor = lost_effect
    sprite = t_box
    flag = movable
    effects_name = missing_fx
    effects_shape = 0, 0, 4, 4
end
)";

inline constexpr const char* kOtherObjectFile = "decor = bench\n    sprite = t_box\n    flag = movable\nend\n";

// bird1 has two of several lists; bird2 eats only.
inline constexpr const char* kBirdSounds = R"(bird = bird1
    eat = eat_a.wav
    eat = eat_b.wav
    drink = drink.wav
    question = what.wav
    tap = tap_a.wav
    tap = tap_b.wav
    tap_spin = spin.wav
end
bird = bird2
    eat = peep.wav
end
)";

// The game effects the creatures emit, with their names in the game's particle manager.
inline constexpr std::pair<const char*, const char*> kGameEffects[] = {
    {"ChickenJump", "Effects\\chicken_jump.pfd"},
    {"EmoLove", "Effects\\emo_love.pfd"},
    {"RobotHeal", "Effects\\robot_heal.pfd"},
};

inline bool ReadFarm(CFarmManager& farm) {
    for (const auto& [id, text] : {std::pair<const char*, const char*>{kYardId, kObjectFile},
                                   std::pair<const char*, const char*>{kOtherYardId, kOtherObjectFile}}) {
        auto* yard = new YardDef;
        yard->id = id;
        if (!farm.m_Yards.Add(yard)) {
            delete yard;
            return false;
        }
        farm.m_pYardBeingRead = yard;
        TParseInput input = ParseInputOf({text, std::char_traits<char>::length(text)}, id);
        const bool read = farm.ReadObjectDefsFromInput(input);
        farm.m_pYardBeingRead = nullptr;
        if (!read) return false;
    }
    return true;
}

// Mounts the yard on a game object that has run no start-up: the pak written to pakPath as its
// common pak, a w x h software back buffer, a rotator (its draws going to `path` when one is
// given), the sprite sets, the particle manager with the creatures' effects loaded, the farm
// with both yards, a current profile in the test yard, and the bird sounds (their sound
// manager only when the game has a sound system). False at the first step that fails.
template <class Game>
bool MountFarmTestYard(Game& game, const std::string& pakPath, int w, int h, IRotatorHardwarePath* path = nullptr) {
    std::vector<pakwriter::TPakMember> list;
    for (const auto& [name, data] : PakMembers()) {
        pakwriter::TPakMember member;
        member.name = name;
        member.data = data;
        list.push_back(member);
    }
    if (!pakwriter::WriteBytesToFile(pakPath, pakwriter::BuildPak(list))) return false;
    TPakSet& paks = game.Paks();
    delete paks.m_pCommonPak;
    paks.m_pCommonPak = new CBBZipFileReader(&game);
    if (paks.m_pCommonPak->Init(pakPath.c_str()) != ZipResult::Ok) return false;

    game.m_Screen.m_nOrientationMode = 0;
    game.m_Screen.m_nOrientationAngle = 0;
    auto* screen = new CWinDibBitmap(&game);
    if (screen->Create(w, h) != 1) {
        delete screen;
        return false;
    }
    delete game.m_Screen.m_pBackBuffer;
    game.m_Screen.m_pBackBuffer = game.m_Screen.m_pDrawTarget = screen;
    game.m_nGameWidth = w;
    game.m_nGameHeight = h;

    game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 36000);
    if (game.m_pRotatorScaler->Initialize() != 1) return false;
    if (path != nullptr) game.m_pRotatorScaler->SetHardwarePath(path);
    game.m_pSpriteSetManager = new CSpriteSetManager(&game, 40);
    const std::string sets = SpriteDescription();
    if (AddSpriteSetsFromBytes(game.m_pSpriteSetManager, &game, {sets.data(), sets.size()}, "farmtest.txt") != 1)
        return false;
    // The farm group is loaded, as the group loader leaves it before a yard opens.
    for (int i = 0; i < game.m_pSpriteSetManager->GetNumSpriteSets(); ++i) {
        CSpriteSet* set = game.m_pSpriteSetManager->GetSpriteSetAt(i);
        if (set->m_GroupName.IsEqual("farm") && set->AddReference() != 1) return false;
    }
    game.m_pParticleManager = new CQuorvanParticleSystemManager2(&game, game.m_pRotatorScaler, 20);
    for (const auto& [name, file] : kGameEffects) {
        if (!game.m_pParticleManager->AddParticleSystemDefenition(name, file)) return false;
        CQuorvanParticleSystem2* system = game.m_pParticleManager->GetParticleSystemNamed(name);
        if (system == nullptr || !system->InitFromFile()) return false;
    }

    game.m_pFarmManager = new CFarmManager(&game);
    if (!ReadFarm(*game.m_pFarmManager)) return false;
    if (!game.CreateApplicationData() || game.GetAppData()->AddUserProfile() < 0) return false;
    CurrentProfileOf(&game)->m_CurrentYard = CommonString(kYardId);

    game.m_pBirdSoundsManager = new CBirdSoundsManager(&game);
    TParseInput sounds = ParseInputOf({kBirdSounds, std::char_traits<char>::length(kBirdSounds)}, "bird_sounds.txt");
    if (game.m_pBirdSoundsManager->ReadDataFromInput(sounds) != 1) return false;
    game.m_pBirdSoundsManager->m_FilePrefix = CommonString("Birds\\");
    if (game.m_pSoundSystem != nullptr) {
        game.m_pSoundManager = new CSoundManager(&game);
        if (game.m_pBirdSoundsManager->AddBirdSoundsToSoundManager() != 1) return false;
        for (int i = 0; i < game.m_pBirdSoundsManager->GetNumSoundIds(); ++i)
            if (!game.m_pSoundManager->AddReference(game.m_pBirdSoundsManager->GetSoundId(i))) return false;
    }
    return true;
}

}  // namespace farmyard
