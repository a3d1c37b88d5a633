#include "core/NameHash.h"

namespace marlowen {

namespace {

int32_t CharacterClass(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= '0' && c <= '9') return 26 + (c - '0');
    if (c == '_') return 36;
    return 0;
}

}  // namespace

int32_t NameHashBucket(std::string_view name) {
    if (name.empty()) return 0;
    const char second = name.size() <= 2 ? name.front() : name[1];
    return CharacterClass(second) + 37 * CharacterClass(name.back());
}

}  // namespace marlowen
