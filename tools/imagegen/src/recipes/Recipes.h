// Every recipe of the generator; the table in Recipes.cpp names them for the image table.
#pragma once

#include "imagegen/Recipe.h"

namespace imagegen::recipes {

// Buttons (Recipes_Buttons.cpp).
void PillButton(CCanvas& c, const CRecipeContext& ctx);
void IconButton(CCanvas& c, const CRecipeContext& ctx);
void CloseDisc(CCanvas& c, const CRecipeContext& ctx);
void Badge(CCanvas& c, const CRecipeContext& ctx);
void CheckBox(CCanvas& c, const CRecipeContext& ctx);
void Tab(CCanvas& c, const CRecipeContext& ctx);
void Plate(CCanvas& c, const CRecipeContext& ctx);
void AddCoinsButton(CCanvas& c, const CRecipeContext& ctx);

// Widgets (Recipes_Widgets.cpp).
void NinePatch(CCanvas& c, const CRecipeContext& ctx);
void HzLine(CCanvas& c, const CRecipeContext& ctx);
void ScrollerEdge(CCanvas& c, const CRecipeContext& ctx);
void Spoke(CCanvas& c, const CRecipeContext& ctx);
void Track(CCanvas& c, const CRecipeContext& ctx);
void Knob(CCanvas& c, const CRecipeContext& ctx);
void LoadBar(CCanvas& c, const CRecipeContext& ctx);
void UpgradeBar(CCanvas& c, const CRecipeContext& ctx);
void ListSel(CCanvas& c, const CRecipeContext& ctx);
void ListParchment(CCanvas& c, const CRecipeContext& ctx);
void IconFrame(CCanvas& c, const CRecipeContext& ctx);
void Clear(CCanvas& c, const CRecipeContext& ctx);
void FocusHole(CCanvas& c, const CRecipeContext& ctx);
void LockedOverlay(CCanvas& c, const CRecipeContext& ctx);
void QuestFrames(CCanvas& c, const CRecipeContext& ctx);
void QuestFrameResult(CCanvas& c, const CRecipeContext& ctx);
void AwardBanner(CCanvas& c, const CRecipeContext& ctx);

// The experience meter (Recipes_Meter.cpp).
void XpShield(CCanvas& c, const CRecipeContext& ctx);
void XpBar(CCanvas& c, const CRecipeContext& ctx);

// Icons (Recipes_Icons.cpp).
void CoinIcon(CCanvas& c, const CRecipeContext& ctx);
void HeartIcon(CCanvas& c, const CRecipeContext& ctx);
void CoinPile(CCanvas& c, const CRecipeContext& ctx);
void GemStar(CCanvas& c, const CRecipeContext& ctx);
void TickIcon(CCanvas& c, const CRecipeContext& ctx);
void ArrowIcon(CCanvas& c, const CRecipeContext& ctx);
void RightArrow(CCanvas& c, const CRecipeContext& ctx);
void YardStar(CCanvas& c, const CRecipeContext& ctx);
void PadlockAnim(CCanvas& c, const CRecipeContext& ctx);
void PlusDisc(CCanvas& c, const CRecipeContext& ctx);
void QuestionMark(CCanvas& c, const CRecipeContext& ctx);
void SmallMedal(CCanvas& c, const CRecipeContext& ctx);
void MarbleIcon(CCanvas& c, const CRecipeContext& ctx);
void AwardIcons(CCanvas& c, const CRecipeContext& ctx);

// Achievements (Recipes_Medals.cpp).
void Medal(CCanvas& c, const CRecipeContext& ctx);
void AchievementPlaque(CCanvas& c, const CRecipeContext& ctx);

// Shop (Recipes_Shop.cpp).
void BoostIcon(CCanvas& c, const CRecipeContext& ctx);
void Nest(CCanvas& c, const CRecipeContext& ctx);
void IapCoins(CCanvas& c, const CRecipeContext& ctx);
void IapGems(CCanvas& c, const CRecipeContext& ctx);

// Scenes (Recipes_Scenes.cpp).
void MenuBackground(CCanvas& c, const CRecipeContext& ctx);
void DialogBackground(CCanvas& c, const CRecipeContext& ctx);
void MenuMeadow(CCanvas& c, const CRecipeContext& ctx);
void CloudImage(CCanvas& c, const CRecipeContext& ctx);
void BushImage(CCanvas& c, const CRecipeContext& ctx);
void ArenaThumbs(CCanvas& c, const CRecipeContext& ctx);
void YardThumbs(CCanvas& c, const CRecipeContext& ctx);
void BarnEmblem(CCanvas& c, const CRecipeContext& ctx);

// Start menu and loader (Recipes_StartMenu.cpp).
void Logo(CCanvas& c, const CRecipeContext& ctx);
void Title(CCanvas& c, const CRecipeContext& ctx);
void LensFlare(CCanvas& c, const CRecipeContext& ctx);
void SunRays(CCanvas& c, const CRecipeContext& ctx);
void EggPile(CCanvas& c, const CRecipeContext& ctx);
void Hen(CCanvas& c, const CRecipeContext& ctx);
void Duck(CCanvas& c, const CRecipeContext& ctx);
void StrawHat(CCanvas& c, const CRecipeContext& ctx);
void Bonnet(CCanvas& c, const CRecipeContext& ctx);
void Chick(CCanvas& c, const CRecipeContext& ctx);
void EggShell(CCanvas& c, const CRecipeContext& ctx);
void AppIcon(CCanvas& c, const CRecipeContext& ctx);
void ShadowEllipse(CCanvas& c, const CRecipeContext& ctx);

// The round's sprites (Recipes_Gameplay.cpp).
void GlassMarble(CCanvas& c, const CRecipeContext& ctx);
void BombPowerup(CCanvas& c, const CRecipeContext& ctx);
void EightWayPowerup(CCanvas& c, const CRecipeContext& ctx);
void ColorBombPowerup(CCanvas& c, const CRecipeContext& ctx);
void SpinningCoin(CCanvas& c, const CRecipeContext& ctx);
void RoundShape(CCanvas& c, const CRecipeContext& ctx);
// The tutorial's demonstrating hand (fingertip at (30, 20)) and the ring of its press.
void TutorialHand(CCanvas& c, const CRecipeContext& ctx);
void TouchRing(CCanvas& c, const CRecipeContext& ctx);

// The round's frame and floors (Recipes_Arena.cpp).
void GameFrame(CCanvas& c, const CRecipeContext& ctx);
void ArenaFloor(CCanvas& c, const CRecipeContext& ctx);

// Local ads (Recipes_Ads.cpp).
void AdBanner(CCanvas& c, const CRecipeContext& ctx);

// The yard's birds (Recipes_Birds.cpp).
void BirdSheet(CCanvas& c, const CRecipeContext& ctx);
void BirdIcon(CCanvas& c, const CRecipeContext& ctx);
// The robot and the mower (Recipes_Machines.cpp).
void RobotView(CCanvas& c, const CRecipeContext& ctx);
void MowerView(CCanvas& c, const CRecipeContext& ctx);
void MachineIcon(CCanvas& c, const CRecipeContext& ctx);
// Every yard object's picture by its id (Recipes_FarmThings.cpp, Recipes_FarmPlants.cpp).
void FarmObject(CCanvas& c, const CRecipeContext& ctx);
// The yard screen's pictures (Recipes_Yard.cpp).
void YardBackground(CCanvas& c, const CRecipeContext& ctx);
void YardSun(CCanvas& c, const CRecipeContext& ctx);
void SelectionCorners(CCanvas& c, const CRecipeContext& ctx);
void RedCircle(CCanvas& c, const CRecipeContext& ctx);
void FarmBar(CCanvas& c, const CRecipeContext& ctx);
void YardBoard(CCanvas& c, const CRecipeContext& ctx);
void SelectionRing(CCanvas& c, const CRecipeContext& ctx);
void TapRing(CCanvas& c, const CRecipeContext& ctx);
void PhotoFlare(CCanvas& c, const CRecipeContext& ctx);
void DogEyelid(CCanvas& c, const CRecipeContext& ctx);
void EmotionIcon(CCanvas& c, const CRecipeContext& ctx);

// Particles (Recipes_Particles.cpp).
void Particle(CCanvas& c, const CRecipeContext& ctx);

}  // namespace imagegen::recipes
