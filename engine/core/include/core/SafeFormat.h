#pragma once
// Filling in texts that come from data (templates, the localisation table): such a text is a
// format written by a translator or a designer, never trusted as a printf format. SafeFormat
// replaces only the conversions it knows, each with the caller's next value, and copies every
// other '%' sequence as it stands, so a stray "%n", "%s" too many or a "100%" can neither read
// past the values given nor crash. For texts that are well formed for the values given the
// result equals snprintf's. Stateless; any thread.

#include <initializer_list>

#include "core/CommonString.h"

// One value for SafeFormat: an integer for "%d" or a text for "%s".
struct TFormatArg {
    enum class EKind { Int, Text };
    TFormatArg(int value) : kind(EKind::Int), number(value) {}
    TFormatArg(const char* value) : kind(EKind::Text), text(value) {}
    TFormatArg(const CommonString& value) : kind(EKind::Text), text(value.GetData()) {}

    EKind kind;
    int number = 0;
    const char* text = nullptr;  // null writes nothing
};

// The format with "%%" turned into '%', and each "%d" and "%s" replaced by the next value in
// order. A conversion whose value is missing, or is of the other kind, stays as literal text (a
// value of the wrong kind is still used up, so later values keep their places). Every other '%'
// sequence (flags, widths, other letters, a '%' at the end) is copied unchanged. The result has
// no length limit; a null format gives the empty string.
[[nodiscard]] CommonString SafeFormat(const char* format, std::initializer_list<TFormatArg> args);
