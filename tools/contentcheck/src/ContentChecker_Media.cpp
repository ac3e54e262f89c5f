// Images, sprite sets, particle effects and sound effects, each loaded the way the game loads it.
#include <algorithm>
#include <memory>

#include "audio/SoundFX.h"
#include "contentcheck/ContentChecker.h"
#include "core/Parser.h"
#include "particles/ParticleSystem.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace contentcheck {
namespace {

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The image's size and colour type from a PNG's header; false when the bytes are no PNG.
bool PngHeader(const std::vector<std::uint8_t>& png, int& width, int& height, int& colourType) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 33 || !std::equal(kSignature, kSignature + 8, png.begin()) ||
        !std::equal(png.begin() + 12, png.begin() + 16, "IHDR"))
        return false;
    width = static_cast<int>(Be32(&png[16]));
    height = static_cast<int>(Be32(&png[20]));
    colourType = png[25];
    return true;
}

bool PngHasChunk(const std::vector<std::uint8_t>& png, const char* type) {
    for (std::size_t at = 8; at + 12 <= png.size();) {
        if (std::equal(png.begin() + at + 4, png.begin() + at + 8, type)) return true;
        at += 12 + Be32(&png[at]);
    }
    return false;
}

// The 1x PNG member ImageLoad falls back to for an image path below the images directory.
std::string PngMember(const std::string& pathBelowImages) {
    std::string base = pathBelowImages;
    for (const char* ext : {".png", ".jpg"})
        if (base.size() > 4 && base.compare(base.size() - 4, 4, ext) == 0) base.resize(base.size() - 4);
    return "i_vga\\" + base + ".png";
}

}  // namespace

bool CContentChecker::PngIsOpaque(const std::string& member, std::string& why) const {
    std::vector<std::uint8_t> png;
    int w = 0, h = 0, type = 0;
    if (!m_Pak.Read(member, png) || !PngHeader(png, w, h, type)) {
        why = member + " is not a PNG";
        return false;
    }
    // Colour types 4 and 6 carry alpha; a tRNS chunk gives the others a transparent colour.
    if (type == 4 || type == 6 || PngHasChunk(png, "tRNS")) {
        why = member + " has an alpha channel; opaque images are written as RGB";
        return false;
    }
    return true;
}

void CContentChecker::CheckImage(const std::string& where, const std::string& name, bool opaque) {
    std::unique_ptr<IDibBitmap> bitmap(ImageLoad(m_Pak.Game(), ("i_vga\\" + name).c_str(), nullptr));
    if (bitmap == nullptr) {
        m_Findings.Add(where, "ImageLoad finds no image i_vga\\%s (the 1x PNG is %s)", name.c_str(),
                       PngMember(name).c_str());
        return;
    }
    std::string why;
    if (opaque && (!PngIsOpaque(PngMember(name), why) || bitmap->GetAlphaBits() != nullptr))
        m_Findings.Add(where, "must be opaque: %s", why.empty() ? "the bitmap has an alpha plane" : why.c_str());
}

const CContentChecker::TSetInfo& CContentChecker::SetInfo(const std::string& name) {
    if (const auto it = m_SetCache.find(name); it != m_SetCache.end()) return it->second;
    TSetInfo& info = m_SetCache[name];
    CSpriteSet* set = m_Pak.Sprites()->GetSpriteSetNamed(name.c_str());
    if (set == nullptr) return info;
    info.declared = true;
    info.group = set->m_GroupName.Length() > 0 ? set->m_GroupName.GetDataConst() : "";
    if (set->AddReference() != 0) {
        info.loads = true;
        info.frames = set->GetNumFrames();
        for (int i = 0; i < info.frames; ++i) info.loads = info.loads && set->GetFrame(i) != nullptr;
        set->ReleaseReference();
    }
    const bool strip = set->m_nKind == kSpriteSetSingle || set->m_nKind == kSpriteSetSingleCommonAlpha;
    if (strip && set->m_File.Length() > 0 && set->m_b > 0) {
        std::vector<std::uint8_t> png;
        int w = 0, h = 0, type = 0;
        const std::string member = PngMember(set->m_File.GetDataConst());
        if (m_Pak.Read(member, png) && PngHeader(png, w, h, type)) {
            const int perRow = set->m_b;
            const int rows = (set->m_a + perRow - 1) / perRow;
            if (rows <= 0 || w % perRow != 0 || h % rows != 0)
                info.sheetFault = member + " is " + std::to_string(w) + " x " + std::to_string(h) + ", not " +
                                  std::to_string(perRow) + " x " + std::to_string(rows) + " whole frames";
        }
    }
    return info;
}

void CContentChecker::CheckSet(const std::string& where, const std::string& name, int minFrames,
                               const std::vector<std::string>& groups) {
    const TSetInfo& info = SetInfo(name);
    if (!info.declared) {
        m_Findings.Add(where, "no sprite description declares the set %s", name.c_str());
        return;
    }
    const std::string group = info.group.empty() ? "none" : info.group;
    if (!groups.empty() && std::find(groups.begin(), groups.end(), group) == groups.end())
        m_Findings.Add(where, "the set %s is in group %s, not %s", name.c_str(), group.c_str(), groups[0].c_str());
    if (!info.loads) {
        m_Findings.Add(where, "the set %s does not load (an image is missing or broken)", name.c_str());
        return;
    }
    if (info.frames < minFrames)
        m_Findings.Add(where, "the set %s has %d frames; it needs %d", name.c_str(), info.frames, minFrames);
    if (!info.sheetFault.empty()) m_Findings.Add(where, "the set %s: %s", name.c_str(), info.sheetFault.c_str());
}

void CContentChecker::CheckEffect(const std::string& where, const std::string& member) {
    const std::string text = m_Pak.ReadText(member);
    if (!m_Pak.Has(member)) {
        m_Findings.Add(where, "the pak has no effect file %s", member.c_str());
        return;
    }
    TParseInput input;
    input.bytes = text.data();
    input.size = static_cast<int>(text.size());
    input.name = member.c_str();
    CommonStringRS<50> line, key, value;
    int sprites = 0, perRow = 0;
    std::string strip;
    while (Parser::GetNextLine(input, line) != 0) {
        key = CommonStringRS<50>();
        value = CommonStringRS<50>();
        if (Parser::ReadPropertyFromString(line, key, value) == 0 || key.Length() == 0) continue;
        const std::string k = key.GetData();
        const int number = Parser::LineNumberAt(input, input.lineStart);
        if (std::find(m_EffectKeys.begin(), m_EffectKeys.end(), k) == m_EffectKeys.end())
            m_Findings.Add(member + ":" + std::to_string(number), "%s is no effect key; the game ignores it",
                           k.c_str());
        const int n = Parser::AToI(value.GetData());
        if (k == "ParticleNumSprites") sprites = n;
        if (k == "ParticleNumSpritesPerRow") perRow = n;
        if (k == "ParticleSprites" && Parser::ExtractName(value).Length() > 0)
            strip = Parser::ExtractName(value).GetData();
        if (k == "MaxParticles" && (n < 1 || n > 10000))
            m_Findings.Add(member + ":" + std::to_string(number), "MaxParticles %d is outside 1..10000", n);
    }
    // The shared particle storage cuts strips into a / b rows, so only one row is cut right.
    if (sprites != perRow)
        m_Findings.Add(where, "%s: ParticleNumSprites %d and ParticleNumSpritesPerRow %d differ; strips are one row",
                       member.c_str(), sprites, perRow);
    if (!strip.empty() && sprites > 0) {
        std::vector<std::uint8_t> png;
        int w = 0, h = 0, type = 0;
        if (m_Pak.Read(PngMember(strip), png) && PngHeader(png, w, h, type) && w % sprites != 0)
            m_Findings.Add(where, "the strip %s is %d wide, not %d whole frames", strip.c_str(), w, sprites);
    }
    CQuorvanParticleSystem2 system(m_Pak.Game(), nullptr);
    (void)system.DefineFile(member.c_str());
    if (system.InitFromFile() == 0)
        m_Findings.Add(where, "the particle system cannot be set up from %s (its strip %s does not load)",
                       member.c_str(), strip.c_str());
}

void CContentChecker::CheckWav(const std::string& where, const std::string& member) {
    if (const auto it = m_WavCache.find(member); it != m_WavCache.end()) {
        if (!it->second) m_Findings.Add(where, "%s does not load (see its first finding)", member.c_str());
        return;
    }
    bool& ok = m_WavCache[member];
    std::vector<std::uint8_t> bytes;
    if (!m_Pak.Read(member, bytes)) {
        m_Findings.Add(where, "the pak has no sound %s", member.c_str());
        return;
    }
    TWavLayout layout;
    if (!ParseWavLayout(bytes.data(), bytes.size(), &layout)) {
        m_Findings.Add(where, "%s is not a RIFF WAVE with \"fmt \" first and \"data\" after it", member.c_str());
        return;
    }
    if (layout.formatTag != 1 || layout.channels != 1 || layout.bits != 16 || layout.rate != 22050) {
        m_Findings.Add(where,
                       "%s is format %d, %d channels, %d bits at %d Hz; the game's sounds are PCM mono 16 bits "
                       "at 22050 Hz",
                       member.c_str(), layout.formatTag, layout.channels, layout.bits, layout.rate);
        return;
    }
    SoundFX effect;
    if (!effect.load(bytes.data(), bytes.size()) || effect.length() == 0) {
        m_Findings.Add(where, "%s holds no samples", member.c_str());
        return;
    }
    ok = true;
}

}  // namespace contentcheck
