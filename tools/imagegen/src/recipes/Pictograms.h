// Simple pictogram shapes for icon buttons and badges, each centred on (cx, cy) and fitting a
// box of about s x s pixels.
#pragma once

#include <string_view>

#include "imagegen/Shape.h"

namespace imagegen::picto {

CShape ArrowLeft(float cx, float cy, float s);
CShape ArrowRight(float cx, float cy, float s);
// An arrow pointing up with a broad head, as the tutorial pointers.
CShape ArrowUp(float cx, float cy, float w, float h);
CShape Gear(float cx, float cy, float s);
CShape Door(float cx, float cy, float s);
CShape Pause(float cx, float cy, float s);
CShape CoinBag(float cx, float cy, float s);
CShape Rotate(float cx, float cy, float s);
CShape Chevron(float cx, float cy, float s, bool right);
CShape Globe(float cx, float cy, float s);
CShape Speech(float cx, float cy, float s);
CShape StarShape(float cx, float cy, float s);
CShape Scroll(float cx, float cy, float s);
CShape Pencil(float cx, float cy, float s);
CShape Bin(float cx, float cy, float s);
CShape Cross(float cx, float cy, float s, float thickness);
CShape Tick(float cx, float cy, float s, float thickness);
CShape Plus(float cx, float cy, float s, float thickness);
// The padlock's body (with its key hole cut out) and its shackle, opened by 0..1 (lifted, then
// swung to the right).
CShape LockBody(float cx, float cy, float s);
CShape LockShackle(float cx, float cy, float s, float open);

// The pictogram of an icon-button name (back, gear, exit, pause, sell, rotate, prev, next,
// globe, chat, star, scroll, pencil, bin); the empty shape for an unknown name.
CShape ByName(std::string_view name, float cx, float cy, float s);

}  // namespace imagegen::picto
