#pragma once
// A small streaming JSON writer for the command line's reports. Label text is bytes in
// the printer's character set: bytes 0x80..0xFF are written as the code points U+0080..U+00FF
// so the output is always valid JSON whatever the label holds.
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::cli {

class JsonWriter {
public:
    JsonWriter& beginObject(std::string_view key = {});
    JsonWriter& endObject();
    JsonWriter& beginArray(std::string_view key = {});
    JsonWriter& endArray();
    JsonWriter& value(std::string_view key, long long number);
    JsonWriter& value(std::string_view key, int number) { return value(key, static_cast<long long>(number)); }
    JsonWriter& value(std::string_view key, std::string_view text);
    JsonWriter& value(std::string_view key, const char* text) { return value(key, std::string_view(text)); }
    JsonWriter& value(std::string_view key, bool flag);
    const std::string& text() const { return out_; }

private:
    void prefix(std::string_view key);
    void quoted(std::string_view text);
    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written into it yet
};

}  // namespace tavrin::cli
