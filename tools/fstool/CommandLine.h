#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/Exception.h"

namespace marlowen::fstool {

// A command was called wrongly; the message says how, and the tool shows the command's usage.
class EUsageError : public Exception {
public:
    using Exception::Exception;
};

// The arguments of one command: options "--name value" or "--name=value" and positional words.
class TCommandLine {
public:
    // `valueOptions` are the options that take a value; `flags` the ones that do not. Any other
    // word starting with "--" is refused.
    TCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flags = {});

    const std::vector<std::string>& Positional() const { return Positional_; }
    // Exactly n positional words, or a usage error.
    void RequirePositional(size_t n) const;

    bool Has(const std::string& option) const { return Options_.count(option) != 0; }
    // The value given last; every value of an option given several times, in order.
    std::string Value(const std::string& option, const std::string& def) const;
    std::vector<std::string> Values(const std::string& option) const;
    std::string Required(const std::string& option) const;
    // A decimal integer value in [min, max].
    long long Integer(const std::string& option, long long min, long long max) const;

private:
    std::vector<std::string> Positional_;
    std::map<std::string, std::string> Options_;
    std::map<std::string, std::vector<std::string>> AllValues_;
};

}  // namespace marlowen::fstool
