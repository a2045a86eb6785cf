#pragma once

#include <string>

// XDG_CONFIG_HOME and XDG_DATA_HOME of this process, and of the programs it starts, pointed at
// fresh folders "config" and "data" under a temporary root, so that a test or a benchmark
// never reads or writes the user's settings and send file. The destructor removes the root;
// the variables keep naming it, so that nothing that writes late reaches the user's folders.
class PrivateXdgFolders
{
public:
    PrivateXdgFolders(); // aborts when no temporary folder can be made
    ~PrivateXdgFolders();
    PrivateXdgFolders(const PrivateXdgFolders&) = delete;
    PrivateXdgFolders& operator=(const PrivateXdgFolders&) = delete;

    const std::string& Root() const { return m_root; }
    std::string ConfigFile() const;                  // where the settings store keeps its file
    std::string Path(const std::string& name) const; // name inside the root

private:
    std::string m_root;
};
