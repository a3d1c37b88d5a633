// fstool: the developer tool that builds and inspects the setup's data files.

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ToolCommand.h"
#include "core/Exception.h"

namespace marlowen::fstool {

const std::vector<TToolCommand>& ToolCommands() {
    static const std::vector<TToolCommand> commands = [] {
        std::vector<TToolCommand> all;
        for (auto group : {CompressionCommands, SealingCommands, PackCommands, RenderCommands, UpdateCommands,
                           SigningCommands}) {
            for (const TToolCommand& command : group()) all.push_back(command);
        }
        return all;
    }();
    return commands;
}

namespace {

const TToolCommand* FindCommand(const std::string& name) {
    for (const TToolCommand& command : ToolCommands()) {
        if (name == command.Name) return &command;
    }
    return nullptr;
}

void PrintOverview(std::ostream& out) {
    out << "usage: fstool COMMAND [ARGUMENTS]\n\n"
           "Builds and inspects the data files of the setup program.\n\n"
           "commands:\n";
    for (const TToolCommand& command : ToolCommands()) {
        out << "  " << command.Name << std::string(std::max<size_t>(12 - std::strlen(command.Name), 1), ' ')
            << command.Summary << "\n";
    }
    out << "  help        this text; \"fstool help COMMAND\" describes one command\n";
}

int Help(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintOverview(std::cout);
        return 0;
    }
    const TToolCommand* command = FindCommand(args[0]);
    if (command == nullptr) {
        std::cerr << "fstool: unknown command \"" << args[0] << "\"; \"fstool help\" lists them\n";
        return 2;
    }
    std::cout << command->Help;
    return 0;
}

}  // namespace

int Main(const std::vector<std::string>& words) {
    if (words.empty()) {
        PrintOverview(std::cerr);
        return 2;
    }
    const std::string& name = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (name == "help" || name == "--help" || name == "-h") return Help(args);
    const TToolCommand* command = FindCommand(name);
    if (command == nullptr) {
        std::cerr << "fstool: unknown command \"" << name << "\"; \"fstool help\" lists them\n";
        return 2;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << command->Help;
        return 0;
    }
    try {
        return command->Run(args);
    } catch (const EUsageError& e) {
        std::cerr << "fstool " << name << ": " << e.what() << "\n"
                  << "usage: see \"fstool help " << name << "\"\n";
        return 2;
    } catch (const Exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "fstool " << name << ": out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        // Whatever else a library raises ends as an error of the command, never in terminate.
        std::cerr << "fstool " << name << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace marlowen::fstool

#ifdef _WIN32
#include <windows.h>

#include "core/Utf.h"

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        words.push_back(marlowen::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    }
    return marlowen::fstool::Main(words);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    return marlowen::fstool::Main(words);
}
#endif
