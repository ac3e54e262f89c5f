// Private to engine/render: the run table of a sprite. Each stored row is cut into spans, each a
// run of pixels a blit passes over (clear enough that the blit leaves them alone, or the key
// colour), then a run of mixed pixels that the row kernels draw pixel by pixel, then a run it
// copies or fades alike (opaque enough, or not the key); any of the three may be empty. A blit
// then touches neither the pixels nor the alpha of a clear run. Built from the planes as they are,
// and dropped by the bitmap whenever a plane may change (see CWinDibBitmap::PlanesMayChange).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace render_detail {

class CRunTable {
public:
    // Runs of alpha up to skipAtOrBelow, of alpha wholeFrom and above, and of the rest; null when
    // the runs are too short to pay.
    static std::unique_ptr<CRunTable> FromAlpha(const unsigned char* alpha, int w, int h, int skipAtOrBelow,
                                                int wholeFrom);
    // Calls f(mixedAt, mixedLength, wholeAt, wholeLength) for each span of stored row `row` that
    // reaches into [x, x + n), its runs cut to that window and counted from x; mixed pixels come
    // before the whole run in each call, and the calls go left to right.
    template <class F>
    void ForEachSpan(int row, int x, int n, F&& f) const;

    struct TSpan {
        std::uint16_t skip, mixed, whole;
    };
    // The spans of stored row `row`, left to right, covering the whole row.
    const TSpan* RowBegin(int row) const { return m_Spans.data() + m_RowStart[static_cast<std::size_t>(row)]; }
    const TSpan* RowEnd(int row) const { return m_Spans.data() + m_RowStart[static_cast<std::size_t>(row) + 1]; }

private:
    enum class Kind : std::uint8_t { Skip, Mixed, Whole };
    template <class Classify>
    static std::unique_ptr<CRunTable> Build(int w, int h, int shortestRun, Classify&& classify);

    std::vector<std::uint32_t> m_RowStart;  // h + 1 indices into m_Spans
    std::vector<TSpan> m_Spans;
};

template <class F>
void CRunTable::ForEachSpan(int row, int x, int n, F&& f) const {
    const int end = x + n;
    int at = 0;
    const TSpan* const last = RowEnd(row);
    for (const TSpan* s = RowBegin(row); s != last && at < end; ++s) {
        const int mixedFrom = at + s->skip;
        const int wholeFrom = mixedFrom + s->mixed;
        const int next = wholeFrom + s->whole;
        if (at >= x && next <= end) {
            // Inside the window, as every span is when a blit takes whole rows.
            f(mixedFrom - x, static_cast<int>(s->mixed), wholeFrom - x, static_cast<int>(s->whole));
        } else if (next > x) {
            const int m0 = mixedFrom > x ? mixedFrom : x, m1 = wholeFrom < end ? wholeFrom : end;
            const int w0 = wholeFrom > x ? wholeFrom : x, w1 = next < end ? next : end;
            f(m0 - x, m1 > m0 ? m1 - m0 : 0, w0 - x, w1 > w0 ? w1 - w0 : 0);
        }
        at = next;
    }
}

// The run table of a colour-keyed sprite, with its own copy of the pixels that are not the key:
// each stored row is a stream of runs, each a count of key pixels to pass over, a count of pixels
// to draw and those pixels, packed. A blit then reads only the pixels it draws, one after the
// other, and never the key pixels around them (a sprite is often more than half key).
class CKeyRunTable {
public:
    // Null when the runs are too short to pay (scattered keys), as CRunTable.
    static std::unique_ptr<CKeyRunTable> FromKey(const std::uint16_t* pixels, int w, int h, std::uint16_t key);

    // The stream of stored row `row`: (skip, count, count pixels) after one another.
    const std::uint16_t* RowBegin(int row) const { return m_Stream.data() + m_RowStart[static_cast<std::size_t>(row)]; }
    const std::uint16_t* RowEnd(int row) const {
        return m_Stream.data() + m_RowStart[static_cast<std::size_t>(row) + 1];
    }

    // Calls f(at, length, pixels) for each run of drawn pixels of stored row `row` that reaches
    // into [x, x + n), cut to that window; `at` counts from x, `pixels` are the run's first ones.
    template <class F>
    void ForEachRun(int row, int x, int n, F&& f) const;

private:
    std::vector<std::uint32_t> m_RowStart;  // h + 1 indices into m_Stream
    std::vector<std::uint16_t> m_Stream;
};

template <class F>
void CKeyRunTable::ForEachRun(int row, int x, int n, F&& f) const {
    const int end = x + n;
    int at = 0;
    const std::uint16_t* const last = RowEnd(row);
    for (const std::uint16_t* p = RowBegin(row); p != last && at < end;) {
        at += p[0];
        const int count = p[1];
        const int from = at > x ? at : x;
        const int to = at + count < end ? at + count : end;
        if (to > from) {
            f(from - x, to - from, p + 2 + (from - at));
        }
        at += count;
        p += 2 + count;
    }
}

}  // namespace render_detail
