// What the content checker found wrong, one line per fault: where (a code_refs.txt row, a pak
// member and line, or a rule) and why.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

namespace contentcheck {

class CFindings {
public:
    // Records "where: message"; the message is printf-formatted.
    void Add(const std::string& where, const char* format, ...) __attribute__((format(printf, 3, 4)));
    const std::vector<std::string>& All() const { return m_Lines; }
    bool Empty() const { return m_Lines.empty(); }
    // True when some finding contains `text`.
    bool Contains(const std::string& text) const;

private:
    std::vector<std::string> m_Lines;
};

}  // namespace contentcheck
