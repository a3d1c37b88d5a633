#include "CommandLine.h"

#include <algorithm>
#include <charconv>

namespace marlowen::fstool {

namespace {
bool Contains(const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}
}  // namespace

TCommandLine::TCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                           const std::vector<std::string>& flags) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                optionsEnded = true;
            } else {
                Positional_.push_back(arg);
            }
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (Contains(flags, name)) {
            if (equals != std::string::npos) throw EUsageError("option --" + name + " takes no value");
            Options_[name] = "";
        } else if (Contains(valueOptions, name)) {
            if (equals != std::string::npos) {
                Options_[name] = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                Options_[name] = args[++i];
            } else {
                throw EUsageError("option --" + name + " needs a value");
            }
            AllValues_[name].push_back(Options_[name]);
        } else {
            throw EUsageError("unknown option --" + name);
        }
    }
}

void TCommandLine::RequirePositional(size_t n) const {
    if (Positional_.size() < n) throw EUsageError("missing arguments");
    if (Positional_.size() > n) throw EUsageError("too many arguments: " + Positional_[n]);
}

std::string TCommandLine::Value(const std::string& option, const std::string& def) const {
    const auto found = Options_.find(option);
    return found != Options_.end() ? found->second : def;
}

std::vector<std::string> TCommandLine::Values(const std::string& option) const {
    const auto found = AllValues_.find(option);
    return found != AllValues_.end() ? found->second : std::vector<std::string>();
}

std::string TCommandLine::Required(const std::string& option) const {
    const auto found = Options_.find(option);
    if (found == Options_.end()) throw EUsageError("option --" + option + " is required");
    return found->second;
}

long long TCommandLine::Integer(const std::string& option, long long min, long long max) const {
    const std::string text = Required(option);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        throw EUsageError("option --" + option + " needs a whole number from " + std::to_string(min) + " to " +
                          std::to_string(max) + ", not \"" + text + "\"");
    }
    return value;
}

}  // namespace marlowen::fstool
