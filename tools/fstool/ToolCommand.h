#pragma once

#include <string>
#include <vector>

namespace marlowen::fstool {

// One subcommand of the tool: its name, a one-line summary for `fstool help`, the full text for
// `fstool help NAME`, and the code. Run returns the exit status or raises: EUsageError for wrong
// arguments, any other Exception for a failure.
struct TToolCommand {
    const char* Name;
    const char* Summary;
    const char* Help;
    int (*Run)(const std::vector<std::string>& args);
};

// Every command, in the order `fstool help` lists them.
const std::vector<TToolCommand>& ToolCommands();

// The command groups; each returns its commands.
std::vector<TToolCommand> CompressionCommands();
std::vector<TToolCommand> SealingCommands();
std::vector<TToolCommand> PackCommands();
std::vector<TToolCommand> UpdateCommands();
std::vector<TToolCommand> SigningCommands();
std::vector<TToolCommand> RenderCommands();

}  // namespace marlowen::fstool
