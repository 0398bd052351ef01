// A JSON reader of our own events over the library's parser: field paths, duplicate keys, a value limit.
#include "sim/cameras/json_document.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

namespace qvxsim {
namespace {

using nlohmann::json;

// Builds the document with the library's own builder and watches every event on the way.
class WatchingReader {
public:
    WatchingReader(json& result, const std::string& text, std::size_t maxValues)
        : builder_(result), text_(text), maxValues_(maxValues) {}

    bool null() { return value() && builder_.null(); }
    bool boolean(bool v) { return value() && builder_.boolean(v); }
    bool number_integer(json::number_integer_t v) { return value() && builder_.number_integer(v); }
    bool number_unsigned(json::number_unsigned_t v) { return value() && builder_.number_unsigned(v); }
    bool number_float(json::number_float_t v, const json::string_t& s) {
        return value() && builder_.number_float(v, s);
    }
    bool string(json::string_t& v) { return value() && builder_.string(v); }
    bool binary(json::binary_t& v) { return value() && builder_.binary(v); }
    bool start_object(std::size_t n) {
        value();
        frames_.push_back(Frame{false, -1, {}, {}});
        return builder_.start_object(n);
    }
    bool key(json::string_t& k) {
        Frame& top = frames_.back();
        top.key = k;
        if (!top.keys.insert(k).second) fail(path(false), "duplicate key");
        return builder_.key(k);
    }
    bool end_object() {
        frames_.pop_back();
        return builder_.end_object();
    }
    bool start_array(std::size_t n) {
        value();
        frames_.push_back(Frame{true, -1, {}, {}});
        return builder_.start_array(n);
    }
    bool end_array() {
        frames_.pop_back();
        return builder_.end_array();
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
        // The library's message repeats its own position and code; ours says line and column once.
        std::string reason = error.what();
        const std::size_t code = reason.find("] ");
        if (code != std::string::npos) reason.erase(0, code + 2);
        const std::size_t column = reason.find(", column ");
        const std::size_t colon = column == std::string::npos ? column : reason.find(": ", column);
        if (reason.rfind("parse error", 0) == 0 && colon != std::string::npos) reason.erase(0, colon + 2);
        const std::size_t end = std::min(position, text_.size());
        const std::size_t line =
            1 + static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + end, '\n'));
        const std::size_t lineStart = text_.rfind('\n', end == 0 ? 0 : end - 1);
        const std::size_t columnNumber =
            lineStart == std::string::npos || end == 0 ? end : end - lineStart - 1;
        fail(path(true), "not valid JSON at line " + std::to_string(line) + ", column " +
                             std::to_string(columnNumber) + ": " + reason);
    }

private:
    struct Frame {
        bool array;
        long index;
        std::string key;
        std::set<std::string> keys;
    };

    [[noreturn]] static void fail(const std::string& path, const std::string& what) {
        throw std::invalid_argument("camera description: " + path + ": " + what);
    }

    // Counts a value where it stands: the next element of a list, the value of an object's last key.
    bool value() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
        if (maxValues_ != 0 && ++values_ > maxValues_)
            fail(path(false), "more than " + std::to_string(maxValues_) +
                                  " values; a camera file holds at most that many");
        return true;
    }

    // "devices[0].fps[2]"; `pending`: an error inside the element that is being read, which was not counted.
    std::string path(bool pending) const {
        std::string out;
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const Frame& f = frames_[i];
            const bool last = i + 1 == frames_.size();
            if (f.array) {
                const long index = f.index + (pending && last ? 1 : 0);
                if (index >= 0) out += "[" + std::to_string(index) + "]";
            } else if (!f.key.empty() || !f.keys.empty()) {
                out += (out.empty() ? "" : ".") + f.key;
            }
        }
        return out.empty() ? "document" : out;
    }

    nlohmann::detail::json_sax_dom_parser<json> builder_;
    const std::string& text_;
    std::size_t maxValues_;
    std::size_t values_ = 0;
    std::vector<Frame> frames_;
};

} // namespace

json readJsonDocument(const std::string& text, std::size_t maxValues) {
    json result;
    WatchingReader reader(result, text, maxValues);
    json::sax_parse(text, &reader);
    return result;
}

} // namespace qvxsim
