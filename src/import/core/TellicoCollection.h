#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorvex {

// What a Tellico collection's XML holds that a list can take, in UTF-8.
struct TellicoCollection {
    // The collection types of the format.
    static constexpr int Books = 2;
    static constexpr int Videos = 3;
    static constexpr int Music = 4;
    // Field types that need more than their text.
    static constexpr int TableField = 8;
    static constexpr int ImageField = 10;

    struct Field {
        std::string name;
        std::string title;
        int type = 1;
        // Declared in the fields list, or met first in an entry.
        bool declared = false;
    };
    // One entry: (field index, value) in the order met; several values of one
    // field are already joined with "; ", a table row's columns with "::".
    using Entry = std::vector<std::pair<std::uint32_t, std::string>>;

    int type = 0;
    std::string title;
    std::vector<Field> fields;
    std::vector<Entry> entries;
    // Pictures carried in the XML itself (base64), by id.
    std::unordered_map<std::string, std::string> embeddedImages;

    // -1 when the collection has no such field.
    int fieldIndex(std::string_view name) const;
    std::string_view value(const Entry &entry, int field) const;
};

struct TellicoXmlLimits {
    std::size_t maxDepth = 32;
    std::size_t maxFields = 4096;
    std::size_t maxEntries = 10000000;
    std::size_t maxValueBytes = 1u << 20;
    std::size_t maxImageBytes = 64u << 20;
};

// Reads a collection's XML with expat. Declared entities refuse the document
// (no expansion at all), external ones are never loaded, and the nesting and
// every size are bounded.
class TellicoXmlReader {
public:
    using Limits = TellicoXmlLimits;

    struct Result {
        bool ok = false;
        std::string error;
    };

    static Result read(std::string_view xml, TellicoCollection &collection, const Limits &limits = Limits());

    // Standard base64, whitespace allowed; false on anything else.
    static bool decodeBase64(std::string_view text, std::string &out);
};

} // namespace quorvex
