// Build step: copies a UTF-8 C++ source with every non-ASCII character of its narrow
// string and character literals written as the octal escapes of its CP932 bytes, so that
// the engine's narrow literals are CP932 text whatever the compiler's execution character
// set. Comments, u8/u/U/L literals and raw strings are copied unchanged; a raw narrow
// string holding non-ASCII text is refused, since it can't hold escapes. The copy starts
// with a #line directive, so diagnostics and __FILE__ name the original.
//
//   kelva_cp932_literals INPUT OUTPUT
#include <iconv.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

class Converter {
public:
    Converter(std::string_view text, std::string path) : m_text(text), m_path(std::move(path))
    {
        m_codec = iconv_open("CP932", "UTF-8");
    }
    ~Converter()
    {
        if (m_codec != reinterpret_cast<iconv_t>(-1)) iconv_close(m_codec);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The converted text; false (with a message on stderr) when it can't be converted.
    bool Run(std::string& out)
    {
        if (m_codec == reinterpret_cast<iconv_t>(-1)) return Fail("this system's iconv has no CP932");
        out = "#line 1 \"" + m_path + "\"\n";
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (Starts("//")) {
                CopyUntil(out, "\n", false);
            } else if (Starts("/*")) {
                CopyUntil(out, "*/", true);
            } else if (c == '"' || c == '\'') {
                if (!Literal(out)) return false;
            } else {
                out += c;
                ++m_at;
            }
        }
        return true;
    }

private:
    bool Starts(std::string_view what) const { return m_text.substr(m_at, what.size()) == what; }

    // Copies a comment as it is: up to `end`, and `end` too when `inclusive`.
    void CopyUntil(std::string& out, std::string_view end, bool inclusive)
    {
        size_t stop = m_text.find(end, m_at + 2);
        stop = stop == std::string_view::npos ? m_text.size() : stop + (inclusive ? end.size() : 0);
        out.append(m_text.substr(m_at, stop - m_at));
        m_at = stop;
    }

    // The identifier or number that ends just before the quote at m_at.
    std::string_view TokenBefore() const
    {
        size_t start = m_at;
        while (start > 0 &&
               (std::isalnum(static_cast<unsigned char>(m_text[start - 1])) || m_text[start - 1] == '_'))
            --start;
        return m_text.substr(start, m_at - start);
    }

    bool Literal(std::string& out)
    {
        const char quote = m_text[m_at];
        const std::string_view prefix = TokenBefore();
        // 1'000'000: a digit separator, not a character literal.
        if (quote == '\'' && !prefix.empty() && std::isdigit(static_cast<unsigned char>(prefix[0]))) {
            out += quote;
            ++m_at;
            return true;
        }
        if (quote == '"' && !prefix.empty() && prefix.back() == 'R') return RawString(out, prefix);
        const bool narrow = prefix.empty();
        out += quote;
        ++m_at;
        while (m_at < m_text.size() && m_text[m_at] != quote && m_text[m_at] != '\n') {
            const auto byte = static_cast<unsigned char>(m_text[m_at]);
            if (byte == '\\' && m_at + 1 < m_text.size()) {
                out.append(m_text.substr(m_at, 2));
                m_at += 2;
            } else if (byte < 0x80 || !narrow) {
                out += static_cast<char>(byte);
                ++m_at;
            } else if (!Escape(out)) {
                return false;
            }
        }
        if (m_at < m_text.size()) out += m_text[m_at++];
        return true;
    }

    bool RawString(std::string& out, std::string_view prefix)
    {
        const size_t open = m_text.find('(', m_at);
        if (open == std::string_view::npos) return Fail("a raw string without its opening parenthesis");
        const std::string close = ")" + std::string(m_text.substr(m_at + 1, open - m_at - 1)) + "\"";
        size_t end = m_text.find(close, open);
        end = end == std::string_view::npos ? m_text.size() : end + close.size();
        const std::string_view literal = m_text.substr(m_at, end - m_at);
        if (prefix == "R") {
            for (char c : literal)
                if (static_cast<unsigned char>(c) >= 0x80)
                    return Fail("non-ASCII text in a raw narrow string");
        }
        out.append(literal);
        m_at = end;
        return true;
    }

    // Writes the UTF-8 character at m_at as octal escapes of its CP932 bytes (octal, not
    // hex: a hex escape would swallow a hex digit that follows it).
    bool Escape(std::string& out)
    {
        const auto lead = static_cast<unsigned char>(m_text[m_at]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::string character(m_text.substr(m_at, length));
        char converted[8];
        char* in = character.data();
        size_t inLeft = character.size();
        char* to = converted;
        size_t toLeft = sizeof converted;
        iconv(m_codec, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_codec, &in, &inLeft, &to, &toLeft) == static_cast<size_t>(-1)) {
            return Fail("\"" + character + "\" has no CP932 form");
        }
        for (const char* p = converted; p < to; ++p) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(*p));
            out += escape;
        }
        m_at += length;
        return true;
    }

    bool Fail(const std::string& message) const
    {
        size_t line = 1;
        for (size_t i = 0; i < m_at && i < m_text.size(); ++i) line += m_text[i] == '\n';
        std::cerr << m_path << ":" << line << ": " << message << "\n";
        return false;
    }

    std::string_view m_text;
    std::string m_path;
    iconv_t m_codec;
    size_t m_at = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: kelva_cp932_literals INPUT OUTPUT\n";
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    std::stringstream text;
    text << input.rdbuf();
    if (!input) {
        std::cerr << argv[1] << ": can't be read\n";
        return 1;
    }
    const std::string source = text.str();
    std::string converted;
    if (!Converter(source, argv[1]).Run(converted)) return 1;
    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    output << converted;
    if (!output.flush()) {
        std::cerr << argv[2] << ": can't be written\n";
        return 1;
    }
    return 0;
}
