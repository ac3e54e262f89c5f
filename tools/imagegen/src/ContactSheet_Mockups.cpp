// Mock-ups on the contact sheet: the start menu's scene put together at the places the start
// menu draws each picture (on a 320 x 480 screen), with its button panel and an options popup
// over it, so the pictures can be judged together and not only one by one.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "ContactSheet_Internal.h"
#include "imagegen/Generate.h"

namespace imagegen {

namespace {

namespace fs = std::filesystem;

constexpr int kW = 320, kH = 480;

struct TPixel {
    float r, g, b, a;
};

TPixel Sample(const CImage& src, float x, float y) {
    // Bilinear, with transparent black outside.
    const float fx = std::floor(x - 0.5f), fy = std::floor(y - 0.5f);
    const float tx = x - 0.5f - fx, ty = y - 0.5f - fy;
    TPixel out{0, 0, 0, 0};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const int px = static_cast<int>(fx) + i, py = static_cast<int>(fy) + j;
            if (px < 0 || py < 0 || px >= src.Width() || py >= src.Height()) continue;
            const float w = (i ? tx : 1 - tx) * (j ? ty : 1 - ty);
            const std::uint8_t* p = src.At(px, py);
            const float a = p[3] / 255.0f;
            out.r += w * a * p[0];
            out.g += w * a * p[1];
            out.b += w * a * p[2];
            out.a += w * a;
        }
    }
    return out;  // premultiplied colour, 0..255
}

}  // namespace

void DrawScaled(CImage& dst, const CImage& src, float x, float y, float ax, float ay, float sx, float sy,
                const TDrawLook& look) {
    if (src.IsEmpty() || sx <= 0 || sy <= 0) return;
    const float left = x - ax * sx, top = y - ay * sy;
    const int x0 = std::max(0, static_cast<int>(std::floor(left))), y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int x1 = std::min(dst.Width(), static_cast<int>(std::ceil(left + src.Width() * sx)));
    const int y1 = std::min(dst.Height(), static_cast<int>(std::ceil(top + src.Height() * sy)));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const TPixel s = Sample(src, (px + 0.5f - left) / sx, (py + 0.5f - top) / sy);
            if (s.a <= 0) continue;
            std::uint8_t* d = dst.At(px, py);
            const float a = s.a * look.alpha;
            const float c[3] = {s.r * look.tint[0] / 255.0f, s.g * look.tint[1] / 255.0f, s.b * look.tint[2] / 255.0f};
            for (int k = 0; k < 3; ++k) {
                // c is premultiplied by the image's alpha; the look's alpha scales it once more.
                const float add = c[k] * look.alpha;
                const float v = look.additive ? d[k] + add : add + d[k] * (1 - a);
                d[k] = static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
            }
            d[3] = 255;
        }
    }
}

bool BuildMockups(const std::string& imagesDir, const std::map<std::string, TBakedFontView>& fonts,
                  const std::map<std::string, TStyleView>& styles, CImage& out, std::string& error) {
    std::map<std::string, CImage> images;
    const auto image = [&](const std::string& name) -> const CImage& {
        auto it = images.find(name);
        if (it == images.end()) {
            std::string bytes, why;
            CImage decoded;
            if (!ReadWholeFile((fs::path(imagesDir) / (name + ".png")).string(), bytes) ||
                !DecodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), decoded, why)) {
                if (error.empty()) error = "mock-up: cannot read " + name;
            }
            it = images.emplace(name, std::move(decoded)).first;
        }
        return it->second;
    };
    const auto frame = [&](const std::string& name, int index, int count) {
        const CImage& sheet = image(name);
        const int w = count > 0 ? sheet.Width() / count : 0;
        CImage f(w, sheet.Height());
        for (int y = 0; y < f.Height(); ++y)
            for (int x = 0; x < w; ++x) std::copy_n(sheet.At(index * w + x, y), 4, f.At(x, y));
        return f;
    };
    const auto text = [&](CImage& dst, const std::string& style, const std::string& s, int cx, int y) {
        const auto st = styles.find(style);
        if (st == styles.end()) return;
        const auto font = fonts.find(st->second.fontId);
        if (font == fonts.end()) return;
        DrawBakedText(dst, font->second, s, cx - TextWidth(font->second, s) / 2, y, st->second.rgb, st->second.effect);
    };
    const auto lineHeight = [&](const std::string& style) {
        const auto st = styles.find(style);
        const auto font = st != styles.end() ? fonts.find(st->second.fontId) : fonts.end();
        return font != fonts.end() ? font->second.glyphs.Height() / 14 : 0;
    };
    const TDrawLook plain;
    CImage menu(kW, kH);
    // The start menu, back to front.
    const CImage& bg = image("ui/startmenu/menubg_1");
    const int skyBottom = kH + 2 - bg.Height();
    for (int y = 0; y < kH; ++y) {
        const float t = std::clamp(static_cast<float>(y) / static_cast<float>(skyBottom), 0.0f, 1.0f);
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = menu.At(x, y);
            p[0] = static_cast<std::uint8_t>(0 + 255 * t);
            p[1] = static_cast<std::uint8_t>(100 + 155 * t);
            p[2] = static_cast<std::uint8_t>(200 + 55 * t);
            p[3] = 255;
        }
    }
    const float cloudX[] = {40, 250, 150, 300, 90, 200}, cloudY[] = {10, 30, 60, 95, 110, 5};
    for (int i = 0; i < 6; ++i) {
        const CImage& cloud = image("farm/cloud-" + std::to_string(i + 1));
        const float f = (255 - cloudY[i]) / 255.0f;
        DrawScaled(menu, cloud, cloudX[i], cloudY[i], cloud.Width() / 2.0f, cloud.Height() / 2.0f, 1.15f * f, 1.15f * f,
                   {32 / 255.0f, {255, 255, 255}, false});
        DrawScaled(menu, cloud, cloudX[i], cloudY[i], cloud.Width() / 2.0f, cloud.Height() / 2.0f, f, f,
                   {(255 - cloudY[i]) / 255.0f, {255, 255, 255}, false});
    }
    const CImage& sun = image("ui/startmenu/menu_sun2");
    DrawScaled(menu, sun, kW / 2.0f, kH - 290.0f, sun.Width() / 2.0f, sun.Height() / 2.0f, 1.6f, 1.6f,
               {55 / 255.0f, {255, 255, 0}, true});
    DrawScaled(menu, bg, (kW - bg.Width()) / 2.0f, static_cast<float>(kH - bg.Height()), 0, 0, 1, 1, plain);
    const CImage& shadow = image("ui/startmenu/bird_shadow");
    DrawScaled(menu, shadow, kW / 2.0f - 15, kH - 214.0f, shadow.Width() / 2.0f, shadow.Height() / 2.0f, 1, 1,
               {127 / 255.0f, {255, 255, 255}, false});
    const CImage& bush1 = image("ui/startmenu/bush1");
    const CImage& bush2 = image("ui/startmenu/bush2");
    DrawScaled(menu, bush1, -30, kH - bg.Height() + 15.0f - bush1.Height() / 2.0f, 0, 0, 1, 1, plain);
    DrawScaled(menu, bush2, kW + 20.0f - bush2.Width(), kH - bg.Height() + 15.0f - bush2.Height() / 2.0f, 0, 0, 1, 1,
               plain);
    const CImage& title = image("ui/startmenu/menu_title");
    DrawScaled(menu, title, kW / 2.0f, 65, title.Width() / 2.0f, title.Height() / 2.0f, 1, 1, plain);
    const float s = 0.9375f;
    for (const auto& [name, y] : {std::pair<std::string, float>{"ui/startmenu/menu_chicken", kH - 359.0f},
                                  {"ui/startmenu/menu_chicken_egg", kH - 334.0f},
                                  {"ui/startmenu/menu_eggs", kH - 280.0f}}) {
        const CImage& im = image(name);
        DrawScaled(menu, im, kW / 2.0f, y, im.Width() / 2.0f, im.Height() / 2.0f, s, s, plain);
    }
    const CImage& bird1 = image("ui/startmenu/menu_bird1");
    const CImage& bird2 = image("ui/startmenu/menu_bird2");
    const CImage& hat1 = image("ui/startmenu/hat1");
    const CImage& hat2 = image("ui/startmenu/hat2");
    const float b1x = kW / 2.0f - 65, b1y = kH - 267 + bird1.Height() / 2.0f;
    const float b2x = kW / 2.0f + 60, b2y = kH - 273 + bird2.Height() / 2.0f;
    DrawScaled(menu, bird1, b1x, b1y, bird1.Width() / 2.0f, static_cast<float>(bird1.Height()), s, s, plain);
    DrawScaled(menu, hat1, b1x, b1y, hat1.Width() / 2.0f + 10, hat1.Height() + 90.0f, s, s, plain);
    DrawScaled(menu, bird2, b2x, b2y, bird2.Width() / 2.0f, static_cast<float>(bird2.Height()), s, s, plain);
    DrawScaled(menu, hat2, b2x, b2y, hat2.Width() / 2.0f - 28, hat2.Height() + 94.0f, s, s, plain);
    // The button panel of the start menu.
    const auto button = [&](const std::string& set, int frames, int x, int y, const std::string& caption) {
        const CImage f = frame("sprites/ui/" + set, 0, frames);
        DrawScaled(menu, f, static_cast<float>(x), static_cast<float>(y), 0, 0, 1, 1, plain);
        if (!caption.empty())
            text(menu, "st_button", caption, x + f.Width() / 2, y + (f.Height() - 3 - lineHeight("st_button")) / 2);
    };
    button("ib_exit", 2, 4, 4, "");
    button("ib_gear", 2, kW - 48, 4, "");
    button("btn_green_l", 2, kW / 2 - 100, kH - 180, "Play");
    button("btn_small", 2, 8, kH - 120, "Quests");
    button("btn_small", 2, 112, kH - 120, "Scores");
    button("btn_small", 2, 216, kH - 120, "Awards");
    button("btn_small", 2, 8, kH - 80, "Stats");
    button("ib_globe", 2, 184, kH - 82, "");
    button("ib_chat", 2, 228, kH - 82, "");
    button("ib_star", 2, 272, kH - 82, "");
    button("plate_welcome", 2, kW / 2 - 120, kH - 40 - 18, "");
    text(menu, "st_normal", "Welcome, Player!", kW / 2, kH - 38 - lineHeight("st_normal") / 2 - 2);
    text(menu, "st_small", "tap to change player", kW / 2, kH - 20 - lineHeight("st_small") / 2 - 2);

    // The options popup over the same screen, which the dialog dims to alpha 192.
    CImage popup = menu;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int k = 0; k < 3; ++k) popup.At(x, y)[k] = static_cast<std::uint8_t>(popup.At(x, y)[k] * 63 / 255);
    const int tilesX = 17, tilesY = 20, pw = 32 + 16 * tilesX, ph = 32 + 16 * tilesY;
    const int px = (kW - pw) / 2, py = (kH - ph) / 2;
    for (int row = 0; row < tilesY + 2; ++row) {
        for (int col = 0; col < tilesX + 2; ++col) {
            const int tr = row == 0 ? 0 : row == tilesY + 1 ? 2 : 1, tc = col == 0 ? 0 : col == tilesX + 1 ? 2 : 1;
            CImage tile(16, 16);
            const CImage& sheet = image("sprites/ui/panel_tiles");
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16 && !sheet.IsEmpty(); ++x)
                    std::copy_n(sheet.At(tc * 16 + x, tr * 16 + y), 4, tile.At(x, y));
            DrawScaled(popup, tile, static_cast<float>(px + col * 16), static_cast<float>(py + row * 16), 0, 0, 1, 1,
                       plain);
        }
    }
    text(popup, "st_title", "Options", kW / 2, py + 12);
    const auto put = [&](CImage& dst, const std::string& name, int frames, int index, int x, int y) {
        const CImage f = frame(name, index, frames);
        DrawScaled(dst, f, static_cast<float>(x), static_cast<float>(y), 0, 0, 1, 1, plain);
        return f.Width();
    };
    for (int i = 0; i < 2; ++i) {
        const int y = py + 52 + i * 52;
        const auto st = styles.find("st_label");
        if (st != styles.end() && fonts.count(st->second.fontId) != 0)
            DrawBakedText(popup, fonts.at(st->second.fontId), i == 0 ? "Music" : "Sound", px + 24, y, st->second.rgb,
                          st->second.effect);
        put(popup, "sprites/ui/tuner_track", 1, 0, px + 24, y + 24);
        CImage fill = frame("sprites/ui/tuner_fill", 0, 1);
        const int filled = i == 0 ? 110 : 64;
        CImage part(filled, fill.Height());
        for (int yy = 0; yy < fill.Height(); ++yy)
            for (int xx = 0; xx < filled; ++xx) std::copy_n(fill.At(xx, yy), 4, part.At(xx, yy));
        DrawScaled(popup, part, static_cast<float>(px + 24), static_cast<float>(y + 24), 0, 0, 1, 1, plain);
        put(popup, "sprites/ui/tuner_handle", 2, 0, px + 24 + filled - 12, y + 18);
        text(popup, "st_normal", i == 0 ? "70%" : "40%", px + 220, y + 22);
    }
    put(popup, "sprites/ui/chk_on", 1, 0, px + 24, py + 160);
    {
        const auto st = styles.find("st_normal");
        if (st != styles.end() && fonts.count(st->second.fontId) != 0)
            DrawBakedText(popup, fonts.at(st->second.fontId), "Show the tutorial", px + 56, py + 164, st->second.rgb,
                          st->second.effect);
    }
    put(popup, "sprites/ui/hz_line", 1, 0, px + 12, py + 196);
    const int bw = put(popup, "sprites/ui/btn_blue_m", 2, 0, px + 20, py + 214);
    text(popup, "st_button", "Language", px + 20 + bw / 2, py + 214 + 8);
    put(popup, "sprites/ui/btn_blue_m", 2, 1, px + pw - 20 - bw, py + 214);
    text(popup, "st_button", "Credits", px + pw - 20 - bw / 2, py + 214 + 9);
    put(popup, "sprites/ui/btn_green_m", 2, 0, kW / 2 - bw / 2, py + ph - 64);
    text(popup, "st_button", "OK", kW / 2, py + ph - 64 + 8);

    CImage both(kW * 2 + 16, kH);
    Blit(both, menu, 0, 0);
    Blit(both, popup, kW + 16, 0);
    out = std::move(both);
    return error.empty();
}

}  // namespace imagegen
