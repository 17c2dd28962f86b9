#pragma once

#include <string>

namespace quorvex {

// Marks a folder as in use by a running copy of the program: the copy holds an
// advisory lock on the folder for as long as it runs, and the system drops the
// lock when the copy ends, however it ends. Cleaning the shared temporary
// folder uses it to tell a live copy's folder from one a crashed copy left.
class FolderLock {
public:
    // Takes the lock for this process until release() or exit. False when the
    // folder cannot be opened or another copy holds it.
    static bool hold(const std::string &folder);
    static void release(const std::string &folder);

    // A lock taken only for the lifetime of the object, e.g. while a dead
    // copy's folder is removed, so that no copy can claim it meanwhile.
    class Probe {
    public:
        explicit Probe(const std::string &folder);
        ~Probe();
        Probe(const Probe &) = delete;
        Probe &operator=(const Probe &) = delete;
        // False when another open of the folder (another copy) holds the lock.
        bool acquired() const { return m_fd >= 0; }
        // True only when the folder could be opened and someone else holds it.
        bool heldElsewhere() const { return m_heldElsewhere; }

    private:
        int m_fd = -1;
        bool m_heldElsewhere = false;
    };
};

} // namespace quorvex
