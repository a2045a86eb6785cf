#pragma once

// A ser2net of the test's own on loopback, serving one device (a pseudo-terminal) as
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

extern char** environ;

class Ser2net
{
public:
    // device: the path ser2net opens; dir: where its configuration is written.
    Ser2net(std::string device, std::string dir) : m_device(std::move(device)), m_dir(std::move(dir))
    {
        m_rfc2217Port = FreePort();
        m_rawPort = FreePort();
    }
    ~Ser2net() { Stop(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    static bool Installed() { return access("/usr/sbin/ser2net", X_OK) == 0 || access("/usr/bin/ser2net", X_OK) == 0; }

    std::string Rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(m_rfc2217Port); }
    std::string RawUrl() const { return "tcp://127.0.0.1:" + std::to_string(m_rawPort); }

    // Starts it and waits until it takes connections; false when it does not.
    bool Start()
    {
        const std::string config = m_dir + "/ser2net.yaml";
        std::ofstream(config) << "connection: &rfc2217\n"
                                 "  accepter: telnet(rfc2217),tcp,127.0.0.1,"
                              << m_rfc2217Port << "\n  connector: serialdev," << m_device
                              << ",local\n"
                                 "connection: &raw\n"
                                 "  accepter: tcp,127.0.0.1,"
                              << m_rawPort << "\n  connector: serialdev," << m_device << ",local\n";
        const std::string log = m_dir + "/ser2net.log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const char* argv[] = {"ser2net", "-n", "-d", "-u", "-c", config.c_str(), nullptr};
        const int rc = posix_spawnp(&m_pid, "ser2net", &actions, nullptr, const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
        {
            m_pid = -1;
            return false;
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until)
        {
            if (Answers(m_rfc2217Port) && Answers(m_rawPort))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

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
    static std::uint16_t FreePort()
    {
        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        std::uint16_t port = 0;
        if (bind(s, reinterpret_cast<sockaddr*>(&a), size) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
            port = ntohs(a.sin_port);
        close(s);
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

    std::string m_device;
    std::string m_dir;
    std::uint16_t m_rfc2217Port = 0;
    std::uint16_t m_rawPort = 0;
    pid_t m_pid = -1;
};
