#pragma once

#include "platform/core/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorvex::test {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        const char *base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/quorvex-test-XXXXXX";
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()))
            m_path = std::string(name.data()) + "/";
        // Never fall back to a relative or root path: the tests would write there.
        if (m_path.empty()) {
            char fallback[] = "/tmp/quorvex-test-XXXXXX";
            if (::mkdtemp(fallback))
                m_path = std::string(fallback) + "/";
        }
        // An empty path would make every file name relative to the working
        // folder, which may be the source tree: stop instead.
        if (m_path.empty()) {
            std::fprintf(stderr, "TempFolder: cannot make a folder under %s or /tmp\n", base ? base : "/tmp");
            std::abort();
        }
    }
    ~TempFolder()
    {
        if (!m_path.empty())
            FileSystem::RemoveFolder(m_path);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // With a trailing "/".
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + name; }

private:
    std::string m_path;
};

} // namespace quorvex::test
