#pragma once
// Writes a parsed UI template as text, one record, placement, binding, action and step per line,
// and finds references that lead nowhere (placements, backgrounds and create steps naming no
// record, bindings naming no action, repeated names that lookups will never reach).

#include <string>
#include <vector>

struct TTemplate;

namespace templatedump {

// The whole template as text, records first (file order), then actions.
std::string DumpTemplate(const TTemplate& templ);

// One line per problem, in file order; empty when every reference leads somewhere.
std::vector<std::string> CheckTemplate(const TTemplate& templ);

}  // namespace templatedump
