// A small 3D stage for the yard's creatures: a figure is posed in its own frame (forward, up,
// side) and seen from the front of the yard with its heading turned towards one of the views a
// sprite set needs (side, front, back, three-quarter front and back). Points project
// orthographically; parts are painted far to near, so one description of a bird or a machine
// gives every view.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "imagegen/Canvas.h"

namespace imagegen::figure {

// The five views the creatures' sets hold, named by their set suffixes; Left is the side view
// facing left, Front faces the viewer, Back faces away, and the three-quarter views turn left.
// The robot also has right-hand three-quarter views.
enum class EView { Left, Back, Front, LeftBack, LeftFront, RightBack, RightFront };

// The view of a set suffix ("L", "T", "B", "LT", "LB", "left", "up", "down", "left_up",
// "left_down", "right_up", "right_down"); false for another text.
bool ViewOfName(const std::string& name, EView& out);

struct TPose {
    float fx = -1, fz = 0;  // the figure's forward direction: screen x and depth (towards the viewer)
    float sx = 0, sz = 1;   // its side direction (its right hand)
    float cx = 0;           // screen x of the figure's origin
    float ground = 0;       // screen y of its origin (the ground under it)
    float k = 1;            // screen pixels per figure pixel

    TPose(EView view, float originX, float groundY, float scale = 1);
    // A figure point (forward, up, side), in figure pixels, on the screen.
    TVec P(float f, float u, float s) const { return {cx + (f * fx + s * sx) * k, ground - u * k}; }
    // Its depth: larger is nearer the viewer.
    float Z(float f, float s) const { return f * fz + s * sz; }
    // The screen half-width of an upright ellipsoid of half-lengths (along forward, across), in
    // figure pixels.
    float HalfWidth(float alongForward, float across) const;
    // How much a side faces the viewer, -1..1 (the right side when sign = 1).
    float Facing(float sign) const { return sign * sz; }
};

// Parts painted in depth order: the far ones first.
class CPainter {
public:
    void Add(float depth, std::function<void()> paint) { m_parts.push_back({depth, std::move(paint)}); }
    void Paint() {
        std::stable_sort(m_parts.begin(), m_parts.end(),
                         [](const TPart& a, const TPart& b) { return a.depth < b.depth; });
        for (TPart& p : m_parts) p.paint();
        m_parts.clear();
    }

private:
    struct TPart {
        float depth;
        std::function<void()> paint;
    };
    std::vector<TPart> m_parts;
};

// A tapered stroke from a (width wa) to b (width wb), round at a.
CShape Taper(TVec a, TVec b, float wa, float wb);
// A cartoon eye: white, a dark pupil looking along dx (-1..1), a glint; squeezed to `open`
// of its width (a turned eye is narrower).
void CartoonEye(CCanvas& c, float x, float y, float r, float dx, float open, const TRgba& iris);

}  // namespace imagegen::figure
