#include "PrivateXdgFolders.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

PrivateXdgFolders::PrivateXdgFolders()
{
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "vrl-test-XXXXXX").string();
    if (error || !::mkdtemp(pattern.data()) || !fs::create_directory(pattern + "/config", error)
        || !fs::create_directory(pattern + "/data", error)) {
        // Going on would run against the user's own folders.
        std::fprintf(stderr, "no temporary XDG folders in %s\n", pattern.c_str());
        std::abort();
    }
    m_root = pattern;
    ::setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), 1);
}

PrivateXdgFolders::~PrivateXdgFolders()
{
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

std::string PrivateXdgFolders::ConfigFile() const
{
    return m_root + "/config/Tellumar/VRL.conf";
}

std::string PrivateXdgFolders::Path(const std::string& name) const
{
    return m_root + "/" + name;
}
