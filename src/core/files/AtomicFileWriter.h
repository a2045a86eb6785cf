#pragma once

#include <functional>
#include <iosfwd>
#include <string>

struct AtomicWriteResult
{
    bool m_ok = false;
    bool m_inPlace = false; // the folder could not take a new file: written in place
    std::string
        m_error; // UTF-8, in the program's language (Chinese), names the path and the reason
};

// Writes path through a temporary file in the same folder (fsync, rename); write() streams
// the content into the given ostream and returns false on its own failure.
//
// A reader sees the old file or the new one whole, even after a crash or a power cut. The
// temporary file is "<file>.XXXXXX" (mkstemp); the content goes through a small buffer, so
// the file is never held in memory here. Only a regular file or a path that does not exist
// yet is written: a folder, a FIFO, a device or a socket at path is refused and left as it
// is. A symbolic link stays a link: its target is written. A replaced file keeps its
// permission bits; a new file gets 0666 less the umask. On failure the temporary file is
// removed and the old file is untouched, except after an in-place write (the folder is
// read-only but the file is writable), which cannot keep the old content when it fails.
// The folder must exist.
AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      const std::function<bool(std::ostream&)>& write);

// Removes "<basename>.XXXXXX" siblings of path that a killed program left behind: exactly
// six characters of mkstemp's alphabet after the dot, regular files owned by this user,
// unchanged for a minute (another running copy may be saving right now). Suffixes of
// lowercase letters only are kept: that is how a person names a copy ("VRL.conf.backup").
void RemoveStaleTemporaries(const std::string& path);
