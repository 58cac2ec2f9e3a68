#pragma once
// Fills the "%d" places of a message text (a language-file text such as "%d of %d files recovered") with
// integers, in order. The text comes from a file the user may edit, so it is never handed to printf:
// "%%" gives "%", a place without a value and any other "%" sequence stay as written.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vpk {

std::string FormatIntegers(std::string_view text, std::initializer_list<std::int64_t> values);

}  // namespace vpk
