// The path guard over arbitrary text: whatever it accepts is a verbatim call string it accepts
// again unchanged, made only of parts the system cannot read otherwise, and a joined path never
// leaves its base. The first byte says where the input splits into a base and a relative path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/SafePath.h"

using namespace marlowen;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckAccepted(const TSafePath& path) {
    const std::string& text = path.Text();
    Require(text.rfind("\\\\?\\", 0) == 0);
    for (const char c : text) Require(static_cast<unsigned char>(c) >= 0x20);
    for (const std::string& part : path.Parts()) {
        Require(!part.empty() && part.back() != '.' && part.back() != ' ');
        Require(part.find_first_of("\\/:*?\"<>|") == std::string::npos);
    }
    const auto again = TSafePath::FromAbsolute(path.Display());
    Require(again && again->Text() == text);
    const auto plain = TSafePath::FromAbsolute(PlainSpelling(text));
    Require(plain && plain->Text() == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t split = std::min<size_t>(data[0], input.size());
    const std::string_view first = input.substr(0, split), second = input.substr(split);

    const auto base = TSafePath::FromAbsolute(first);
    if (!base) return 0;
    CheckAccepted(*base);
    if (const auto joined = base->Join(second)) {
        CheckAccepted(*joined);
        Require(joined->IsInside(*base));
        Require(joined->Text().rfind(base->Text(), 0) == 0);
        Require(joined->Ancestor(base->Parts().size()).Text() == base->Text());
    }
    if (const auto child = base->Child(second)) {
        Require(child->Parts().size() == base->Parts().size() + 1);
        Require(child->IsInside(*base));
    }
    return 0;
}
