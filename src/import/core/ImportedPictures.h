#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorvex {

// Puts pictures that arrive as bytes (from a collection file) into the
// database folder the way an inserted picture goes there: its own name
// first, then name1, name2 ... when a different file holds the name, and the
// existing file when it holds these very bytes. Names are made safe for the
// folder and for a reference; a link in a name's place is never written through.
class ImportedPictures {
public:
    explicit ImportedPictures(std::string databaseFolder);

    // The bare name in the database folder, or empty after a failure (error()).
    // The same id given again gives the same name without writing again.
    std::string store(std::string_view id, std::string_view bytes);

    const std::string &error() const { return m_error; }
    std::size_t written() const { return m_written; }
    std::size_t reused() const { return m_reused; }

    // The name a picture id gets before numbering: letters, digits, ".", "-"
    // and "_" are kept, anything else becomes "_".
    static std::string safeName(std::string_view id);

private:
    std::string m_folder;
    std::unordered_map<std::string, std::string> m_names;
    std::string m_error;
    std::size_t m_written = 0;
    std::size_t m_reused = 0;
};

} // namespace quorvex
