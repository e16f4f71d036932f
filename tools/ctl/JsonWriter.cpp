// The JSON text builder of velmarctl's --json output.
#include "ctl/JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace velmar::ctl {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when there is none (overlong forms, surrogates and
// code points above U+10FFFF are not valid).
size_t Utf8Length(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    size_t n;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (b(i + k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

void AppendLatin1(std::string& out, unsigned char c) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

} // namespace

std::string JsonWriter::Quote(std::string_view s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        if (const size_t n = Utf8Length(s, i)) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            AppendLatin1(out, c);
            ++i;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_text += ',';
        m_first.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    m_text += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_text += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    m_text += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_text += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    m_text += Quote(name);
    m_text += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    m_text += Quote(text);
    return *this;
}

JsonWriter& JsonWriter::value(int64_t number) {
    separate();
    m_text += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    if (!std::isfinite(number)) return null();
    separate();
    // Ten significant digits show every value the scales produce as its display text does.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", number);
    m_text += buffer;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    m_text += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::value(std::optional<double> number) {
    return number ? value(*number) : null();
}

JsonWriter& JsonWriter::null() {
    separate();
    m_text += "null";
    return *this;
}

} // namespace velmar::ctl
