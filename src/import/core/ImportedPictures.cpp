#include "ImportedPictures.h"

#include "attachments/core/AttachmentStore.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>

namespace quorvex {

namespace {

constexpr std::size_t MaxNameLength = 120;

} // namespace

ImportedPictures::ImportedPictures(std::string databaseFolder) : m_folder(std::move(databaseFolder)) {}

std::string ImportedPictures::safeName(std::string_view id)
{
    std::string name;
    for (const char c : id) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                          c == '-' || c == '_';
        name += keep ? c : '_';
    }
    // A name of dots alone would be the folder itself or its parent.
    if (name.find_first_not_of('.') == std::string::npos)
        name = "picture" + name;
    if (name.size() > MaxNameLength)
        name.erase(0, name.size() - MaxNameLength);
    return name;
}

std::string ImportedPictures::store(std::string_view id, std::string_view bytes)
{
    const std::string key(id);
    if (const auto known = m_names.find(key); known != m_names.end())
        return known->second;
    const SourceNameParts parts = AttachmentStore::splitSourceName(safeName(id));
    for (int n = 0; n < AttachmentStore::MaxNumberedNames; ++n) {
        const std::string name = AttachmentStore::numberedName(parts, n);
        const std::string target = FileSystem::join(m_folder, name);
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) == bytes.size()) {
                const auto existing = FileSystem::readFilePrefix(target, bytes.size() + 1);
                if (existing && *existing == bytes) {
                    ++m_reused;
                    m_names.emplace(key, name);
                    return name;
                }
            }
            continue;
        }
        AtomicFile file(target, AtomicFile::LinkPolicy::Refuse);
        file.setRemoveStale(false);
        file.setSyncNewFiles(false);
        file.setNewFileMode(0644);
        if (file.open() && file.write(bytes) && file.commitNoReplace()) {
            ++m_written;
            m_names.emplace(key, name);
            return name;
        }
        // Taken meanwhile: the next number.
        if (file.error() == EEXIST)
            continue;
        m_error = "Unable to write the picture " + name + " into the database folder. " + file.errorText();
        return {};
    }
    m_error = "The database folder holds too many pictures named like " + std::string(id) + ".";
    return {};
}

} // namespace quorvex
