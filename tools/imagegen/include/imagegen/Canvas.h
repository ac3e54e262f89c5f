// The drawing surface of the generator. A canvas covers width x height logical pixels and keeps
// supersample x supersample premultiplied float samples per pixel; shapes are filled with
// coverage from their distance functions, and Resolve() box-filters the samples down to the
// finished image. So every edge is anti-aliased twice over: by the distance ramp within a
// sample and by the box filter across samples.
#pragma once

#include <vector>

#include "imagegen/Colour.h"
#include "imagegen/Image.h"
#include "imagegen/Paint.h"
#include "imagegen/Shape.h"

namespace imagegen {

enum class EBlend {
    Over,    // the paint over what is there
    Atop,    // the paint over what is there, only where something is (the alpha stays)
    Behind,  // the paint under what is there
    Erase,   // removes what is there in proportion to the paint's alpha
};

struct TFill {
    EBlend blend = EBlend::Over;
    float opacity = 1.0f;
    // 0: a crisp anti-aliased edge. > 0: the edge ramps over this many pixels each side of the
    // outline (soft shadows, glows, feathered masks).
    float feather = 0.0f;
};

class CCanvas {
public:
    CCanvas(int width, int height, int supersample = 4);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Supersample() const { return m_ss; }
    // The logical coordinate of the canvas's top-left corner (default 0, 0): a recipe that draws
    // a whole sheet can render one frame by moving the origin to that frame.
    void SetOrigin(float x, float y);

    void Fill(const CShape& shape, const TPaint& paint, const TFill& fill = {});
    void Fill(const CShape& shape, const TRgba& colour, const TFill& fill = {});
    // A soft shadow of the shape moved by (dx, dy), under everything drawn before.
    void Shadow(const CShape& shape, float dx, float dy, float softness, const TRgba& colour);
    // Paints every sample (a full-canvas fill).
    void FillAll(const TPaint& paint, const TFill& fill = {});

    // The finished image: each pixel the mean of its samples, alpha unpremultiplied.
    CImage Resolve() const;

private:
    void FillSamples(const CShape* shape, const TPaint& paint, const TFill& fill);
    void Blend(float* d, const TRgba& s, float coverage, EBlend blend) const;

    int m_width, m_height, m_ss;
    float m_originX = 0, m_originY = 0;
    std::vector<float> m_samples;  // premultiplied r, g, b, a per sample
};

}  // namespace imagegen
