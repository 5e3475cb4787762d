#include "Printable.h"

#include <cstdio>

#include "platform/TextCodec.h"

namespace kelva::knovel {

namespace {

std::string Escape(std::string_view cp932, bool quoting)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    std::string result;
    result.reserve(utf8.size());
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            result += hex;
        } else if (quoting && (c == '"' || c == '\\')) {
            result += '\\';
            result += c;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

std::string Printable(std::string_view cp932)
{
    return Escape(cp932, false);
}

std::string QuotedPrintable(std::string_view cp932)
{
    return "\"" + Escape(cp932, true) + "\"";
}

}  // namespace kelva::knovel
