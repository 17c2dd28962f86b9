// Writes the nine template lists of the shipped Templates folder with the
// program's own list writer.

#include "platform/core/MessageService.h"
#include "listfile/core/TemplateLists.h"

#include <cstdio>

namespace {

class StderrMessages final : public quorvex::MessageService {
public:
    quorvex::MessageAnswer show(quorvex::MessageKind, const std::string &text, quorvex::MessageButtons) override
    {
        std::fprintf(stderr, "make_templates: %s\n", text.c_str());
        return quorvex::MessageAnswer::Cancel;
    }
    void showException(const std::string &what) override { std::fprintf(stderr, "make_templates: %s\n", what.c_str()); }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_templates OUTPUT_FOLDER\n");
        return 2;
    }
    StderrMessages messages;
    if (!quorvex::TemplateLists::writeAll(argv[1], messages)) {
        std::fprintf(stderr, "make_templates: could not write the templates into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
