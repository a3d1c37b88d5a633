#pragma once

#include <string>
#include <vector>

namespace marlowen {

// One argument in double quotes, escaped so that the program's start-up code (the usual Windows
// command-line rules) reads it back unchanged: a '"' becomes \", and backslashes are doubled
// where they stand before a '"' or before the closing quote ("C:\Data\" stays "C:\Data\").
std::string QuoteProgramArgument(const std::string& argument);

// The arguments, each quoted as above, joined with one space ("" for none).
std::string JoinProgramArguments(const std::vector<std::string>& arguments);

}  // namespace marlowen
