// The recipe names of the image table.
#include "Recipes.h"

#include <algorithm>
#include <iterator>

namespace imagegen {

namespace {

struct TNamedRecipe {
    const char* name;
    TRecipeFn fn;
};

constexpr TNamedRecipe kRecipes[] = {
    {"pill", recipes::PillButton},
    {"icon_button", recipes::IconButton},
    {"close_disc", recipes::CloseDisc},
    {"badge", recipes::Badge},
    {"check_box", recipes::CheckBox},
    {"tab", recipes::Tab},
    {"plate", recipes::Plate},
    {"addcoins_button", recipes::AddCoinsButton},
    {"nine_patch", recipes::NinePatch},
    {"hz_line", recipes::HzLine},
    {"scroller_edge", recipes::ScrollerEdge},
    {"spoke", recipes::Spoke},
    {"track", recipes::Track},
    {"knob", recipes::Knob},
    {"load_bar", recipes::LoadBar},
    {"upgrade_bar", recipes::UpgradeBar},
    {"list_sel", recipes::ListSel},
    {"list_parchment", recipes::ListParchment},
    {"icon_frame", recipes::IconFrame},
    {"clear", recipes::Clear},
    {"focus_hole", recipes::FocusHole},
    {"locked_overlay", recipes::LockedOverlay},
    {"quest_frames", recipes::QuestFrames},
    {"quest_frame_result", recipes::QuestFrameResult},
    {"award_banner", recipes::AwardBanner},
    {"xp_shield", recipes::XpShield},
    {"xp_bar", recipes::XpBar},
    {"coin", recipes::CoinIcon},
    {"heart", recipes::HeartIcon},
    {"coin_pile", recipes::CoinPile},
    {"gem_star", recipes::GemStar},
    {"tick", recipes::TickIcon},
    {"arrow", recipes::ArrowIcon},
    {"right_arrow", recipes::RightArrow},
    {"yard_star", recipes::YardStar},
    {"padlock_anim", recipes::PadlockAnim},
    {"plus_disc", recipes::PlusDisc},
    {"question_mark", recipes::QuestionMark},
    {"small_medal", recipes::SmallMedal},
    {"marbles", recipes::MarbleIcon},
    {"award_icons", recipes::AwardIcons},
    {"medal", recipes::Medal},
    {"ach_plaque", recipes::AchievementPlaque},
    {"boost", recipes::BoostIcon},
    {"nest", recipes::Nest},
    {"iap_coins", recipes::IapCoins},
    {"iap_gems", recipes::IapGems},
    {"menu_background", recipes::MenuBackground},
    {"dialog_background", recipes::DialogBackground},
    {"menu_meadow", recipes::MenuMeadow},
    {"cloud", recipes::CloudImage},
    {"bush", recipes::BushImage},
    {"arena_thumbs", recipes::ArenaThumbs},
    {"yard_thumbs", recipes::YardThumbs},
    {"barn_emblem", recipes::BarnEmblem},
    {"logo", recipes::Logo},
    {"title", recipes::Title},
    {"lens_flare", recipes::LensFlare},
    {"sun_rays", recipes::SunRays},
    {"egg_pile", recipes::EggPile},
    {"hen", recipes::Hen},
    {"duck", recipes::Duck},
    {"straw_hat", recipes::StrawHat},
    {"bonnet", recipes::Bonnet},
    {"chick", recipes::Chick},
    {"egg_shell", recipes::EggShell},
    {"app_icon", recipes::AppIcon},
    {"shadow_ellipse", recipes::ShadowEllipse},
    {"glass_marble", recipes::GlassMarble},
    {"bomb_powerup", recipes::BombPowerup},
    {"eight_way_powerup", recipes::EightWayPowerup},
    {"color_bomb_powerup", recipes::ColorBombPowerup},
    {"spinning_coin", recipes::SpinningCoin},
    {"round_shape", recipes::RoundShape},
    {"tutorial_hand", recipes::TutorialHand},
    {"touch_ring", recipes::TouchRing},
    {"game_frame", recipes::GameFrame},
    {"arena_floor", recipes::ArenaFloor},
    {"ad_banner", recipes::AdBanner},
    {"particle", recipes::Particle},
    {"bird", recipes::BirdSheet},
    {"bird_icon", recipes::BirdIcon},
    {"robot", recipes::RobotView},
    {"mower", recipes::MowerView},
    {"machine_icon", recipes::MachineIcon},
    {"farm_object", recipes::FarmObject},
    {"yard_background", recipes::YardBackground},
    {"yard_sun", recipes::YardSun},
    {"selection_corners", recipes::SelectionCorners},
    {"red_circle", recipes::RedCircle},
    {"farm_bar", recipes::FarmBar},
    {"yard_board", recipes::YardBoard},
    {"selection_ring", recipes::SelectionRing},
    {"tap_ring", recipes::TapRing},
    {"photo_flare", recipes::PhotoFlare},
    {"dog_eyelid", recipes::DogEyelid},
    {"emotion_icon", recipes::EmotionIcon},
};

}  // namespace

TRecipeFn FindRecipe(std::string_view name) {
    const auto it =
        std::find_if(std::begin(kRecipes), std::end(kRecipes), [&](const TNamedRecipe& r) { return name == r.name; });
    return it == std::end(kRecipes) ? nullptr : it->fn;
}

}  // namespace imagegen
