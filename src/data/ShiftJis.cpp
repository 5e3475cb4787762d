#include "data/ShiftJis.h"

namespace kelva {

namespace {

template <typename Fold>
std::string FoldAscii(std::string_view text, Fold fold)
{
    std::string result(text);
    for (size_t i = 0; i < result.size(); ++i) {
        const auto c = static_cast<unsigned char>(result[i]);
        if (IsSjisLeadByte(c)) {
            ++i;  // the trail byte belongs to this character
            continue;
        }
        result[i] = fold(c);
    }
    return result;
}

}  // namespace

std::string UpperCaseAscii(std::string_view text)
{
    return FoldAscii(text,
                     [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
}

std::string LowerCaseAscii(std::string_view text)
{
    return FoldAscii(text,
                     [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
}

std::string ChangeFileExtension(std::string_view name, std::string_view extension)
{
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < name.size(); i += SjisCharLength(name, i)) {
        const char c = name[i];
        if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == '/' || c == ':') {
            dot = std::string_view::npos;
        }
    }
    return std::string(name.substr(0, dot)) + std::string(extension);
}

}  // namespace kelva
