// Feeds arbitrary bytes to the style-table reader and checks the table's limits and lookups.
#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/UILayout.h"

namespace {

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    CUILayout layout(nullptr);
    const int result = layout.LoadFromUILayoutBytes(bytes, "fuzz");
    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(layout.GetFontCount() >= 0 && layout.GetFontCount() <= CUILayout::kMaxFonts);
    FUZZ_CHECK(layout.GetStyleCount() >= 0 && layout.GetStyleCount() <= CUILayout::kMaxStyles);
    for (int i = 0; i < layout.GetStyleCount(); ++i) {
        const UILayout_StyleData* style = layout.GetStyleAt(i);
        FUZZ_CHECK(style->effect < kTextEffectCount);
        const UILayout_StyleData* found = layout.GetStyleById(style->id);
        FUZZ_CHECK(found == nullptr || found == layout.GetStyleAt(0) || found->id == style->id);
    }
    for (int i = 0; i < layout.GetFontCount(); ++i) (void)layout.GetFontById(layout.GetFontAt(i)->id);
    layout.PrepareFontPointersForStyles();
    // A second read adds to the table and stays within the limits.
    (void)layout.LoadFromUILayoutBytes(bytes, "fuzz");
    FUZZ_CHECK(layout.GetFontCount() <= CUILayout::kMaxFonts);
    return 0;
}
