#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// A folder laid out like /sys and /dev for the scanner.
struct FakeMachine
{
    std::filesystem::path root;

    FakeMachine()
    {
        char pattern[] = "/tmp/vrl-sysfs-XXXXXX";
        root = mkdtemp(pattern);
    }
    ~FakeMachine() { std::filesystem::remove_all(root); }

    void Write(const std::filesystem::path& file, const std::string& text) const
    {
        std::filesystem::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text << "\n";
    }
    void Link(const std::filesystem::path& at, const std::filesystem::path& target) const
    {
        std::filesystem::create_directories((root / at).parent_path());
        std::filesystem::create_directory_symlink(target, root / at);
    }
    // A tty class entry whose device is at devicesPath (relative to sys/devices).
    void Tty(const std::string& name, const std::string& devicePath,
             const char* type = nullptr) const
    {
        std::filesystem::create_directories(root / "sys/devices" / devicePath);
        std::filesystem::create_directories(root / "sys/class/tty" / name);
        std::filesystem::create_directory_symlink(root / "sys/devices" / devicePath,
                                                  root / "sys/class/tty" / name / "device");
        if (type)
            Write(std::filesystem::path("sys/class/tty") / name / "type", type);
    }
};
