#pragma once
// Sprite sets: named, reference-counted lists of frame bitmaps that the drawing code of the game
// reaches by name (UI images, marbles, birds, farm objects, particle sprites, icons).
//
// A set is first only defined (where its images lie and how they are cut into frames); its
// images are loaded when the first reference is taken and freed when the last is released, so
// only the sets of the screen in use occupy memory. Sets are kept by CSpriteSetManager
// (sprites/SpriteSetManager.h), declared from description files, by image widgets and by the
// particle systems' sprite storage.
//
// Depends on: core (strings, arrays, memory files, parser) and render (bitmaps, image loaders,
// sprite-sheet cutting); its owner is reached through ISpriteHost (sprites/SpriteHost.h: bitmap
// factory, images directory, switches).
// Threads: main thread only; no locks. No build switches.

#include <cstdint>
#include <span>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class ISpriteHost;
class IDibBitmap;

// Kinds of a set; the numbers are those of the description files.
enum : int {
    kSpriteSetUndefined = 0,
    kSpriteSetSingle = 1,             // one strip image cut into a frames, b per row
    kSpriteSetMulti = 2,              // a images named by a pattern, indexes from b
    kSpriteSetMultiOptional = 3,      // as Multi, a missing image leaves its frame null
    kSpriteSetSingleCommonAlpha = 4,  // a strip plus one alpha image shared by every frame
};

// The most frames one set may have. The game's sets have a few dozen at most; a count above this
// comes from a damaged or hostile description, and the set fails (told on stderr with its name)
// before anything is allocated for its frames.
inline constexpr int kSpriteSetMaxFrames = 4096;

// The 31-bit PJW/ELF hash of a name over signed characters; 0 for null or "". The same value
// as GetHashCode.
[[nodiscard]] unsigned int CalculateSpriteSetNameHashCode(const char* name);

// Expands a file or item pattern with one index. The first "%d", "%Nd" or "%0Nd" (N at most 2
// digits) is replaced by the decimal index, padded to N; every other '%' is copied as it stands.
// Patterns come from data files, so they are never handed to printf, and the result has no
// length limit. A pattern without a conversion comes back unchanged.
[[nodiscard]] CommonString FormatSpritePattern(const char* pattern, int index);

// One named rectangle of an atlas image, read from an atlas data file.
class CSpriteSetTextureAtlasItem {
public:
    CommonString m_Name;
    int m_x = 0;
    int m_y = 0;
    int m_Width = 0;  // pixels of the atlas image
    int m_Height = 0;
    unsigned int m_uNameHash = 0;  // CalculateSpriteSetNameHashCode(m_Name)
};

class CSpriteSet {
public:
    CSpriteSet() = default;
    CSpriteSet(const CSpriteSet&) = delete;
    CSpriteSet& operator=(const CSpriteSet&) = delete;
    // DestroyData, then the atlas items.
    virtual ~CSpriteSet();

    // ---- Definition (loads nothing) ----------------------------------------------------------
    // Kind 1; a frames, b frames per row of the strip. With a null game only the game pointer
    // is stored.
    void DefineSpriteSetSingle(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a, int b);
    // Kind 2; a images, the pattern formatted with b, b + 1, ..., b + a - 1.
    void DefineSpriteSetMulti(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a, int b);
    // Kind 3; as Multi, but a frame whose image is missing is left null.
    void DefineSpriteSetMultiOptional(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a,
                                      int b);
    // Kind 4; as Single from file, plus afile as one alpha image shared by all frames.
    void DefineSpriteSetSingleCommonAlpha(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a,
                                          int b);
    // Names the atlas data file (relative to the images directory); non-empty sets has-atlas-data.
    void DefineTextureAtlasDataFileName(const CommonString& name);
    // Takes the frames from the atlas of the set named textureSet: items named by itemPattern
    // formatted with first .. first + count - 1. It is a sub-set when both names are non-empty
    // and count > 0.
    void DefineTextureAtlasSubSet(const CommonString& textureSet, const CommonString& itemPattern, int first,
                                  int count);
    void SetName(const CommonString& name);
    void SetGroupName(const CommonString& group);

    // ---- References ------------------------------------------------------------------------
    // Takes a reference; the first one loads the images. 1, or 0 when the set is undefined or
    // loading fails, the atlas data file included: then nothing stays loaded and no reference is
    // kept (a caller that sees 0 never releases).
    [[nodiscard]] int AddReference();
    // Gives one back; at 0 the loaded data is freed and the definition stays.
    void ReleaseReference();
    // Frees frames, frame coordinates, the common alpha, the forced-atlas source and the
    // reference on the atlas texture set; the reference count becomes 0.
    void DestroyData();

    // ---- Atlas data --------------------------------------------------------------------------
    // The first atlas item whose hash and name equal name; null for null or none.
    [[nodiscard]] CSpriteSetTextureAtlasItem* FindAtlasItem(const char* name);
    // Reads the atlas data file into the atlas items. 1 (also when the set names no file), or 0
    // when the file cannot be opened or memory runs out.
    [[nodiscard]] int ReadTextureAtlasItems();
    // The decoding half: replaces the atlas items by those in bytes (item count, then name, x,
    // y, width, height per item, one value a line). halve shifts every rectangle right by one bit
    // (items of the 2x image read outside double-resolution mode). 1, or 0 when memory runs out.
    [[nodiscard]] int ReadTextureAtlasItemsFromBytes(std::span<const char> bytes, const char* name, bool halve);

    // ---- Reading the frames ----------------------------------------------------------------
    int GetNumFrames() const { return m_nNumFrames; }
    // Frame i, or null when i is out of range, the set is unloaded or the frame is missing.
    IDibBitmap* GetFrame(int i) const;
    int GetRefCount() const { return m_nRefCount; }
    bool IsLoaded() const { return m_Frames != nullptr; }

    // ==== State (public: loader screens and the description reader read and set it) ===========
    ISpriteHost* m_pGame = nullptr;
    IDibBitmap** m_Frames = nullptr;  // new[] array of m_nNumFrames entries; null while unloaded
    int m_nNumFrames = 0;
    int m_nRefCount = 0;
    TCoord2D* m_FrameCoords = nullptr;     // new[]; filled by the strip cutter (Single kinds)
    IDibBitmap* m_pCommonAlpha = nullptr;  // SingleCommonAlpha only; owned
    CommonString m_Name;
    unsigned int m_uNameHash = 0;
    CommonString m_GroupName;
    unsigned int m_uGroupHash = 0;
    CommonString m_File;   // image file, or for the Multi kinds a pattern with one %d
    CommonString m_AFile;  // alpha image file or pattern; may be empty
    int m_a = 0;           // number of frames
    int m_b = 0;           // Single kinds: frames per row; Multi kinds: index of the first file
    int m_nKind = kSpriteSetUndefined;
    std::uint8_t m_remove_rgba_in3d = 0;
    std::uint8_t m_force_8888_texture = 0;
    std::uint8_t m_bHasAtlasData = 0;
    CommonString m_AtlasDataFile;
    CQuorvanObjPtrArray<CSpriteSetTextureAtlasItem*> m_AtlasItems;  // growth step 50
    std::uint8_t m_bIsAtlasSubSet = 0;
    CommonString m_AtlasTextureSet;
    CommonString m_AtlasItemPattern;
    int m_nFirstItem = 0;
    int m_nItemCount = 0;
    CSpriteSet* m_pForcedAtlasSource = nullptr;  // owned
    std::uint8_t m_force_atlas = 0;
    std::uint8_t m_skip_auto = 0;  // stored only
    std::uint8_t m_will_use_fill_alpha = 0;

private:
    void Define(int kind, ISpriteHost* game, const CommonString& file, const CommonString& afile, int a, int b);
    int LoadFirstReference();
    int LoadByKind();
    int LoadSingle();
    int LoadForcedAtlas();
    int LoadMulti(bool optional);
    int LoadSingleCommonAlpha();
    int LoadSpriteSetFromTextureAtlas(CSpriteSet* textureSet);
    // Frees whatever a failed loader made and gives its reference back; returns 0.
    int FailLoad();
    void AfterLoad();

    // Set while the first reference loads: sub-sets naming each other as texture sets (a broken
    // description file) would otherwise reference one another until the stack runs out.
    bool m_bLoading = false;
};
