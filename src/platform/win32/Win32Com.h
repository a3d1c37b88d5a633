#pragma once

namespace marlowen {

// COM on the calling thread for the lifetime of the object (single-threaded apartment, which the
// shell's dialogs need). A thread already in another apartment keeps it; COM is usable either way.
class TComInitialization {
public:
    TComInitialization();
    TComInitialization(const TComInitialization&) = delete;
    TComInitialization& operator=(const TComInitialization&) = delete;
    ~TComInitialization();

private:
    bool Initialized_;
};

}  // namespace marlowen
