// Hash maps keyed by text that are searched with a string_view, without a
// string made for each lookup.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kw39::platform {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

template <class Value>
using TextKeyMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

}  // namespace kw39::platform
