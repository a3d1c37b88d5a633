#pragma once

#include <string>
#include <vector>

namespace marlowen {

struct TPlatform;

// The "/update" flow: `args` is the whole command line after the program name ("/update", key,
// package file, optional program and its arguments). Shows the success box and starts the
// program; every failure of the general error class comes out as the tagged
// "Update is not installed." error that carries the cause's message.
void RunUpdateFlow(TPlatform& platform, const std::vector<std::string>& args);

}  // namespace marlowen
