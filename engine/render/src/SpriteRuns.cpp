#include "SpriteRuns.h"

namespace render_detail {

namespace {

// Clear and opaque runs of alpha shorter than this join the mixed runs beside them: the row
// kernels pass a few clear or opaque pixels as cheaply as a run of their own costs to walk. Key
// runs are never mixed: a short copy costs less than the kernel's compare.
constexpr int kShortestAlphaRun = 8;
// A table of spans shorter than this on average costs more to walk than the row kernels' own scan
// (noise-like alpha, scattered keys): such a bitmap keeps no table.
constexpr int kShortestAverageSpan = 24;

}  // namespace

template <class Classify>
std::unique_ptr<CRunTable> CRunTable::Build(int w, int h, int shortestRun, Classify&& classify) {
    auto table = std::make_unique<CRunTable>();
    table->m_RowStart.reserve(static_cast<std::size_t>(h) + 1);
    struct TRun {
        int length;
        Kind kind;
    };
    std::vector<TRun> runs;
    for (int y = 0; y < h; ++y) {
        table->m_RowStart.push_back(static_cast<std::uint32_t>(table->m_Spans.size()));
        // Runs of one kind, short ones made mixed, neighbours of one kind joined.
        runs.clear();
        for (int x = 0; x < w;) {
            Kind kind = classify(y, x);
            int end = x + 1;
            while (end < w && classify(y, end) == kind) {
                ++end;
            }
            if (kind != Kind::Mixed && end - x < shortestRun) {
                kind = Kind::Mixed;
            }
            if (!runs.empty() && runs.back().kind == kind) {
                runs.back().length += end - x;
            } else {
                runs.push_back({end - x, kind});
            }
            x = end;
        }
        // Spans: skip, mixed, whole in that order; a run of an earlier kind, or one too long for
        // a field, opens the next span.
        TSpan span{0, 0, 0};
        bool open = false;
        for (TRun run : runs) {
            while (run.length > 0) {
                std::uint16_t* field = run.kind == Kind::Skip    ? &span.skip
                                       : run.kind == Kind::Mixed ? &span.mixed
                                                                 : &span.whole;
                const bool laterFieldUsed =
                    (run.kind == Kind::Skip && (span.mixed || span.whole)) || (run.kind == Kind::Mixed && span.whole);
                if (open && (laterFieldUsed || *field == 0xFFFF)) {
                    table->m_Spans.push_back(span);
                    span = {0, 0, 0};
                }
                field = run.kind == Kind::Skip ? &span.skip : run.kind == Kind::Mixed ? &span.mixed : &span.whole;
                const int take = run.length < 0xFFFF - *field ? run.length : 0xFFFF - *field;
                *field = static_cast<std::uint16_t>(*field + take);
                run.length -= take;
                open = true;
            }
        }
        if (open) {
            table->m_Spans.push_back(span);
        }
    }
    table->m_RowStart.push_back(static_cast<std::uint32_t>(table->m_Spans.size()));
    if (table->m_Spans.size() * kShortestAverageSpan > static_cast<std::size_t>(w) * h) {
        return nullptr;
    }
    return table;
}

std::unique_ptr<CRunTable> CRunTable::FromAlpha(const unsigned char* alpha, int w, int h, int skipAtOrBelow,
                                                int wholeFrom) {
    return Build(w, h, kShortestAlphaRun, [&](int y, int x) {
        const int a = alpha[static_cast<std::size_t>(y) * w + x];
        return a <= skipAtOrBelow ? Kind::Skip : a >= wholeFrom ? Kind::Whole : Kind::Mixed;
    });
}

std::unique_ptr<CKeyRunTable> CKeyRunTable::FromKey(const std::uint16_t* pixels, int w, int h, std::uint16_t key) {
    auto table = std::make_unique<CKeyRunTable>();
    table->m_RowStart.reserve(static_cast<std::size_t>(h) + 1);
    std::size_t runs = 0;
    for (int y = 0; y < h; ++y) {
        table->m_RowStart.push_back(static_cast<std::uint32_t>(table->m_Stream.size()));
        const std::uint16_t* row = pixels + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w;) {
            int skip = 0;
            while (x + skip < w && row[x + skip] == key) {
                ++skip;
            }
            x += skip;
            if (x == w) {
                break;  // the key to the row's end is left out
            }
            int count = 0;
            while (x + count < w && row[x + count] != key) {
                ++count;
            }
            // Counts are 16-bit: a longer run is cut into runs that skip nothing.
            while (skip > 0xFFFF) {
                table->m_Stream.insert(table->m_Stream.end(), {0xFFFF, 0});
                skip -= 0xFFFF;
            }
            for (int done = 0; done < count;) {
                const int take = count - done < 0xFFFF ? count - done : 0xFFFF;
                table->m_Stream.push_back(static_cast<std::uint16_t>(done == 0 ? skip : 0));
                table->m_Stream.push_back(static_cast<std::uint16_t>(take));
                table->m_Stream.insert(table->m_Stream.end(), row + x + done, row + x + done + take);
                done += take;
                ++runs;
            }
            x += count;
        }
    }
    table->m_RowStart.push_back(static_cast<std::uint32_t>(table->m_Stream.size()));
    if (runs * kShortestAverageSpan > static_cast<std::size_t>(w) * h) {
        return nullptr;
    }
    table->m_Stream.shrink_to_fit();
    return table;
}

}  // namespace render_detail
