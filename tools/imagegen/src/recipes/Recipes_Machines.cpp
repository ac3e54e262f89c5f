// The yard's two machines on the figure stage (Figure.h): the garden robot, round and white on
// one wheel with a green cross on its chest, a visor with two glowing eyes and two antennae, in
// its seven views; and the red push mower, whose wheels turn over its four frames, in five views.
#include <cmath>
#include <string>

#include "Draw.h"
#include "Figure.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;
using namespace figure;

namespace {

constexpr float kPi = 3.14159265f;

// Where each view puts the robot's wheel on the ground in its 56 x 56 frame: the game's draw
// offsets of the views (pixels from the frame's bottom centre) say so.
struct TRobotContact {
    EView view;
    float x, y;
};
constexpr TRobotContact kRobotContacts[] = {
    {EView::Left, 28 - 8.5f, 56 - 14},
    {EView::Back, 28 - 1, 56 - 11},
    {EView::Front, 28, 56 - 14},
    {EView::LeftBack, 28 + 6, 56 - 13},
    {EView::LeftFront, 28 + 4.5f, 56 - 14},
    {EView::RightBack, 28 - 7.5f, 56 - 14},
    {EView::RightFront, 28 - 6, 56 - 14.5f},
};

TPaint Lit(float x, float y, float r, const TRgba& light, const TRgba& dark) {
    return Radial(x - r * 0.4f, y - r * 0.5f, r * 2.0f, {{0.0f, Shade(light, 0.3f)}, {0.45f, light}, {1.0f, dark}});
}

void Robot(CCanvas& c, EView view, float contactX, float contactY, float k = 1) {
    const TPose pose(view, contactX, contactY, k);
    const TRgba shell = Rgb(0xEEF3F2), shellDark = Rgb(0x8FA7A8), trim = Rgb(0x2E8B7E), ink = Rgb(0x1D3436);
    const float wheelR = 5.5f, bodyU = 19, bodyR = 9.5f, headU = 33, headR = 7.5f;
    CPainter painter;
    // The wheel under it, seen edge on from the front.
    painter.Add(-50, [&] {
        const TVec hub = pose.P(0, wheelR, 0);
        const float rx = std::max(wheelR * std::fabs(pose.fx), 2.2f) * k, ry = wheelR * k;
        c.Fill(Ellipse(hub.x, hub.y, rx + 0.8f * k, ry + 0.8f * k), ink);
        c.Fill(Ellipse(hub.x, hub.y, rx, ry), Rgb(0x37474F));
        c.Fill(Ellipse(hub.x, hub.y, rx * 0.5f, ry * 0.5f), Rgb(0xB0BEC5));
    });
    // Arms, the far one behind the body.
    for (float side : {-1.0f, 1.0f}) {
        painter.Add(pose.Z(0, side * bodyR), [&, side] {
            const TVec shoulder = pose.P(0, bodyU + 2, side * bodyR * 0.9f);
            const TVec hand = pose.P(2.5f, bodyU - 5, side * (bodyR + 3));
            c.Fill(Capsule(shoulder, hand, 3.6f * k), ink);
            c.Fill(Capsule(shoulder, hand, 2.2f * k), shellDark);
            c.Fill(Circle(hand.x, hand.y, 2.2f * k), trim);
        });
    }
    painter.Add(0, [&] {
        const TVec b = pose.P(0, bodyU, 0);
        const CShape body = Ellipse(b.x, b.y, bodyR * k, bodyR * 1.05f * k);
        c.Fill(Grow(body, 1.0f), ink);
        c.Fill(body, Lit(b.x, b.y, bodyR * k, shell, shellDark));
        c.Fill(Intersect(body, Rect(b.x - 20 * k, b.y + bodyR * 0.55f * k, 40 * k, 10 * k)), trim);
        // The green cross on its chest, as far as the chest faces the viewer.
        const float facing = pose.Z(1, 0);
        if (facing > -0.2f) {
            const TVec chest = pose.P(bodyR * 0.75f, bodyU + 1, 0);
            const float squeeze = std::clamp(0.35f + facing * 0.75f, 0.35f, 1.0f);
            c.Fill(Ellipse(chest.x, chest.y, 4.2f * squeeze * k, 4.2f * k), kWhite);
            c.Fill(Rect(chest.x - 0.9f * squeeze * k, chest.y - 3 * k, 1.8f * squeeze * k, 6 * k), Rgb(0x2EAD4B));
            c.Fill(Rect(chest.x - 3 * squeeze * k, chest.y - 0.9f * k, 6 * squeeze * k, 1.8f * k), Rgb(0x2EAD4B));
        }
    });
    painter.Add(1, [&] {
        const TVec h = pose.P(0, headU, 0);
        for (float side : {-1.0f, 1.0f}) {
            const TVec root = pose.P(-1, headU + headR * 0.7f, side * 3.0f);
            const TVec tip = pose.P(-2.5f, headU + headR + 6, side * 4.5f);
            c.Fill(Capsule(root, tip, 1.6f * k), ink);
            c.Fill(Circle(tip.x, tip.y, 2.0f * k), Rgb(0xE53935));
            c.Fill(Circle(tip.x - 0.6f * k, tip.y - 0.6f * k, 0.7f * k), Rgb(0xFFCDD2));
        }
        const CShape head = Circle(h.x, h.y, headR * k);
        c.Fill(Grow(head, 1.0f), ink);
        c.Fill(head, Lit(h.x, h.y, headR * k, shell, shellDark));
        // The visor and its two eyes face forward.
        const float facing = pose.Z(1, 0);
        if (facing > -0.45f) {
            const TVec v = pose.P(headR * 0.55f, headU - 0.5f, 0);
            const float squeeze = std::clamp(0.3f + facing * 0.8f, 0.3f, 1.0f);
            const CShape visor =
                Intersect(head, RoundRect(v.x - 6 * squeeze * k, v.y - 3.2f * k, 12 * squeeze * k, 6.4f * k, 3 * k));
            c.Fill(visor, Vertical(v.y - 3 * k, v.y + 3 * k, Rgb(0x20343A), Rgb(0x0B1518)));
            for (float side : {-1.0f, 1.0f}) {
                if (pose.Z(0.7f, side * 0.7f) < -0.2f) continue;
                const TVec e = pose.P(headR * 0.75f, headU - 0.5f, side * 2.8f);
                c.Fill(Intersect(visor, Ellipse(e.x, e.y, (1.3f * squeeze + 0.3f) * k, 1.6f * k)), Rgb(0x7CF4FF));
            }
        }
    });
    painter.Paint();
}

// The mower: a red deck on four wheels, an engine cap on top and a handle reaching back.
void Mower(CCanvas& c, EView view, float cx, float ground, float turn, float k = 1) {
    const TPose pose(view, cx, ground, k);
    const TRgba red = Rgb(0xE53935), redDark = Rgb(0x8E1B1B), ink = Rgb(0x2B1B12);
    const float deckL = 12, deckW = 10, deckH = 5, wheelR = 4.2f, deckU = wheelR + 3;
    CPainter painter;
    // Wheels at the corners; their spokes turn with the frame.
    for (float f : {-deckL * 0.7f, deckL * 0.7f})
        for (float side : {-1.0f, 1.0f}) {
            painter.Add(pose.Z(f, side * (deckW + 1)) - 0.5f, [&, f, side] {
                const TVec hub = pose.P(f, wheelR, side * (deckW + 1));
                const float rx = std::max(wheelR * std::fabs(pose.fx), 1.8f) * k, ry = wheelR * k;
                c.Fill(Ellipse(hub.x, hub.y, rx + 0.7f * k, ry + 0.7f * k), ink);
                c.Fill(Ellipse(hub.x, hub.y, rx, ry), Rgb(0x424242));
                if (rx > 2.5f * k) {
                    for (int k = 0; k < 2; ++k) {
                        const float a = turn + k * kPi / 2;
                        c.Fill(Capsule({hub.x - std::cos(a) * rx * 0.75f, hub.y - std::sin(a) * ry * 0.75f},
                                       {hub.x + std::cos(a) * rx * 0.75f, hub.y + std::sin(a) * ry * 0.75f}, 0.9f * k),
                               Rgb(0xBDBDBD));
                    }
                }
                c.Fill(Ellipse(hub.x, hub.y, std::max(rx * 0.3f, 0.8f * k), ry * 0.3f), Rgb(0xFFD54F));
            });
        }
    // The handle: two bars from the deck's back, up and back to a grip.
    const auto handle = [&] {
        for (float side : {-1.0f, 1.0f}) {
            const TVec a = pose.P(-deckL * 0.8f, deckU + deckH * 0.5f, side * deckW * 0.6f);
            const TVec b = pose.P(-deckL - 12, deckU + 22, side * deckW * 0.55f);
            c.Fill(Capsule(a, b, 2.6f * k), ink);
            c.Fill(Capsule(a, b, 1.4f * k), Rgb(0x9E9E9E));
        }
        const TVec g0 = pose.P(-deckL - 12, deckU + 22, -deckW * 0.7f);
        const TVec g1 = pose.P(-deckL - 12, deckU + 22, deckW * 0.7f);
        c.Fill(Capsule(g0, g1, 3.6f * k), ink);
        c.Fill(Capsule(g0, g1, 2.4f * k), Rgb(0x263238));
    };
    const float handleZ = pose.Z(-deckL - 6, 0);
    painter.Add(handleZ, handle);
    painter.Add(0, [&] {
        const TVec d = pose.P(0, deckU, 0);
        const float hw = pose.HalfWidth(deckL, deckW) * k, hh = deckH * k;
        const CShape deck = RoundRect(d.x - hw, d.y - hh, hw * 2, hh * 2, 4 * k);
        c.Fill(Grow(deck, 0.9f), ink);
        c.Fill(deck, Vertical(d.y - hh, d.y + hh, Shade(red, 0.25f), redDark));
        c.Fill(Intersect(deck, Rect(d.x - hw, d.y + hh * 0.35f, hw * 2, hh)), WithAlpha(Rgb(0x5D1010), 0.7f));
        // The engine cap on top.
        const TVec e = pose.P(1.5f, deckU + deckH + 3.5f, 0);
        const float ew = pose.HalfWidth(5, 5) * k;
        const CShape cap =
            Union(RoundRect(e.x - ew, e.y - 3 * k, ew * 2, 6 * k, 2.5f * k), Ellipse(e.x, e.y - 3 * k, ew, 2 * k));
        c.Fill(Grow(cap, 0.8f), ink);
        c.Fill(cap, Lit(e.x, e.y, 5 * k, Rgb(0x616161), Rgb(0x212121)));
        c.Fill(Ellipse(e.x - ew * 0.3f, e.y - 3.2f * k, ew * 0.35f, 0.8f * k), WithAlpha(kWhite, 0.6f));
    });
    painter.Paint();
}

bool ViewArg(const CRecipeContext& ctx, EView& view) {
    if (ViewOfName(ctx.Text("view", "down"), view)) return true;
    ctx.Fail("view=" + ctx.Text("view") + " is not a view");
    return false;
}

}  // namespace

// view=left|up|down|left_up|left_down|right_up|right_down: the robot in one view, its wheel on
// the ground where the game's draw offsets of that view put it.
void RobotView(CCanvas& c, const CRecipeContext& ctx) {
    EView view;
    if (!ViewArg(ctx, view)) return;
    for (const TRobotContact& contact : kRobotContacts)
        if (contact.view == view) Robot(c, view, contact.x, contact.y);
}

// view=left|up|down|left_up|left_down: the mower in one view, wheels on the frame's bottom edge;
// its wheels turn a quarter of a spoke step per frame.
void MowerView(CCanvas& c, const CRecipeContext& ctx) {
    EView view;
    if (!ViewArg(ctx, view)) return;
    Mower(c, view, ctx.Width() / 2, ctx.Height() - 1, ctx.Frame() * kPi / 8);
}

// An icon of a machine (machine=robot|mower): facing the viewer, one and a half times its size,
// on a soft light disc.
void MachineIcon(CCanvas& c, const CRecipeContext& ctx) {
    const float w = ctx.Width(), h = ctx.Height();
    const std::string machine = ctx.Text("machine", "robot");
    c.Fill(Circle(w / 2, h / 2, w / 2 - 3),
           Radial(w / 2, h / 2 - 6, w / 2,
                  {{0.0f, Rgb(0xFFFDF2)}, {0.7f, Rgb(0xF6EBCB)}, {1.0f, WithAlpha(Rgb(0xE9D8A6), 0.0f)}}),
           {EBlend::Over, 1.0f, 2.0f});
    c.Fill(Ellipse(w / 2, h - 16, 22, 5), WithAlpha(kBlack, 0.2f), {EBlend::Over, 1.0f, 2.0f});
    if (machine == "robot")
        Robot(c, EView::LeftFront, w / 2, h - 16, 1.5f);
    else if (machine == "mower")
        Mower(c, EView::LeftFront, w / 2, h - 16, 0.3f, 1.5f);
    else
        ctx.Fail("machine=" + machine + " is neither robot nor mower");
}

}  // namespace imagegen::recipes
