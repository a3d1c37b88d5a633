#pragma once

#include <string>
#include <vector>

namespace marlowen {

struct TPlatform;

// The "/update" flow: `args` is the whole command line after the program name ("/update", key,
// package file, optional program and its arguments). Shows the success box and starts the
// program; every failure (of the general error class, or any standard exception: out of memory
// and the like end the update at once, without the retry question) comes out as the tagged
// "Update is not installed." error that carries the cause's message, and the package stays.
//
// A registered installation is required, and a package is refused whole, before its first
// action, unless everything it names lies inside it: its files folder in the install folder, its
// shortcut folder in the program group, each action's Path, FileName and Link inside those.
//
// An executable built with public keys (its UPDATEKEYS resource) first checks PACKAGE.sig: the
// package's bytes, as read, must be signed by one of them, or nothing of it is parsed and the
// update fails with "The update package is not signed by the publisher of Marlowen.".
void RunUpdateFlow(TPlatform& platform, const std::vector<std::string>& args);

}  // namespace marlowen
