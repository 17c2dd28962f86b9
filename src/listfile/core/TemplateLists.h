#pragma once

#include <array>
#include <string>

namespace quorvex {

class ListDocument;
class MessageService;
struct PageSetup;

// The nine template lists the new-list dialog starts from.
class TemplateLists {
public:
    struct Kind {
        const char *fileName; // in the Templates folder
        const char *listType;
    };
    static const std::array<Kind, 9> &kinds();

    // The default header texts of columns 1 to 8 for a list type.
    static std::array<std::string, 8> defaultHeaders(const std::string &listType);
    // An empty list of that type: nine columns, one data row, its headers and
    // the type's default character widths.
    static void build(const std::string &listType, ListDocument &document, PageSetup &pageSetup);
    // Writes all nine into `folder` (created when missing) as version 1.1 lists.
    // False after a message when one could not be written.
    static bool writeAll(const std::string &folder, MessageService &messages);
};

} // namespace quorvex
