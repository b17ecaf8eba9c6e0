#ifndef PORT_PATHTEXT_H
#define PORT_PATHTEXT_H
// Between the layer's 8-bit names and std::filesystem paths (private to the
// layer). On Windows, paths are UTF-16 and std::filesystem would read 8-bit
// text in one encoding and write it back in another (UTF-8), so a listed name
// would not open again; here both ways use the ANSI code page, as fopen and
// getenv do. Elsewhere paths are the bytes themselves.

#include <filesystem>
#include <string>

namespace Port {
namespace Detail {

std::filesystem::path PathOf(const std::string& text);
/// Never throws: a character the code page lacks becomes a replacement.
std::string TextOf(const std::filesystem::path& path);

}  // namespace Detail
}  // namespace Port

#endif  // PORT_PATHTEXT_H
