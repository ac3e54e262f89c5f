// Helpers of the template suites: templates parsed from strings, records cast by kind, and
// CommonString as std::string.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/Template.h"
#include "ui/TemplateReader.h"

namespace templatetest {

inline std::string S(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// The template of a file holding text.
inline std::unique_ptr<TTemplate> Parse(const std::string& text) {
    CTemplateReader reader;
    return std::unique_ptr<TTemplate>(reader.ReadTemplateFromBytes({text.data(), text.size()}, "test.txt"));
}

// The record named name, as class T (asserting it is one).
template <class T>
T* Record(TTemplate& t, const char* name) {
    TWidget* record = t.GetWidget(name);
    EXPECT_NE(record, nullptr) << name;
    T* typed = dynamic_cast<T*>(record);
    EXPECT_NE(typed, nullptr) << name << " is not of the expected class";
    return typed;
}

}  // namespace templatetest
