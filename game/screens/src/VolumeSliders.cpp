#include "game/screens/VolumeSliders.h"

#include <algorithm>
#include <cstring>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/progress/ApplicationData.h"
#include "game/widgets/GameMessages.h"
#include "ui/Text.h"
#include "ui/Tuner.h"
#include "ui/XElement.h"

namespace {

void ShowVolume(XWidget* dialog, const char* id, int value) {
    if (auto* text = dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id)))
        text->SetCaption(SafeFormat("%d%%", {value}));
}

}  // namespace

bool ApplyVolumeSlider(CGameBase* game, XWidget* dialog, int code, const char* id, int value, int& tickCooldown) {
    const bool music = id != nullptr && std::strcmp(id, "tuner_music") == 0;
    const bool effects = id != nullptr && std::strcmp(id, "tuner_sound") == 0;
    if (!music && !effects) return false;
    CApplicationData* data = game != nullptr ? AppDataOf(game) : nullptr;
    if (data == nullptr || dialog == nullptr) return true;
    const int volume = std::clamp(value, 0, 100);
    if (music) {
        if (code == XMSG_TUNER_CHANGING)
            game->SetMusicVolume(volume);
        else
            data->m_nMusicVolume = volume;
        ShowVolume(dialog, "txt_music_volume", volume);
        return true;
    }
    if (code != XMSG_TUNER_SET) return true;
    const bool changed = data->m_nEffectsVolume != volume;
    game->SetVolume(volume);
    ShowVolume(dialog, "txt_sound_volume", volume);
    if (changed && tickCooldown == 0) {
        if (game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX("Shop_SellItem");
        tickCooldown = kVolumeTickCooldownFrames;
    }
    return true;
}

void ShowStoredVolumes(CGameBase* game, XWidget* dialog) {
    const CApplicationData* data = game != nullptr ? AppDataOf(game) : nullptr;
    if (data == nullptr || dialog == nullptr) return;
    struct TRow {
        const char* tuner;
        const char* text;
        int value;
    };
    const TRow rows[] = {{"tuner_music", "txt_music_volume", data->m_nMusicVolume},
                         {"tuner_sound", "txt_sound_volume", data->m_nEffectsVolume}};
    for (const TRow& row : rows) {
        if (auto* tuner = dynamic_cast<XTuner*>(dialog->FindChildWithWidgetId(row.tuner))) tuner->SetCurrent(row.value);
        ShowVolume(dialog, row.text, row.value);
    }
    for (const char* id : {"txt_music_desc", "txt_music_desc2"})
        if (XWidget* text = dialog->FindChildWithWidgetId(id)) text->Hide();
}
