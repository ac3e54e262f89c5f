// Filling shapes into the supersampled canvas, and resolving it to an image.
#include "imagegen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

namespace {

// Half the diagonal of one logical pixel plus a margin for distance functions that are only
// near-exact (ellipses, scaled shapes): a pixel whose centre lies farther from the outline is
// wholly inside or wholly outside.
constexpr float kBlockReach = 1.25f;

float Smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

}  // namespace

CCanvas::CCanvas(int width, int height, int supersample)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_ss(std::max(supersample, 1)),
      m_samples(static_cast<std::size_t>(m_width) * m_height * m_ss * m_ss * 4, 0.0f) {}

void CCanvas::SetOrigin(float x, float y) {
    m_originX = x;
    m_originY = y;
}

void CCanvas::Fill(const CShape& shape, const TPaint& paint, const TFill& fill) {
    if (shape.IsEmpty()) return;
    FillSamples(&shape, paint, fill);
}

void CCanvas::Fill(const CShape& shape, const TRgba& colour, const TFill& fill) { Fill(shape, Solid(colour), fill); }

void CCanvas::Shadow(const CShape& shape, float dx, float dy, float softness, const TRgba& colour) {
    TFill fill;
    fill.blend = EBlend::Behind;
    fill.feather = softness;
    Fill(Translate(shape, dx, dy), colour, fill);
}

void CCanvas::FillAll(const TPaint& paint, const TFill& fill) { FillSamples(nullptr, paint, fill); }

void CCanvas::Blend(float* d, const TRgba& s, float coverage, EBlend blend) const {
    const float a = std::clamp(s.a * coverage, 0.0f, 1.0f);
    if (a <= 0) return;
    switch (blend) {
        case EBlend::Over:
            d[0] = s.r * a + d[0] * (1 - a);
            d[1] = s.g * a + d[1] * (1 - a);
            d[2] = s.b * a + d[2] * (1 - a);
            d[3] = a + d[3] * (1 - a);
            break;
        case EBlend::Atop:
            d[0] = s.r * a * d[3] + d[0] * (1 - a);
            d[1] = s.g * a * d[3] + d[1] * (1 - a);
            d[2] = s.b * a * d[3] + d[2] * (1 - a);
            break;
        case EBlend::Behind: {
            const float k = a * (1 - d[3]);
            d[0] += s.r * k;
            d[1] += s.g * k;
            d[2] += s.b * k;
            d[3] += k;
            break;
        }
        case EBlend::Erase:
            for (int c = 0; c < 4; ++c) d[c] *= 1 - a;
            break;
    }
}

void CCanvas::FillSamples(const CShape* shape, const TPaint& paint, const TFill& fill) {
    const float step = 1.0f / static_cast<float>(m_ss);
    const float feather = fill.feather;
    // Pixels the shape can reach: its box grown by the feather and one pixel of ramp.
    int px0 = 0, py0 = 0, px1 = m_width, py1 = m_height;
    if (shape != nullptr) {
        const TBox box = shape->Bounds().Grown(feather + 1.0f);
        px0 = std::max(0, static_cast<int>(std::floor(box.x0 - m_originX)));
        py0 = std::max(0, static_cast<int>(std::floor(box.y0 - m_originY)));
        px1 = std::min(m_width, static_cast<int>(std::ceil(box.x1 - m_originX)) + 1);
        py1 = std::min(m_height, static_cast<int>(std::ceil(box.y1 - m_originY)) + 1);
    }
    const int rowSamples = m_width * m_ss;
    const float reach = kBlockReach + feather;
    for (int py = py0; py < py1; ++py) {
        for (int px = px0; px < px1; ++px) {
            // One distance at the pixel centre settles most pixels at once.
            bool inside = shape == nullptr;
            if (shape != nullptr) {
                const float dc = shape->Distance(m_originX + px + 0.5f, m_originY + py + 0.5f);
                if (dc > reach) continue;
                inside = dc < -reach;
            }
            for (int sy = 0; sy < m_ss; ++sy) {
                const float y = m_originY + static_cast<float>(py) + (static_cast<float>(sy) + 0.5f) * step;
                float* row = &m_samples[(static_cast<std::size_t>(py * m_ss + sy) * rowSamples + px * m_ss) * 4];
                for (int sx = 0; sx < m_ss; ++sx) {
                    const float x = m_originX + static_cast<float>(px) + (static_cast<float>(sx) + 0.5f) * step;
                    float coverage = 1.0f;
                    if (!inside) {
                        const float d = shape->Distance(x, y);
                        coverage = feather > 0 ? Smooth(feather, -feather, d) : std::clamp(0.5f - d * m_ss, 0.0f, 1.0f);
                    }
                    coverage *= fill.opacity;
                    if (coverage <= 0) continue;
                    Blend(row + sx * 4, paint(x, y), coverage, fill.blend);
                }
            }
        }
    }
}

CImage CCanvas::Resolve() const {
    CImage image(m_width, m_height);
    const int rowSamples = m_width * m_ss;
    const float n = static_cast<float>(m_ss * m_ss);
    for (int py = 0; py < m_height; ++py) {
        for (int px = 0; px < m_width; ++px) {
            float sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < m_ss; ++sy) {
                const float* s = &m_samples[(static_cast<std::size_t>(py * m_ss + sy) * rowSamples + px * m_ss) * 4];
                for (int sx = 0; sx < m_ss * 4; ++sx) sum[sx % 4] += s[sx];
            }
            std::uint8_t* out = image.At(px, py);
            const float alpha = std::clamp(sum[3] / n, 0.0f, 1.0f);
            const auto byte = [](float v) {
                return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
            };
            out[3] = byte(alpha);
            if (out[3] == 0) continue;
            for (int c = 0; c < 3; ++c) out[c] = byte(sum[c] / sum[3]);
        }
    }
    return image;
}

}  // namespace imagegen
