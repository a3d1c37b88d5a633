#pragma once

#include <memory>

namespace marlowen {

class TLanguages;

// The core library's start-up and shut-down: while an instance lives, the process-wide language
// registry `Languages` exists with its built-in languages. One instance at a time.
class TCoreLibrary {
public:
    explicit TCoreLibrary(bool supportsCyrillic);
    TCoreLibrary(const TCoreLibrary&) = delete;
    TCoreLibrary& operator=(const TCoreLibrary&) = delete;
    ~TCoreLibrary();

    TLanguages& Languages() const { return *Languages_; }

private:
    std::unique_ptr<TLanguages> Languages_;
};

}  // namespace marlowen
