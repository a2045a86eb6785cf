#pragma once

#include <optional>
#include <string_view>

// Numbers in the text lines a device prints: "t:12.5 h:40" (name:value pairs separated by
// spaces, tabs or commas, as microcontroller sketches print them for a plotter), or the n-th
// number of a line whatever surrounds it.
namespace TextValueReader {

// The value after "name:" (or "name="); nothing when the line has no such pair or its value
// is not a number.
std::optional<double> Named(std::string_view line, std::string_view name);
// The n-th number of the line, counted from 1.
std::optional<double> Nth(std::string_view line, int n);

} // namespace TextValueReader
