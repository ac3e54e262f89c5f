// Properties, lists, quoted names and numbers: everything the parser does with a line once it
// has been read.
#include "core/Parser.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ParserText.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return c == '=' || c == ':'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of `text` from `begin` up to `end` as a new string.
CommonStringRS<50> Slice(const CommonStringRS<50>& text, int begin, int end) {
    CParserText out;
    const char* data = text.GetData();
    for (int i = begin; i < end; ++i) out.Add(data[i]);
    return out.ToString();
}

// Shared by AToF and AToF16: the decimal text as fixed point with `fractionBits` bits.
std::int32_t ToFixed(const char* text, int shift, int fractionBits) {
    if (!text || text[0] == '\0' || std::strcmp(text, "-") == 0) return 0;
    const bool negative = text[0] == '-';
    const int first = negative ? 1 : 0;
    // Unsigned arithmetic so that overlong digit runs wrap instead of overflowing.
    std::uint32_t value = 0;
    std::uint32_t weight = 1;
    int fractionDigits = 0;
    bool dotSeen = false;
    for (int i = static_cast<int>(std::strlen(text)) - 1; i >= first; --i) {
        const char c = text[i];
        if (IsDigit(c)) {
            value += static_cast<std::uint32_t>(c - '0') * weight;
            weight *= 10;
            if (!dotSeen) ++fractionDigits;
        } else if (c == '.') {
            if (dotSeen) return 0;
            dotSeen = true;
        } else {
            break;
        }
    }
    std::int32_t signedValue = static_cast<std::int32_t>(negative ? 0u - value : value);
    if (shift > 0 && shift < 32)
        signedValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(signedValue) << shift);
    if (!dotSeen) return static_cast<std::int32_t>(static_cast<std::uint32_t>(signedValue) << fractionBits);
    double scaled =
        static_cast<double>(signedValue) / std::pow(10.0, fractionDigits) * static_cast<double>(1u << fractionBits);
    scaled += scaled < 0 ? -0.5 : 0.5;
    // Converting an out-of-range double is undefined; clamp to the 32-bit range instead.
    if (!(scaled > static_cast<double>(INT32_MIN) - 1.0)) return INT32_MIN;
    if (!(scaled < static_cast<double>(INT32_MAX) + 1.0)) return INT32_MAX;
    return static_cast<std::int32_t>(scaled);
}

}  // namespace

int Parser::IsPropertyString(const CommonStringRS<50>& line) {
    const int length = line.Length();
    if (length < 2) return 0;
    const char* data = line.GetData();
    for (int i = 0; i < length; ++i) {
        if (data[i] == '/' && i + 1 < length && data[i + 1] == '/') return 0;
        if (IsSeparator(data[i])) return 1;
    }
    return 0;
}

int Parser::ReadPropertyFromString(const CommonStringRS<50>& line, CommonStringRS<50>& name,
                                   CommonStringRS<50>& value) {
    name = CommonStringRS<50>();
    value = CommonStringRS<50>();
    if (line.Length() == 0) return 0;
    if (!IsPropertyString(line)) {
        value = RemoveLastSpaces(line);
        return 1;
    }
    CParserText nameText;
    CParserText valueText;
    bool quoted = false;
    bool nameDone = false;
    const char* data = line.GetData();
    for (int i = 0; i < line.Length(); ++i) {
        const char c = data[i];
        if (IsSeparator(c) && !quoted) {
            nameDone = true;
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (!nameDone)
            nameText.Add(c);
        else if (!(valueText.Empty() && IsBlank(c)))
            valueText.Add(c);
    }
    name = RemoveLastSpaces(nameText.ToString());
    value = RemoveLastSpaces(valueText.ToString());
    return 1;
}

void Parser::GetSubStringsArrayVar(const CommonStringRS<50>& value, int maxCount, CommonStringRS<50>* parts,
                                   int& count) {
    count = 0;
    if (!parts || maxCount <= 0) return;
    for (int i = 0; i < maxCount; ++i) parts[i] = CommonStringRS<50>();
    const char* data = value.GetData();
    bool quoted = false;
    bool newPart = true;
    int index = -1;
    bool stopped = false;
    CParserText part;
    for (int i = 0; i < value.Length(); ++i) {
        const char c = data[i];
        if (c == '"') quoted = !quoted;
        if ((c == ' ' || c == ',') && !quoted) {
            newPart = true;
            continue;
        }
        if (newPart) {
            if (index + 1 >= maxCount) {
                stopped = true;
                break;
            }
            if (index >= 0) parts[index] = part.ToString();
            part.Clear();
            ++index;
            newPart = false;
        }
        part.Add(c);
    }
    if (index >= 0) parts[index] = part.ToString();
    count = stopped ? maxCount : index + 1;
}

void Parser::GetSubStringsArray(const CommonStringRS<50>& value, int maxCount, CommonStringRS<50>* parts) {
    int count = 0;
    GetSubStringsArrayVar(value, maxCount, parts, count);
}

CommonStringRS<50> Parser::ExtractName(const CommonStringRS<50>& text) { return RemoveStartEndSymbol(text, '"', '"'); }

CommonStringRS<50> Parser::RemoveStartEndSymbol(const CommonStringRS<50>& text, char first, char last) {
    int begin = 0;
    int end = text.Length();
    const char* data = text.GetData();
    if (end > begin && data[end - 1] == last) --end;
    if (end > begin && data[begin] == first) ++begin;
    return Slice(text, begin, end);
}

CommonStringRS<50> Parser::RemoveLastSpaces(const CommonStringRS<50>& text) {
    int end = text.Length();
    const char* data = text.GetData();
    while (end > 1 && IsBlank(data[end - 1])) --end;
    return end == text.Length() ? text : Slice(text, 0, end);
}

int Parser::AToI(const char* text) {
    if (!text || text[0] == '\0' || std::strcmp(text, "-") == 0) return 0;
    const bool negative = text[0] == '-';
    const int first = negative ? 1 : 0;
    const int length = static_cast<int>(std::strlen(text));
    if (!IsDigit(text[length - 1])) return 0;
    std::uint32_t value = 0;
    std::uint32_t weight = 1;
    for (int i = length - 1; i >= first && IsDigit(text[i]); --i) {
        value += static_cast<std::uint32_t>(text[i] - '0') * weight;
        weight *= 10;
    }
    return static_cast<int>(negative ? 0u - value : value);
}

bool Parser::AToB(const char* text) { return AToI(text) != 0; }

FIXED_FLOAT Parser::AToF(const char* text, int shift) { return ToFixed(text, shift, 8); }

FIXED_FLOAT_16 Parser::AToF16(const char* text, int shift) { return ToFixed(text, shift, 16); }
