#include <iconv.h>

#include <cerrno>
#include <memory>

#include "platform/TextCodec.h"

namespace kelva {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const char* to, const char* from)
{
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return IconvHandle(handle);
}

// Converts the whole text; on an unconvertible byte either substitutes `replacement`
// (skipping `skip` input bytes) or fails.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view text,
                                   const char* replacement)
{
    IconvHandle converter = OpenConverter(to, from);
    if (!converter) return std::nullopt;
    std::string result;
    char buffer[1024];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(static_cast<iconv_t>(converter.get()), &in, &inLeft, &out, &outLeft);
        result.append(buffer, out);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
        if (!replacement) return std::nullopt;
        result += replacement;
        ++in;
        --inLeft;
    }
    return result;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text)
{
    return Convert("UTF-8", "CP932", text, "\xEF\xBF\xBD").value_or(std::string());
}

std::string ToDisplayText(std::string_view cp932)
{
    const std::string text = Cp932ToUtf8(cp932);
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result += text[i];
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            result += '\n';
        }
    }
    return result;
}

std::optional<std::string> Utf8ToCp932(std::string_view text)
{
    return Convert("CP932", "UTF-8", text, nullptr);
}

}  // namespace kelva
