// The yard's twelve birds: each one described once (size, colours, beak, comb, neck, tail and its
// special marks) and posed on the figure stage (Figure.h) in the five views of its sprite sets,
// eight walk frames each (legs stepping, body bobbing, head nodding), and the shop's icon of it.
// Feet rest at the frame's bottom less the bird's anchor height, where the game puts the bird's
// position.
#include <cmath>
#include <string>

#include "Draw.h"
#include "Figure.h"
#include "Recipes.h"

namespace imagegen::recipes {

using namespace draw;
using namespace figure;

namespace {

constexpr float kTwoPi = 6.28318531f;

enum class EBeak { Cone, Bill, Hook };
enum class ETail { Plumes, Sickle, Curl, Fan, Train, Short, Point, Long };
enum class EMark { None, NeckRing, Iridescent, Crest, OwlFace, Snood, ParrotFace, Knob };

struct TBirdLook {
    int anchor;                 // feet above the frame's bottom, pixels (the game's anchor height)
    float bodyL, bodyH, bodyW;  // half-lengths of the body: along, up, across
    float legLen;
    float headR, headF, headU;  // head radius and its centre from the body's centre
    float neckW, neckBend;      // neck width; its middle pushed back (an S-neck) by this much
    EBeak beak;
    float beakLen;
    ETail tail;
    float tailLen;
    int comb;  // 0 none, 1 small, 2 large, 3 rooster's
    bool wattle;
    EMark mark;
    bool webbed;
    float eyeR;
    TRgba body, bodyDark, belly, head, wing, wingDark, tailColour, tailTip, beakColour, legs, markColour;
    TRgba iris;  // alpha 0: none
};

constexpr TRgba kNone = {0, 0, 0, 0};

// clang-format off
// Birds 1 to 12: hen, chick, rooster, duck, goose, turkey, mallard, pigeon, peacock, owl,
// parrot, swan.
const TBirdLook kBirds[12] = {
    // 1 hen: white, red comb and wattle, a bunch of tail plumes.
    {12, 13, 11, 10, 6, 7.5f, 10, 12, 9, 0, EBeak::Cone, 5, ETail::Plumes, 11, 2, true, EMark::None, false, 2.7f,
     Rgb(0xFFFFFF), Rgb(0xC9BDAA), Rgb(0xFFF8EC), Rgb(0xFFFFFF), Rgb(0xFBF7F0), Rgb(0xD6CBB8), Rgb(0xFFFFFF),
     Rgb(0xDCD2C2), Rgb(0xFFB300), Rgb(0xF9A825), Rgb(0xE53935), kNone},
    // 2 chick: a round yellow ball with a big head.
    {12, 9, 9, 9, 3, 7.5f, 4, 9, 10, 0, EBeak::Cone, 3.5f, ETail::Short, 4, 0, false, EMark::None, false, 2.6f,
     Rgb(0xFFEB3B), Rgb(0xF9A825), Rgb(0xFFF9C4), Rgb(0xFFEE58), Rgb(0xFFE082), Rgb(0xF2B90C), Rgb(0xFFE57F),
     Rgb(0xF9A825), Rgb(0xFF8F00), Rgb(0xFF9800), kNone, kNone},
    // 3 rooster: red-brown, orange neck, big comb, arching green-black sickle tail.
    {8, 13, 11, 10, 7, 7, 11, 14, 9, 0, EBeak::Cone, 5, ETail::Sickle, 17, 3, true, EMark::None, false, 2.6f,
     Rgb(0xC0502A), Rgb(0x7A2410), Rgb(0xD9823F), Rgb(0xE9822E), Rgb(0x8E3418), Rgb(0x5A1A0C), Rgb(0x1E4D3A),
     Rgb(0x0E2A1E), Rgb(0xFFB300), Rgb(0xF9A825), Rgb(0xE53935), kNone},
    // 4 duck: white, orange bill and webbed feet, a curl of tail.
    {10, 14, 10, 10, 4, 7, 10, 12, 8, 0, EBeak::Bill, 7, ETail::Curl, 7, 0, false, EMark::None, true, 2.5f,
     Rgb(0xFFFFFF), Rgb(0xB9C6D0), Rgb(0xFFFFFF), Rgb(0xFFFFFF), Rgb(0xF7F9FA), Rgb(0xC8D3DB), Rgb(0xFFFFFF),
     Rgb(0xCAD4DB), Rgb(0xFF9800), Rgb(0xFF8F00), kNone, kNone},
    // 5 goose: grey-white, a long neck, orange bill with a knob.
    {11, 15, 11, 11, 4, 6, 12, 21, 7, -2, EBeak::Bill, 6.5f, ETail::Point, 7, 0, false, EMark::Knob, true, 2.2f,
     Rgb(0xEDEDE8), Rgb(0x8F8F89), Rgb(0xFAFAF7), Rgb(0xF2F2EE), Rgb(0xC9C9C2), Rgb(0x8A8A82), Rgb(0xA9A9A2),
     Rgb(0x6E6E66), Rgb(0xFF8A1F), Rgb(0xFF8F00), Rgb(0xE65100), kNone},
    // 6 turkey: bronze-brown, a blue head with a red snood, a fanned striped tail.
    {14, 13, 12, 11, 6, 5.5f, 11, 11, 7, 0, EBeak::Cone, 4, ETail::Fan, 17, 0, true, EMark::Snood, false, 2.3f,
     Rgb(0x6D4C3B), Rgb(0x33201A), Rgb(0x8A6247), Rgb(0xA7C8E6), Rgb(0x5A3A2B), Rgb(0x2E1C14), Rgb(0x7B5238),
     Rgb(0xF3E5C8), Rgb(0xE0C27A), Rgb(0xC98A6B), Rgb(0xD32F2F), kNone},
    // 7 mallard: green head, white collar, brown chest, grey body, yellow bill.
    {10, 14, 10, 10, 4, 7, 10, 12, 8, 0, EBeak::Bill, 7, ETail::Curl, 7, 0, false, EMark::NeckRing, true, 2.4f,
     Rgb(0xB0B1AC), Rgb(0x6F706B), Rgb(0x8A5232), Rgb(0x1F8A45), Rgb(0x9C9D97), Rgb(0x5C5D58), Rgb(0x2B2B2B),
     Rgb(0x111111), Rgb(0xF2CC2A), Rgb(0xFF8F00), kWhite, kNone},
    // 8 pigeon: blue-grey, a shimmering neck, dark wing bars, pink feet.
    {8, 12, 9, 9, 4, 6, 9, 9, 8, 0, EBeak::Cone, 3, ETail::Short, 8, 0, false, EMark::Iridescent, false, 2.3f,
     Rgb(0x9AA7B8), Rgb(0x5C6778), Rgb(0xB4BECC), Rgb(0x7E8AA0), Rgb(0xA9B5C4), Rgb(0x3F4756), Rgb(0x8693A6),
     Rgb(0x2F3440), Rgb(0x4A4A52), Rgb(0xE57373), Rgb(0x2E9E7A), Rgb(0xFF8A3D, 1.0f)},
    // 9 peacock: royal blue, a crest, a long green train with eyes folded behind.
    {10, 11, 10, 9, 7, 5.5f, 9, 16, 6, 0, EBeak::Cone, 4, ETail::Train, 26, 0, false, EMark::Crest, false, 2.2f,
     Rgb(0x1F5FC4), Rgb(0x0D2A66), Rgb(0x2F7BE0), Rgb(0x2F7BE0), Rgb(0xC9A36B), Rgb(0x7A5A2E), Rgb(0x2E8B3E),
     Rgb(0xFFD54F), Rgb(0x9E9E9E), Rgb(0x8D8D8D), Rgb(0x1F5FC4), kNone},
    // 10 owl: round and brown, a pale face with big yellow eyes and ear tufts.
    {12, 11, 13, 11, 3, 9.5f, 2, 14, 12, 0, EBeak::Hook, 3, ETail::Short, 6, 0, false, EMark::OwlFace, false, 3.6f,
     Rgb(0x9C7257), Rgb(0x5D3F2E), Rgb(0xE3C9A6), Rgb(0x9C7257), Rgb(0x8A6249), Rgb(0x4E3526), Rgb(0x7A5640),
     Rgb(0x4E3526), Rgb(0xFFC107), Rgb(0x8D6E63), Rgb(0xF0DEC4), Rgb(0xFFC107, 1.0f)},
    // 11 parrot: scarlet, green and blue wings, a long tail, a hooked beak in a white face.
    {15, 10, 11, 9, 4, 7, 6, 13, 9, 0, EBeak::Hook, 5, ETail::Long, 18, 0, false, EMark::ParrotFace, false, 2.3f,
     Rgb(0xE53935), Rgb(0x8E1B1B), Rgb(0xFF7043), Rgb(0xEF4B3C), Rgb(0x43A047), Rgb(0x1565C0), Rgb(0xE53935),
     Rgb(0x1E88E5), Rgb(0xF5F0E6), Rgb(0x8D8D8D), kWhite, kNone},
    // 12 swan: white, a long S-neck, an orange bill with a black knob.
    {13, 16, 10, 11, 3, 5.5f, 12, 22, 6, -5, EBeak::Bill, 7, ETail::Point, 7, 0, false, EMark::Knob, true, 2.0f,
     Rgb(0xFFFFFF), Rgb(0xB7C4CE), Rgb(0xFFFFFF), Rgb(0xFFFFFF), Rgb(0xF7F9FA), Rgb(0xC5D1DA), Rgb(0xFFFFFF),
     Rgb(0xC9D3DA), Rgb(0xFF7A1A), Rgb(0x263238), Rgb(0x111111), kNone},
};
// clang-format on

// A part's fill: lit from the upper left, darker below.
TPaint Lit(float x, float y, float r, const TRgba& light, const TRgba& dark) {
    return Radial(x - r * 0.45f, y - r * 0.55f, r * 2.1f, {{0.0f, Shade(light, 0.25f)}, {0.45f, light}, {1.0f, dark}});
}

class CBirdPainter {
public:
    CBirdPainter(CCanvas& c, const TBirdLook& b, EView view, float phase, float cx, float ground, float scale)
        : m_c(c), m_b(b), m_pose(view, cx, ground), m_scale(scale) {
        const float swing = std::sin(kTwoPi * phase);
        m_bob = std::fabs(swing) * 1.0f;
        m_nod = std::sin(2 * kTwoPi * phase) * 1.2f;
        m_stride = swing * 3.2f * scale;
        m_liftA = std::max(0.0f, std::cos(kTwoPi * phase)) * 2.4f * scale;
        m_liftB = std::max(0.0f, -std::cos(kTwoPi * phase)) * 2.4f * scale;
        m_bodyU = (b.legLen + b.bodyH) * scale + m_bob;
    }

    void Paint() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        // The silhouette's outline first, under everything.
        std::vector<CShape> outline = {BodyShape(), HeadShape(), NeckShape()};
        m_c.Fill(Grow(Union(outline), 1.1f), Shade(b.bodyDark, -0.55f));
        CPainter painter;
        for (float side : {-1.0f, 1.0f}) {
            const float foot = side < 0 ? m_stride : -m_stride;
            const float lift = side < 0 ? m_liftA : m_liftB;
            painter.Add(m_pose.Z(0, side * b.bodyW * 0.4f * s) - 100, [=, this] { Leg(side, foot, lift); });
        }
        painter.Add(m_pose.Z(-b.bodyL * s, 0) * 1.0f, [this] { Tail(); });
        painter.Add(0, [this] { Body(); });
        for (float side : {-1.0f, 1.0f}) {
            const float z = m_pose.Z(0, side * b.bodyW * s);
            if (m_pose.Facing(side) > -0.2f) painter.Add(z + 0.5f, [=, this] { Wing(side); });
        }
        const float headZ = m_pose.Z(b.headF * s, 0);
        painter.Add(headZ + 1, [this] { Neck(); });
        painter.Add(headZ + 2, [this] { Head(); });
        painter.Paint();
    }

private:
    TVec BodyCentre() const { return m_pose.P(0, m_bodyU, 0); }
    TVec HeadCentre() const {
        const float s = m_scale;
        return m_pose.P((m_b.headF + m_nod) * s, m_bodyU + m_b.headU * s, 0);
    }
    CShape BodyShape() const {
        const TVec c = BodyCentre();
        const float rx = m_pose.HalfWidth(m_b.bodyL, m_b.bodyW) * m_scale;
        // Seen from the side the body tips its tail up a little.
        return Rotate(Ellipse(c.x, c.y, rx, m_b.bodyH * m_scale), c.x, c.y, m_pose.fx * 8.0f);
    }
    CShape HeadShape() const {
        const TVec h = HeadCentre();
        return Circle(h.x, h.y, m_b.headR * m_scale);
    }
    std::vector<TVec> NeckPoints() const {
        const float s = m_scale;
        const TVec base = m_pose.P(m_b.bodyL * 0.45f * s, m_bodyU + m_b.bodyH * 0.35f * s, 0);
        const TVec head = HeadCentre();
        const TVec mid = m_pose.P((m_b.headF * 0.55f + m_b.neckBend) * s, m_bodyU + m_b.headU * 0.55f * s, 0);
        return QuadraticCurve(base, mid, head, 8);
    }
    CShape NeckShape() const { return Polyline(NeckPoints(), m_b.neckW * m_scale); }

    void Body() {
        const TBirdLook& b = m_b;
        const TVec c = BodyCentre();
        const float r = b.bodyH * m_scale;
        const CShape body = BodyShape();
        m_c.Fill(body, Lit(c.x, c.y, r, b.body, b.bodyDark));
        // A paler breast towards the front and below, as far as the front faces the viewer.
        const float front = std::clamp(0.55f + m_pose.Z(1, 0) * 0.8f, 0.0f, 1.0f);
        const TVec breast = m_pose.P(b.bodyL * 0.35f * m_scale, m_bodyU - b.bodyH * 0.25f * m_scale, 0);
        if (front > 0)
            m_c.Fill(
                Intersect(body, Ellipse(breast.x, breast.y, m_pose.HalfWidth(b.bodyL * 0.6f, b.bodyW * 0.75f) * m_scale,
                                        b.bodyH * 0.7f * m_scale)),
                WithAlpha(b.belly, 0.85f * front), {EBlend::Over, 1.0f, 2.5f});
        if (b.mark == EMark::OwlFace && front > 0.5f) {
            // Speckles on the owl's front.
            for (int i = 0; i < 6; ++i) {
                const TVec p = m_pose.P(b.bodyL * 0.5f * m_scale, m_bodyU + (2.0f - i * 2.2f) * m_scale,
                                        (i % 3 - 1) * 3.0f * m_scale);
                m_c.Fill(Intersect(body, Ellipse(p.x, p.y, 1.0f, 0.7f)), WithAlpha(b.bodyDark, 0.8f));
            }
        }
    }

    void Neck() {
        const TBirdLook& b = m_b;
        const std::vector<TVec> points = NeckPoints();
        const CShape neck = NeckShape();
        const TVec h = HeadCentre();
        m_c.Fill(neck, Lit(h.x, h.y, b.headR * 2 * m_scale, b.head, Mix(b.head, b.bodyDark, 0.5f)));
        if (b.mark == EMark::NeckRing) {
            const TVec p = points[points.size() / 2 + 1];
            m_c.Fill(Intersect(neck, Ellipse(p.x, p.y, b.neckW * m_scale, 1.3f * m_scale)), b.markColour);
        }
        if (b.mark == EMark::Iridescent) {
            const TVec p = points[points.size() / 2];
            m_c.Fill(Intersect(neck, Circle(p.x, p.y, b.neckW * 0.7f * m_scale)),
                     Linear(p.x - 4, p.y - 4, p.x + 4, p.y + 4, {{0.0f, b.markColour}, {1.0f, Rgb(0x8E5AA8)}}),
                     {EBlend::Over, 0.9f, 1.0f});
        }
    }

    void Head() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const TVec h = HeadCentre();
        const float r = b.headR * s;
        const CShape head = HeadShape();
        // The beak behind the head when it points away.
        const float beakZ = m_pose.Z(1, 0);
        if (beakZ < -0.3f) Beak();
        if (b.mark == EMark::Crest) {
            for (int i = -1; i <= 1; ++i) {
                const TVec top =
                    m_pose.P((b.headF + m_nod - 1.0f) * s, m_bodyU + (b.headU + b.headR + 5) * s, i * 2.0f * s);
                const TVec root = m_pose.P((b.headF + m_nod) * s, m_bodyU + (b.headU + b.headR * 0.7f) * s, 0);
                m_c.Fill(Capsule(root, top, 0.6f), Shade(b.head, -0.3f));
                m_c.Fill(Circle(top.x, top.y, 1.3f), b.head);
            }
        }
        if (b.mark == EMark::OwlFace) {
            for (float side : {-1.0f, 1.0f}) {
                const TVec tip = m_pose.P((b.headF + m_nod + 1) * s, m_bodyU + (b.headU + b.headR + 3) * s,
                                          side * b.headR * 0.65f * s);
                const TVec root = m_pose.P((b.headF + m_nod) * s, m_bodyU + (b.headU + b.headR * 0.5f) * s,
                                           side * b.headR * 0.5f * s);
                m_c.Fill(Grow(Taper(root, tip, 4.0f * s, 0.5f), 0.8f), Shade(b.bodyDark, -0.5f));
                m_c.Fill(Taper(root, tip, 4.0f * s, 0.5f), b.bodyDark);
            }
        }
        m_c.Fill(head, Lit(h.x, h.y, r, b.head, Mix(b.head, b.bodyDark, 0.55f)));
        if (b.comb > 0) Comb();
        if (b.mark == EMark::OwlFace || b.mark == EMark::ParrotFace) FacePatch();
        Eyes();
        if (beakZ >= -0.3f) Beak();
        if (b.wattle || b.mark == EMark::Snood) Wattle();
    }

    void Comb() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const float big = b.comb == 3 ? 1.5f : (b.comb == 2 ? 1.15f : 0.8f);
        std::vector<CShape> lobes;
        for (int i = 0; i < 3; ++i) {
            const float f = (b.headF + m_nod + (0.45f - 0.45f * i) * b.headR) * s;
            const float u = m_bodyU + (b.headU + b.headR * (0.85f + (i == 1 ? 0.15f : 0.0f))) * s;
            const TVec p = m_pose.P(f, u, 0);
            lobes.push_back(Circle(p.x, p.y, (1.7f + (i == 1 ? 0.5f : 0.0f)) * big * s));
        }
        const CShape comb = Union(lobes);
        m_c.Fill(Grow(comb, 0.6f), Shade(b.markColour, -0.55f));
        m_c.Fill(comb, Vertical(comb.Bounds().y0, comb.Bounds().y1, Shade(b.markColour, 0.25f), b.markColour));
    }

    void Wattle() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const TVec p = m_pose.P((b.headF + m_nod + b.headR * 0.55f) * s, m_bodyU + (b.headU - b.headR * 0.75f) * s, 0);
        const float rx = (m_pose.fz != 0 && m_pose.fx == 0) ? 1.6f : 1.3f;
        const CShape wattle = Ellipse(p.x, p.y + 1.0f * s, rx * s, 2.4f * s);
        m_c.Fill(Grow(wattle, 0.5f), Shade(b.markColour, -0.55f));
        m_c.Fill(wattle, b.markColour);
        if (b.mark == EMark::Snood) {
            // The turkey's snood hangs over its beak.
            const TVec top =
                m_pose.P((b.headF + m_nod + b.headR * 0.7f) * s, m_bodyU + (b.headU + b.headR * 0.4f) * s, 0);
            const TVec end =
                m_pose.P((b.headF + m_nod + b.headR + 2.5f) * s, m_bodyU + (b.headU - b.headR * 0.9f) * s, 0);
            m_c.Fill(Taper(top, end, 1.8f * s, 1.2f * s), b.markColour);
        }
    }

    void FacePatch() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        for (float side : {-1.0f, 1.0f}) {
            const float facing = m_pose.Z(0.55f, side * 0.75f);
            if (facing < -0.05f) continue;
            const TVec p = m_pose.P((b.headF + m_nod + b.headR * 0.45f) * s, m_bodyU + (b.headU + 0.2f * b.headR) * s,
                                    side * b.headR * 0.55f * s);
            const float r = b.mark == EMark::OwlFace ? b.headR * 0.55f * s : b.headR * 0.4f * s;
            m_c.Fill(Ellipse(p.x, p.y, r * std::clamp(facing + 0.35f, 0.4f, 1.0f), r), b.markColour,
                     {EBlend::Over, 1.0f, 0.6f});
        }
    }

    void Eyes() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        for (float side : {-1.0f, 1.0f}) {
            // The eye's direction on the head: forward, out to the side, a little up.
            const float df = b.mark == EMark::OwlFace ? 0.8f : 0.45f, ds = b.mark == EMark::OwlFace ? 0.5f : 0.8f;
            const float facing = m_pose.Z(df, side * ds);
            // A head turned three quarters still shows its far eye, narrowed.
            if (facing < -0.3f) continue;
            const float d = b.headR * 0.78f;
            const TVec p =
                m_pose.P((b.headF + m_nod + df * d) * s, m_bodyU + (b.headU + 0.22f * b.headR) * s, side * ds * d * s);
            const float open = std::clamp(0.45f + facing * 0.7f, 0.45f, 1.0f);
            CartoonEye(m_c, p.x, p.y, b.eyeR * s, m_pose.fx * 0.8f, open, b.iris);
        }
    }

    void Beak() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const float f0 = (b.headF + m_nod) * s, u0 = m_bodyU + b.headU * s;
        const float droop = b.beak == EBeak::Bill ? 1.6f : (b.beak == EBeak::Hook ? 2.2f : 0.8f);
        const TVec root = m_pose.P(f0 + b.headR * 0.7f * s, u0 - b.headR * 0.15f * s, 0);
        const TVec tip = m_pose.P(f0 + (b.headR + b.beakLen) * s, u0 - (b.headR * 0.15f + droop) * s, 0);
        const TRgba dark = Shade(b.beakColour, -0.45f);
        const float len = std::hypot(tip.x - root.x, tip.y - root.y);
        CShape beak;
        if (b.beak == EBeak::Bill) {
            // A flat bill: long from the side, wide from the front.
            const float w = (m_pose.fx == 0 ? 3.6f : 2.6f) * s;
            beak = len > 1.5f ? Taper(root, tip, w * 1.2f, w) : Ellipse(tip.x, tip.y + 0.8f * s, w * 1.1f, w * 0.6f);
        } else if (b.beak == EBeak::Hook) {
            const float w = 3.2f * s;
            beak = len > 1.5f ? Union(Taper(root, tip, w, 1.2f), Circle(tip.x, tip.y + 0.6f * s, 1.2f * s))
                              : Ellipse(tip.x, tip.y + 1.0f * s, w * 0.5f, w * 0.8f);
        } else {
            const float w = 2.6f * s;
            beak = len > 1.5f ? Taper(root, tip, w, 0.4f)
                              : Polygon({{tip.x - w * 0.55f, tip.y - 0.6f * s},
                                         {tip.x + w * 0.55f, tip.y - 0.6f * s},
                                         {tip.x, tip.y + w * 0.8f}});
        }
        m_c.Fill(Grow(beak, 0.55f), Shade(dark, -0.3f));
        m_c.Fill(beak, Vertical(beak.Bounds().y0, beak.Bounds().y1, Shade(b.beakColour, 0.2f), b.beakColour));
        if (b.mark == EMark::Knob) {
            const TVec k = m_pose.P(f0 + (b.headR + 0.5f) * s, u0 + 0.3f * s, 0);
            m_c.Fill(Circle(k.x, k.y, 1.5f * s), b.markColour);
        }
        if (b.beak == EBeak::Hook && len > 1.5f) {
            const TVec mid = {(root.x + tip.x) / 2, (root.y + tip.y) / 2 + 0.8f * s};
            m_c.Fill(Capsule(root, mid, 0.6f), WithAlpha(kInk, 0.7f));
        }
    }

    void Wing(float side) {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const float across = side * b.bodyW * 0.84f * s;
        // A folded wing: round at the shoulder, pointed towards the tail.
        const TVec front = m_pose.P(b.bodyL * 0.3f * s, m_bodyU + b.bodyH * 0.22f * s, across);
        const TVec back = m_pose.P(-b.bodyL * 0.78f * s, m_bodyU - b.bodyH * 0.05f * s, across);
        const float ry = b.bodyH * 0.5f * s;
        const float d = std::hypot(back.x - front.x, back.y - front.y);
        CShape wing;
        if (d > ry) {
            wing = Taper(front, back, 2 * ry, 1.6f * s);
        } else {
            // Seen end on (from the front or the back): a narrow oval on the body's side.
            const TVec mid = {(front.x + back.x) / 2, (front.y + back.y) / 2};
            wing = Ellipse(mid.x, mid.y, std::max(d / 2 + ry * 0.3f, ry * 0.42f), ry * 1.05f);
        }
        const TRgba shade = Mix(b.wing, b.wingDark, 0.55f);
        m_c.Fill(Grow(wing, 0.5f), Mix(b.wingDark, Shade(b.bodyDark, -0.5f), 0.5f));
        m_c.Fill(wing, Vertical(wing.Bounds().y0, wing.Bounds().y1, Shade(b.wing, 0.1f), shade));
        if (d > ry) {
            // Two feather lines along the wing's back half, and its tip in the darker colour.
            for (float off : {-0.28f, 0.22f}) {
                const float nx = -(back.y - front.y) / d, ny = (back.x - front.x) / d;
                const TVec p0 = {front.x + (back.x - front.x) * 0.45f + nx * ry * off,
                                 front.y + (back.y - front.y) * 0.45f + ny * ry * off};
                const TVec p1 = {front.x + (back.x - front.x) * 0.88f + nx * ry * off * 0.4f,
                                 front.y + (back.y - front.y) * 0.88f + ny * ry * off * 0.4f};
                m_c.Fill(Intersect(wing, Capsule(p0, p1, 0.7f)), WithAlpha(b.wingDark, 0.8f));
            }
            m_c.Fill(Intersect(wing, Circle(back.x, back.y, ry * 0.9f)), WithAlpha(b.wingDark, 0.6f),
                     {EBlend::Over, 1.0f, 1.0f});
        }
        if (b.mark == EMark::Iridescent) {
            for (float t : {0.45f, 0.68f}) {
                const TVec p = {front.x + (back.x - front.x) * t, front.y + (back.y - front.y) * t};
                m_c.Fill(Intersect(wing, Ellipse(p.x, p.y, 1.0f * s, ry)), b.tailTip);
            }
        }
        if (b.mark == EMark::ParrotFace)
            m_c.Fill(Intersect(wing, Circle(back.x, back.y, ry * 1.3f)), b.wingDark, {EBlend::Over, 1.0f, 0.8f});
    }

    void Tail() {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const float rootF = -b.bodyL * 0.82f * s, rootU = m_bodyU + b.bodyH * 0.2f * s;
        const TVec root = m_pose.P(rootF, rootU, 0);
        const TRgba edge = Shade(b.tailColour, -0.55f);
        const auto plume = [&](float f, float u, float side, float w, const TRgba& colour, const TRgba& tipColour) {
            const TVec tip = m_pose.P(rootF + f * s, rootU + u * s, side * s);
            if (std::hypot(tip.x - root.x, tip.y - root.y) < 3.5f * s) {
                // Pointing at the viewer (or away): a round tuft.
                const CShape tuft = Ellipse(tip.x, tip.y - 0.5f * s, w * 0.75f * s, w * 0.6f * s);
                m_c.Fill(Grow(tuft, 0.5f), WithAlpha(edge, 0.3f));
                m_c.Fill(tuft,
                         Radial(tip.x - 1, tip.y - 1.5f, w * s, {{0.0f, Shade(colour, 0.2f)}, {1.0f, tipColour}}));
                return;
            }
            const CShape shape = Taper(root, tip, w * s, w * 0.45f * s);
            // Seen from behind a tail lies over the back: a lighter edge keeps it from looking cut out.
            m_c.Fill(Grow(shape, 0.5f), WithAlpha(edge, m_pose.Z(-1, 0) > 0.5f ? 0.35f : 1.0f));
            m_c.Fill(shape, Linear(root.x, root.y, tip.x, tip.y, {{0.0f, colour}, {0.75f, colour}, {1.0f, tipColour}}));
        };
        const float L = b.tailLen;
        switch (b.tail) {
            case ETail::Plumes:
                for (int i = 0; i < 4; ++i)
                    plume(-L * (0.45f + 0.12f * i), L * (0.95f - 0.18f * i), (i - 1.5f) * 3.2f, 5.5f, b.tailColour,
                          b.tailTip);
                break;
            case ETail::Sickle:
                for (int i = 0; i < 4; ++i) {
                    // Arching feathers: up and back, then down.
                    const TVec mid = m_pose.P(rootF - L * (0.35f + 0.1f * i) * s, rootU + L * (1.0f - 0.15f * i) * s,
                                              (i - 1.5f) * 1.5f * s);
                    const TVec end = m_pose.P(rootF - L * (0.85f + 0.05f * i) * s, rootU + L * (0.25f - 0.1f * i) * s,
                                              (i - 1.5f) * 2.0f * s);
                    const CShape f = Polyline(QuadraticCurve(root, mid, end, 10), (3.2f - 0.4f * i) * s);
                    m_c.Fill(Grow(f, 0.5f), Shade(b.tailTip, -0.4f));
                    m_c.Fill(f, Linear(root.x, root.y - 12, end.x, end.y, {{0.0f, b.tailColour}, {1.0f, b.tailTip}}));
                }
                break;
            case ETail::Curl: {
                plume(-L * 0.7f, L * 0.55f, 0, 6.0f, b.tailColour, b.tailTip);
                const TVec curl = m_pose.P(rootF - L * 0.45f * s, rootU + L * 0.95f * s, 0);
                m_c.Fill(Shell(Circle(curl.x, curl.y, 1.6f * s), 1.0f * s), b.tailTip);
                break;
            }
            case ETail::Fan:
                for (int i = 0; i < 9; ++i) {
                    const float a = (i - 4) * 0.36f;
                    plume(-L * 0.35f, L * std::cos(a), L * std::sin(a) * 1.05f, 5.2f,
                          i % 2 ? b.tailColour : Shade(b.tailColour, -0.2f), b.tailTip);
                }
                break;
            case ETail::Train: {
                // The peacock's train trails on the ground behind it, green with eyes.
                const TVec end = m_pose.P(rootF - L * s, 1.5f * s, 0);
                const TVec end2 = m_pose.P(rootF - L * 0.85f * s, 1.0f * s, 3.0f * s);
                const TVec end3 = m_pose.P(rootF - L * 0.85f * s, 1.0f * s, -3.0f * s);
                const CShape train = Union(
                    {Taper(root, end, 7 * s, 9 * s), Taper(root, end2, 6 * s, 7 * s), Taper(root, end3, 6 * s, 7 * s)});
                m_c.Fill(Grow(train, 0.6f), Shade(b.tailColour, -0.6f));
                m_c.Fill(train, Linear(root.x, root.y, end.x, end.y,
                                       {{0.0f, Shade(b.tailColour, -0.2f)}, {1.0f, b.tailColour}}));
                for (float t : {0.45f, 0.72f, 0.95f}) {
                    const TVec e = {root.x + (end.x - root.x) * t, root.y + (end.y - root.y) * t};
                    m_c.Fill(Intersect(train, Ellipse(e.x, e.y, 2.1f * s, 1.7f * s)), b.tailTip);
                    m_c.Fill(Intersect(train, Circle(e.x, e.y, 1.0f * s)), Rgb(0x1F5FC4));
                }
                break;
            }
            case ETail::Short:
                plume(-L, L * 0.35f, -1.5f, 6.0f, b.tailColour, b.tailTip);
                plume(-L, L * 0.35f, 1.5f, 6.0f, b.tailColour, b.tailTip);
                break;
            case ETail::Point:
                plume(-L, L * 0.6f, 0, 7.0f, b.tailColour, b.tailTip);
                break;
            case ETail::Long:
                plume(-L, -L * 0.35f, -1.0f, 4.0f, b.tailColour, b.tailTip);
                plume(-L * 0.9f, -L * 0.3f, 1.2f, 4.0f, b.wingDark, b.tailTip);
                break;
        }
    }

    void Leg(float side, float foot, float lift) {
        const TBirdLook& b = m_b;
        const float s = m_scale;
        const float across = side * b.bodyW * 0.38f * s;
        const TVec hip = m_pose.P(foot * 0.3f, m_bodyU - b.bodyH * 0.55f * s, across);
        const TVec ankle = m_pose.P(foot, lift + 1.2f * s, across);
        const TRgba dark = Shade(b.legs, -0.45f);
        if (b.legLen > 0) {
            m_c.Fill(Capsule(hip, ankle, 2.6f * s), dark);
            m_c.Fill(Capsule(hip, ankle, 1.5f * s), b.legs);
        }
        const TVec heel = m_pose.P(foot, lift, across);
        if (b.webbed) {
            const TVec a = m_pose.P(foot + 4.0f * s, lift, across - 2.2f * s);
            const TVec z = m_pose.P(foot + 4.0f * s, lift, across + 2.2f * s);
            const CShape web = Grow(Polygon({heel, a, z}), 0.9f * s);
            m_c.Fill(Grow(web, 0.5f), dark);
            m_c.Fill(web, b.legs);
            return;
        }
        for (float toe : {-1.0f, 0.0f, 1.0f}) {
            const TVec end = m_pose.P(foot + 3.4f * s, lift, across + toe * 2.2f * s);
            m_c.Fill(Capsule(heel, end, 1.9f * s), dark);
            m_c.Fill(Capsule(heel, end, 1.0f * s), b.legs);
        }
    }

    CCanvas& m_c;
    const TBirdLook& m_b;
    TPose m_pose;
    float m_scale;
    float m_bob = 0, m_nod = 0, m_stride = 0, m_liftA = 0, m_liftB = 0, m_bodyU = 0;
};

const TBirdLook* BirdArg(const CRecipeContext& ctx) {
    const int n = ctx.Int("bird", 1);
    if (n < 1 || n > 12) {
        ctx.Fail("bird=" + std::to_string(n) + ": there are birds 1 to 12");
        return nullptr;
    }
    return &kBirds[n - 1];
}

}  // namespace

// bird=1..12 view=L|T|B|LT|LB: one frame of the walk cycle (8 frames) in one view. The feet
// rest on the frame's bottom less the bird's anchor height, under the frame's middle.
void BirdSheet(CCanvas& c, const CRecipeContext& ctx) {
    const TBirdLook* bird = BirdArg(ctx);
    EView view;
    if (!ViewOfName(ctx.Text("view", "B"), view)) ctx.Fail("view=" + ctx.Text("view") + " is not a view");
    if (bird == nullptr) return;
    const float phase = static_cast<float>(ctx.Frame()) / 8.0f;
    CBirdPainter(c, *bird, view, phase, ctx.Width() / 2, ctx.Height() - bird->anchor, 1.0f).Paint();
}

// bird=1..12: the bird facing the viewer at one and a half times its size on a soft light disc,
// for the shop's rows and the quests.
void BirdIcon(CCanvas& c, const CRecipeContext& ctx) {
    const TBirdLook* bird = BirdArg(ctx);
    if (bird == nullptr) return;
    const float w = ctx.Width(), h = ctx.Height();
    c.Fill(Circle(w / 2, h / 2, w / 2 - 3),
           Radial(w / 2, h / 2 - 6, w / 2,
                  {{0.0f, Rgb(0xFFFDF2)}, {0.7f, Rgb(0xF6EBCB)}, {1.0f, WithAlpha(Rgb(0xE9D8A6), 0.0f)}}),
           {EBlend::Over, 1.0f, 2.0f});
    c.Fill(Ellipse(w / 2, h - 16, 22, 5), WithAlpha(kBlack, 0.2f), {EBlend::Over, 1.0f, 2.0f});
    CBirdPainter(c, *bird, EView::LeftFront, 0.0f, w / 2, h - 16, 1.5f).Paint();
}

}  // namespace imagegen::recipes
