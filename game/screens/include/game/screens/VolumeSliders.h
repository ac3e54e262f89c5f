#pragma once
// The two volume sliders of the start menu's options and of the round's sound panel
// ("tuner_music", "tuner_sound"), with the texts beside them ("txt_music_volume",
// "txt_sound_volume"). The music follows its slider while it moves and only keeps the value when
// the slider is let go; the effects change when their slider is let go, with one tick of
// "Shop_SellItem" to hear them by. Main thread only.

class CGameBase;
class XWidget;

// Frames between two ticks of the effects slider.
inline constexpr int kVolumeTickCooldownFrames = 16;

// A slider message (602 set, 603 changing) of one of the two sliders under dialog: the volume,
// held to 0 .. 100, goes into the player data and to the sound system as above, and its text
// shows it ("85%"). The tick plays when the effects' value changed and tickCooldown is 0, which
// then becomes 16 (the screen counts it down a frame at a time). False for any other id.
bool ApplyVolumeSlider(CGameBase* game, XWidget* dialog, int code, const char* id, int value, int& tickCooldown);
// Sets both sliders and their texts to the stored volumes and hides the music notes
// ("txt_music_desc", "txt_music_desc2") when the dialog has them.
void ShowStoredVolumes(CGameBase* game, XWidget* dialog);
