// Files that start with the UTF-16LE byte-order mark: Windows reads and writes
// them as UTF-16LE, through the A functions too. The engine edits them in an
// image of their own: each character Windows-1252 holds as its byte, every
// other one as an escape (NUL and six lowercase hex digits) that no line
// break, case folding or argument of an A function can produce or change.
#pragma once

#include <string>
#include <string_view>

namespace ini {

bool IsUtf16Le(std::string_view bytes);
// The image of the bytes that follow the mark, and back.
std::string Utf16LeToImage(std::string_view bytes);
std::string ImageToUtf16Le(std::string_view image);
// What an A function hands back of a value of the image: '?' where the code page has no place.
std::string ImageForAnsi(std::string_view value);

}  // namespace ini
