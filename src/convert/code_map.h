// Fixed code mappings of the converters: a short list of PCA values with
// their target values and one result for every other value.
#pragma once

#include <span>
#include <string_view>

namespace kw39 {

struct CodePair {
    std::string_view from;
    std::string_view to;
};

// The target of `value` in `pairs`, or `otherwise` when no pair matches.
constexpr std::string_view MapCode(std::string_view value, std::span<const CodePair> pairs,
                                   std::string_view otherwise) {
    for (const CodePair& pair : pairs) {
        if (pair.from == value) return pair.to;
    }
    return otherwise;
}

// True when a pair names `value`, false when MapCode gives the fallback.
constexpr bool HasCode(std::string_view value, std::span<const CodePair> pairs) {
    for (const CodePair& pair : pairs) {
        if (pair.from == value) return true;
    }
    return false;
}

}  // namespace kw39
