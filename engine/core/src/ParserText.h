// Private to the parser: a text collector that keeps short text on the stack, so building a
// line or a list part costs no allocation for the usual short values.
#pragma once

#include <cstring>
#include <string>

#include "core/CommonString.h"

class CParserText {
public:
    void Add(char c) {
        if (!spill_.empty() || length_ == kInline) {
            if (spill_.empty()) spill_.assign(inline_, length_);
            spill_.push_back(c);
        } else {
            inline_[length_] = c;
        }
        ++length_;
    }
    void Clear() {
        length_ = 0;
        spill_.clear();
    }
    int Length() const { return static_cast<int>(length_); }
    bool Empty() const { return length_ == 0; }
    char Last() const { return spill_.empty() ? inline_[length_ - 1] : spill_.back(); }
    void DropLast() {
        --length_;
        if (!spill_.empty()) spill_.pop_back();
    }
    // The text so far; Add never receives a zero byte, so the string's length is ours.
    CommonStringRS<50> ToString() {
        if (!spill_.empty()) return CommonStringRS<50>(spill_.c_str());
        inline_[length_] = '\0';
        return CommonStringRS<50>(inline_);
    }

private:
    static constexpr std::size_t kInline = 127;
    char inline_[kInline + 1];
    std::size_t length_ = 0;
    std::string spill_;  // the whole text once it outgrows inline_
};
