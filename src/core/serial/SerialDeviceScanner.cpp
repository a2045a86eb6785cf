#include "core/serial/SerialDeviceScanner.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#ifdef VRL_HAVE_LIBUDEV
#include <libudev.h>
#endif

namespace fs = std::filesystem;

namespace {
std::string ReadLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

// The serial core lists every UART slot it knows; type 0 (PORT_UNKNOWN) has no hardware.
bool IsPhantomUart(const fs::path& classDir)
{
    std::error_code error;
    const fs::path type = classDir / "type";
    return fs::exists(type, error) && ReadLine(type) == "0";
}

// Links of /dev/serial/by-id by the kernel name they lead to (ttyUSB0 -> by-id path).
std::map<std::string, std::string> StableNames(const std::string& root)
{
    std::map<std::string, std::string> names;
    std::error_code error;
    const fs::path dir = fs::path(root + "/dev/serial/by-id");
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError)
            continue;
        const std::string kernelName = target.filename().string();
        const std::string path = "/dev/serial/by-id/" + it->path().filename().string();
        auto [at, added] = names.try_emplace(kernelName, path);
        if (!added && path < at->second)
            at->second = path; // the same link every time, whatever the folder order
    }
    return names;
}

// ttyUSB12 -> ("ttyUSB", 12).
std::tuple<int, std::string, long, std::string> SortKey(const SerialDevice& device)
{
    const std::string name = fs::path(device.node).filename().string();
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    const std::string stem = name.substr(0, digits);
    long number = -1;
    if (digits < name.size() && name.size() - digits < 9)
        number = std::stol(name.substr(digits));
    return {stem == "ttyS" ? 0 : 1, stem, number, name};
}

// The driver that serves the device: the first driver link up from the device that is not
// the serial core's own port layer.
std::string DriverOf(fs::path device, const fs::path& top)
{
    std::error_code error;
    for (int up = 0; up < 4 && device.string().size() > top.string().size(); ++up) {
        const fs::path target = fs::read_symlink(device / "driver", error);
        if (!error) {
            const std::string name = target.filename().string();
            if (name != "port" && name != "ctrl")
                return name;
        }
        device = device.parent_path();
    }
    return {};
}
} // namespace

void SerialDeviceScanner::Sort(std::vector<SerialDevice>& devices)
{
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return SortKey(a) < SortKey(b); });
}

std::vector<SerialDevice> SerialDeviceScanner::ScanSysfs(const std::string& root)
{
    std::vector<SerialDevice> devices;
    const auto stable = StableNames(root);
    const fs::path sysTop = fs::path(root + "/sys");
    std::error_code error;
    const fs::path classTty = fs::path(root + "/sys/class/tty");
    for (fs::directory_iterator it(classTty, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path classDir = it->path();
        const std::string name = classDir.filename().string();
        std::error_code itemError;
        // Virtual consoles, ptmx and the like have no device behind them.
        if (!fs::exists(classDir / "device", itemError) || IsPhantomUart(classDir))
            continue;

        SerialDevice device;
        device.node = "/dev/" + name;
        const auto link = stable.find(name);
        device.path = link != stable.end() ? link->second : device.node;

        const fs::path real = fs::canonical(classDir / "device", itemError);
        if (!itemError) {
            device.driver = DriverOf(real, sysTop);
            // A USB adapter: the USB device above the interface carries the names.
            for (fs::path p = real; p.string().size() > sysTop.string().size(); p = p.parent_path())
                if (fs::exists(p / "idVendor", itemError)) {
                    device.vendor = ReadLine(p / "manufacturer");
                    device.model = ReadLine(p / "product");
                    device.serial = ReadLine(p / "serial");
                    break;
                }
        }
        devices.push_back(std::move(device));
    }
    Sort(devices);
    return devices;
}

#ifdef VRL_HAVE_LIBUDEV
namespace {
std::string Property(udev_device* device, const char* name)
{
    const char* value = udev_device_get_property_value(device, name);
    return value ? value : "";
}

bool ScanUdev(std::vector<SerialDevice>& devices)
{
    udev* context = udev_new();
    if (!context)
        return false;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (!enumerate) {
        udev_unref(context);
        return false;
    }
    udev_enumerate_add_match_subsystem(enumerate, "tty");
    udev_enumerate_scan_devices(enumerate);
    const auto stable = StableNames({});
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* dev = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!dev)
            continue;
        const char* syspath = udev_device_get_syspath(dev);
        const char* node = udev_device_get_devnode(dev);
        const char* sysname = udev_device_get_sysname(dev);
        const char* type = udev_device_get_sysattr_value(dev, "type");
        udev_device* parent = udev_device_get_parent(dev);
        const bool serial =
            syspath && node && sysname && parent
            && std::string_view(syspath).find("/devices/virtual/") == std::string_view::npos
            && !(type && std::string_view(type) == "0");
        if (serial) {
            SerialDevice device;
            device.node = node;
            udev_list_entry* link = nullptr;
            udev_list_entry_foreach(link, udev_device_get_devlinks_list_entry(dev))
            {
                const std::string path = udev_list_entry_get_name(link);
                if (path.rfind("/dev/serial/by-id/", 0) == 0
                    && (device.path.empty() || path < device.path))
                    device.path = path;
            }
            if (device.path.empty()) {
                const auto found = stable.find(sysname);
                device.path = found != stable.end() ? found->second : device.node;
            }
            for (udev_device* p = parent; p && device.driver.empty();
                 p = udev_device_get_parent(p)) {
                const char* driver = udev_device_get_driver(p);
                if (driver && std::string_view(driver) != "port"
                    && std::string_view(driver) != "ctrl")
                    device.driver = driver;
            }
            device.vendor = Property(dev, "ID_VENDOR_FROM_DATABASE");
            if (device.vendor.empty())
                device.vendor = Property(dev, "ID_VENDOR");
            device.model = Property(dev, "ID_MODEL_FROM_DATABASE");
            if (device.model.empty())
                device.model = Property(dev, "ID_MODEL");
            device.serial = Property(dev, "ID_SERIAL_SHORT");
            // Without a udev database the names come from the USB device itself.
            if (device.vendor.empty() || device.model.empty())
                if (udev_device* usb =
                        udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device")) {
                    auto attr = [usb](const char* name) {
                        const char* v = udev_device_get_sysattr_value(usb, name);
                        return std::string(v ? v : "");
                    };
                    if (device.vendor.empty())
                        device.vendor = attr("manufacturer");
                    if (device.model.empty())
                        device.model = attr("product");
                    if (device.serial.empty())
                        device.serial = attr("serial");
                }
            devices.push_back(std::move(device));
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return true;
}
} // namespace
#endif

std::vector<SerialDevice> SerialDeviceScanner::Scan()
{
#ifdef VRL_HAVE_LIBUDEV
    std::vector<SerialDevice> devices;
    if (ScanUdev(devices)) {
        Sort(devices);
        return devices;
    }
#endif
    return ScanSysfs();
}
