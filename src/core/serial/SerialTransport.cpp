#include "core/serial/SerialTransport.h"

#include "core/serial/Rfc2217Transport.h"
#include "core/serial/TcpTransport.h"

#include <cctype>
#include <charconv>

namespace {
bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}
} // namespace

bool SerialTransport::IsRemote(std::string_view device)
{
    const auto colon = device.find("://");
    if (colon == std::string_view::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(device[i])))
            return false;
    return true;
}

bool SerialTransport::Parse(std::string_view device, Endpoint& endpoint)
{
    Endpoint e;
    if (StartsWithNoCase(device, "rfc2217://")) {
        e.rfc2217 = true;
        device.remove_prefix(10);
    } else if (StartsWithNoCase(device, "tcp://"))
        device.remove_prefix(6);
    else
        return false;
    std::string_view host;
    std::string_view rest;
    if (!device.empty() && device.front() == '[') {
        const auto close = device.find(']');
        if (close == std::string_view::npos)
            return false;
        host = device.substr(1, close - 1);
        rest = device.substr(close + 1);
    } else {
        const auto colon = device.rfind(':');
        if (colon == std::string_view::npos)
            return false;
        host = device.substr(0, colon);
        rest = device.substr(colon);
        if (host.find(':') != std::string_view::npos) // IPv6 needs its brackets
            return false;
    }
    if (host.empty() || rest.size() < 2 || rest.front() != ':')
        return false;
    for (char c : host)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '@')
            return false;
    rest.remove_prefix(1);
    unsigned port = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), port);
    if (error != std::errc() || end != rest.data() + rest.size() || port < 1 || port > 65535)
        return false;
    e.host = std::string(host);
    e.port = static_cast<std::uint16_t>(port);
    endpoint = std::move(e);
    return true;
}

std::unique_ptr<SerialTransport> SerialTransport::Create(std::string_view device)
{
    Endpoint endpoint;
    if (!Parse(device, endpoint))
        return nullptr;
    if (endpoint.rfc2217)
        return std::make_unique<Rfc2217Transport>(std::move(endpoint));
    return std::make_unique<TcpTransport>(std::move(endpoint));
}

std::string SerialTransport::HostPort(const Endpoint& endpoint)
{
    const bool v6 = endpoint.host.find(':') != std::string::npos;
    return (v6 ? "[" + endpoint.host + "]" : endpoint.host) + ":" + std::to_string(endpoint.port);
}
