#pragma once
// Windows-1252 on disk, UTF-8 inside the program.

#include <string>
#include <string_view>

namespace velumo {

// Decodes Windows-1252 bytes to UTF-8. The five undefined bytes map to the
// C1 control of the same value, so every byte sequence decodes.
std::string cp1252ToUtf8(std::string_view bytes);

// Encodes UTF-8 to Windows-1252; a character that has no Windows-1252 byte,
// and every invalid UTF-8 sequence, becomes "?".
std::string utf8ToCp1252(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or code points beyond U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Latin-1 (ISO-8859-1) encoding of UTF-8 text, "?" where it cannot be encoded.
std::string utf8ToLatin1(std::string_view utf8);

} // namespace velumo
