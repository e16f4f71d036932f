// JsonWriter: builds one compact JSON text, for the --json output of info, get and meters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmar::ctl {

// Keys and values are appended in order; the writer puts the commas. Not thread-safe (one owner).
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(int number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& value(std::optional<double> number); // null when empty
    JsonWriter& null();

    const std::string& str() const { return m_text; }

    // A JSON string literal of bytes from the processor or the user. Valid UTF-8 passes as it is; a byte
    // that is not part of a valid UTF-8 sequence is taken as Latin-1, so no byte is lost or invalid.
    static std::string Quote(std::string_view bytes);

private:
    void separate();

    std::string m_text;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};

} // namespace velmar::ctl
