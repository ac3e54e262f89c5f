#include "contentcheck/Findings.h"

#include <cstdio>

namespace contentcheck {

void CFindings::Add(const std::string& where, const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    m_Lines.push_back(where + ": " + message);
}

bool CFindings::Contains(const std::string& text) const {
    for (const std::string& line : m_Lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace contentcheck
