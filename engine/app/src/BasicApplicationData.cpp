// The settings block: its defaults, its serializer part and its raw record (method 0).
#include "app/BasicApplicationData.h"

#include <cstring>
#include <vector>

#include "core/CommonString.h"
#include "core/File.h"
#include "core/Serializer.h"

namespace {

// The tag closing the settings part of the file.
constexpr const char* kBasicDataEndTag = "BasicDataEnd";

// Offsets of the raw settings record: the block as it lies in memory on the device, each bool
// in the first byte of a 4-byte slot.
constexpr int kRawSound = 4;
constexpr int kRawEffectsVolume = 8;
constexpr int kRawMusic = 12;
constexpr int kRawMusicVolume = 16;
constexpr int kRawSilence = 20;
constexpr int kRawCodes = 24;
constexpr int kRawFlags = kRawCodes + 4 * CBasicApplicationData::kControlCount;
constexpr int kRawOrientation = kRawFlags + CBasicApplicationData::kControlCount;
constexpr int kRawEnd = kRawOrientation + 4;
static_assert(kRawEnd + 4 == CBasicApplicationData::kRawSettingsBytes, "the raw record is 192 bytes");

void PutInt(unsigned char* at, int value) { std::memcpy(at, &value, 4); }
int GetInt(const unsigned char* at) {
    int value;
    std::memcpy(&value, at, 4);
    return value;
}

// Bytes from the derived block's "DRVS" through its "DRVE"; 0 when the bounds are unset or out
// of order.
long DerivedBlockBytes(const int* start, const int* end) {
    if (start == nullptr || end == nullptr || end < start) return 0;
    return static_cast<long>((end - start) + 1) * 4;
}

}  // namespace

int Convert4CharToInt(const char* text) {
    if (text == nullptr) return 0;
    unsigned int packed = 0;
    // Stops at the terminator of a shorter text, so nothing past it is read.
    for (int i = 0; i < 4 && text[i] != '\0'; ++i)
        packed |= static_cast<unsigned int>(static_cast<unsigned char>(text[i])) << (8 * i);
    return static_cast<int>(packed);
}

CBasicApplicationData::CBasicApplicationData()
    : m_nStartSignature(Convert4CharToInt("APPS")), m_nEndSignature(Convert4CharToInt("APPE")) {}

void CBasicApplicationData::SetDefaultControlsData() {
    for (int i = 1; i <= 5; ++i) m_ControlFlags[i] = false;
}

void CBasicApplicationData::SetDefaultApplicationData() {
    m_uBasicVersion = 1;
    m_bSoundOn = true;
    m_bMusicOn = true;
    m_nEffectsVolume = 50;
    m_nMusicVolume = 50;
    m_bSilence = false;
    m_nOrientationMode = 0;
    // Once directly and once through the virtual table, so a derived control layout gets its own
    // defaults on top of the base ones.
    CBasicApplicationData::SetDefaultControlsData();
    SetDefaultControlsData();
}

int CBasicApplicationData::Serialize(IFile* file, bool writing) {
    if (file == nullptr) return 0;
    if (writing) m_uBasicVersion = 1;
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_uBasicVersion);
    h.Serialize(m_bSoundOn);
    h.Serialize(m_nEffectsVolume);
    h.Serialize(m_bMusicOn);
    h.Serialize(m_nMusicVolume);
    h.Serialize(m_bSilence);
    h.Serialize(m_nOrientationMode);
    for (int i = 0; i < kControlCount; ++i) {
        h.Serialize(m_ControlCodes[i]);
        h.Serialize(m_ControlFlags[i]);
    }
    CommonString tag(kBasicDataEndTag);
    h.Serialize(tag);
    if (!writing && !tag.IsEqual(kBasicDataEndTag)) return 0;
    return h.Succeeded();
}

void CBasicApplicationData::RestoreDataSignatures() {
    m_nStartSignature = Convert4CharToInt("APPS");
    m_nEndSignature = Convert4CharToInt("APPE");
    if (DerivedBlockBytes(m_pDerivedBlockStart, m_pDerivedBlockEnd) > 0) {
        *m_pDerivedBlockStart = Convert4CharToInt("DRVS");
        *m_pDerivedBlockEnd = Convert4CharToInt("DRVE");
    }
}

int CBasicApplicationData::WriteAppData(IFile* file) {
    if (file == nullptr) return 0;
    unsigned char record[kRawSettingsBytes] = {};
    PutInt(record, m_nStartSignature);
    record[kRawSound] = m_bSoundOn ? 1 : 0;
    PutInt(record + kRawEffectsVolume, m_nEffectsVolume);
    record[kRawMusic] = m_bMusicOn ? 1 : 0;
    PutInt(record + kRawMusicVolume, m_nMusicVolume);
    record[kRawSilence] = m_bSilence ? 1 : 0;
    for (int i = 0; i < kControlCount; ++i) {
        PutInt(record + kRawCodes + 4 * i, m_ControlCodes[i]);
        record[kRawFlags + i] = m_ControlFlags[i] ? 1 : 0;
    }
    PutInt(record + kRawOrientation, m_nOrientationMode);
    PutInt(record + kRawEnd, m_nEndSignature);
    if (file->WriteData(record, kRawSettingsBytes) != kRawSettingsBytes) return 0;

    const long derived = DerivedBlockBytes(m_pDerivedBlockStart, m_pDerivedBlockEnd);
    if (derived == 0) return 1;
    return file->WriteData(m_pDerivedBlockStart, static_cast<int>(derived)) == derived ? 1 : 0;
}

int CBasicApplicationData::ReadAppData(IFile* file) {
    if (file == nullptr) return 0;
    unsigned char record[kRawSettingsBytes];
    const long derived = DerivedBlockBytes(m_pDerivedBlockStart, m_pDerivedBlockEnd);
    std::vector<unsigned char> block;
    // Both records are checked before anything is taken, so a damaged file changes nothing.
    bool ok = file->ReadData(record, kRawSettingsBytes) == kRawSettingsBytes &&
              GetInt(record) == Convert4CharToInt("APPS") && GetInt(record + kRawEnd) == Convert4CharToInt("APPE");
    if (ok && derived > 0) {
        block.resize(static_cast<std::size_t>(derived));
        ok = file->ReadData(block.data(), static_cast<int>(derived)) == derived &&
             GetInt(block.data()) == Convert4CharToInt("DRVS") &&
             GetInt(block.data() + derived - 4) == Convert4CharToInt("DRVE");
    }
    if (!ok) {
        RestoreDataSignatures();
        return 0;
    }
    m_bSoundOn = record[kRawSound] != 0;
    m_nEffectsVolume = GetInt(record + kRawEffectsVolume);
    m_bMusicOn = record[kRawMusic] != 0;
    m_nMusicVolume = GetInt(record + kRawMusicVolume);
    m_bSilence = record[kRawSilence] != 0;
    for (int i = 0; i < kControlCount; ++i) {
        m_ControlCodes[i] = GetInt(record + kRawCodes + 4 * i);
        m_ControlFlags[i] = record[kRawFlags + i] != 0;
    }
    m_nOrientationMode = GetInt(record + kRawOrientation);
    if (derived > 0) std::memcpy(m_pDerivedBlockStart, block.data(), static_cast<std::size_t>(derived));
    RestoreDataSignatures();
    return 1;
}
