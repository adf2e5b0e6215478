// Cutting a text to what a handset can show. The client's texts may be UTF-8: a cut never
// leaves half a character behind. A text that is no valid UTF-8 there (a single-byte code
// page) is cut at the byte.
#pragma once
#include <cstddef>
#include <string>

namespace handset {

// The longest start of text of at most `bytes` bytes that ends at a character boundary.
std::string FirstBytes(const std::string& text, std::size_t bytes);
// The longest end of text of at most `bytes` bytes that starts at a character boundary.
std::string LastBytes(const std::string& text, std::size_t bytes);

}  // namespace handset
