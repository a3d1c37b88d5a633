#include "storage/PackageSignature.h"

#include <algorithm>

namespace marlowen::PackageSignature {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

template <size_t N>
std::optional<std::array<uint8_t, N>> ParseFixed(std::string_view text) {
    const std::optional<std::vector<uint8_t>> bytes = ParseFileText(text, N);
    if (!bytes) return std::nullopt;
    std::array<uint8_t, N> fixed{};
    std::copy(bytes->begin(), bytes->end(), fixed.begin());
    return fixed;
}

}  // namespace

std::string FileText(const uint8_t* bytes, size_t size) {
    std::string text;
    text.reserve(size * 2 + 1);
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text + "\n";
}

std::optional<std::vector<uint8_t>> ParseFileText(std::string_view text, size_t count) {
    const std::string_view digits = Trimmed(text);
    if (digits.size() != count * 2) return std::nullopt;
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        const int high = DigitValue(digits[2 * i]), low = DigitValue(digits[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return bytes;
}

std::optional<Ed25519::TSeed> ParseSecretKey(std::string_view text) { return ParseFixed<32>(text); }
std::optional<Ed25519::TPublicKey> ParsePublicKey(std::string_view text) { return ParseFixed<32>(text); }
std::optional<Ed25519::TSignature> ParseSignature(std::string_view text) { return ParseFixed<64>(text); }

std::optional<std::vector<Ed25519::TPublicKey>> ParseKeyList(std::string_view text) {
    std::vector<Ed25519::TPublicKey> keys;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (Trimmed(line).empty()) continue;
        const std::optional<Ed25519::TPublicKey> key = ParsePublicKey(line);
        if (!key) return std::nullopt;
        keys.push_back(*key);
    }
    return keys;
}

bool SignedByAny(const std::vector<Ed25519::TPublicKey>& keys, const std::vector<uint8_t>& package,
                 std::string_view signatureText) {
    const std::optional<Ed25519::TSignature> signature = ParseSignature(signatureText);
    if (!signature) return false;
    return std::any_of(keys.begin(), keys.end(), [&](const Ed25519::TPublicKey& key) {
        return Ed25519::Verify(key, package.data(), package.size(), *signature);
    });
}

}  // namespace marlowen::PackageSignature
