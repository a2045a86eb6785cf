#pragma once

// A ser2net of the test's own on loopback, serving devices (pseudo-terminals), each as
// telnet with RFC 2217 and as raw TCP: run in the foreground with its own configuration,
// stopped and started again by the test. Used by the remote-port tests and benchmarks.

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class Ser2net
{
public:
    // devices: the paths ser2net opens; dir: where its configuration is written; options:
    // YAML lines of each connection's options, indented by four blanks.
    Ser2net(std::vector<std::string> devices, std::string dir, std::string options = {})
        : m_devices(std::move(devices)), m_dir(std::move(dir)), m_options(std::move(options))
    {
        // Held until all are chosen, so that no port is chosen twice.
        std::vector<int> held;
        for (std::size_t i = 0; i < m_devices.size(); ++i) {
            m_rfc2217Ports.push_back(FreePort(held));
            m_rawPorts.push_back(FreePort(held));
        }
        for (int fd : held)
            close(fd);
    }
    ~Ser2net() { Stop(); }

    static bool Installed()
    {
        return access("/usr/sbin/ser2net", X_OK) == 0 || access("/usr/bin/ser2net", X_OK) == 0;
    }

    std::string Rfc2217Url(std::size_t i = 0) const
    {
        return "rfc2217://127.0.0.1:" + std::to_string(m_rfc2217Ports[i]);
    }
    std::string RawUrl(std::size_t i = 0) const
    {
        return "tcp://127.0.0.1:" + std::to_string(m_rawPorts[i]);
    }

    // Starts it and waits until it takes connections; false when it does not.
    bool Start()
    {
        const std::string config = m_dir + "/ser2net.yaml";
        {
            std::ofstream yaml(config);
            for (std::size_t i = 0; i < m_devices.size(); ++i) {
                const std::string options =
                    m_options.empty() ? std::string() : "  options:\n" + m_options;
                yaml << "connection: &rfc2217_" << i
                     << "\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << m_rfc2217Ports[i]
                     << "\n  connector: serialdev," << m_devices[i] << ",local\n"
                     << options << "connection: &raw_" << i << "\n  accepter: tcp,127.0.0.1,"
                     << m_rawPorts[i] << "\n  connector: serialdev," << m_devices[i] << ",local\n"
                     << options;
            }
        }
        const std::string log = m_dir + "/ser2net.log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const char* argv[] = {"ser2net", "-n", "-d", "-u", "-c", config.c_str(), nullptr};
        const int rc = posix_spawnp(&m_pid, "ser2net", &actions, nullptr,
                                    const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            m_pid = -1;
            return false;
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            bool all = true;
            for (std::size_t i = 0; i < m_devices.size() && all; ++i)
                all = Answers(m_rfc2217Ports[i]) && Answers(m_rawPorts[i]);
            if (all)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    pid_t Pid() const { return m_pid; }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    static std::uint16_t FreePort(std::vector<int>& held)
    {
        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        std::uint16_t port = 0;
        if (bind(s, reinterpret_cast<sockaddr*>(&a), size) == 0
            && getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
            port = ntohs(a.sin_port);
        held.push_back(s);
        return port;
    }

    // Whether something listens there: looked at in /proc, since a test connection would
    // open the device in ser2net (and take it from the port under test).
    static bool Answers(std::uint16_t port)
    {
        std::ifstream tcp("/proc/net/tcp");
        std::string line;
        char wanted[40];
        std::snprintf(wanted, sizeof wanted, ":%04X 00000000:0000 0A", port);
        while (std::getline(tcp, line))
            if (line.find(wanted) != std::string::npos)
                return true;
        return false;
    }

    std::vector<std::string> m_devices;
    std::string m_dir;
    std::string m_options;
    std::vector<std::uint16_t> m_rfc2217Ports;
    std::vector<std::uint16_t> m_rawPorts;
    pid_t m_pid = -1;
};
