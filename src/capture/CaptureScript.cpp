#include "capture/CaptureScript.h"

#include "capture/CaptureSession.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"
#include "core/text/CoreText.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr int kFlushRetryMs = 2;

} // namespace

CaptureScript::CaptureScript(CaptureSession& session)
    : m_session(session),
      m_queues(m_tap, [&session](unsigned port) -> ForwardEnd* { return session.OpenPort(port); }),
      m_service(session.Pipeline(), m_queues,
                SendService::Hooks{[&session] { session.Wake(); }, {}})
{
    m_session.SetTurnWork([this] { return Turn(); });
}

CaptureScript::~CaptureScript()
{
    StopAll();
    m_session.SetTurnWork({});
}

bool CaptureScript::Start(const std::vector<std::string>& files)
{
    for (unsigned port = 0; port < 256; ++port) {
        if (m_session.OpenPort(port)) {
            m_ports.push_back(port);
            if (m_session.Decoders().IsEnabled(ModbusDecoder::kName, port))
                m_modbusOn.push_back(port);
        }
    }
    std::vector<std::string> texts;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in) {
            std::fprintf(
                stderr, "vrl-capture: %s\n",
                CoreText::Args(VRL_TR("CaptureScript", "无法读取脚本“%1”"), {file}).c_str());
            return false;
        }
        texts.push_back(text.str());
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        auto host = std::make_unique<Host>(*this, files[i]);
        host->m_runner = std::make_unique<ScriptRunner>(*host, m_session.Pipeline().Traffic(),
                                                        files[i], texts[i]);
        m_scripts.push_back(std::move(host));
    }
    for (auto& script : m_scripts)
        script->m_runner->Start();
    return true;
}

void CaptureScript::StopAll()
{
    for (auto& script : m_scripts)
        script->m_runner->Stop();
    for (auto& script : m_scripts)
        script->m_runner->Join();
}

int CaptureScript::ExitStatus() const
{
    for (const auto& script : m_scripts) {
        if (script->m_ended && script->m_end.ExitStatus() != 0)
            return script->m_end.ExitStatus();
    }
    return 0;
}

int CaptureScript::Turn()
{
    std::vector<std::function<void()>> posted;
    {
        std::lock_guard lock(m_mutex);
        posted.swap(m_posted);
    }
    for (auto& work : posted)
        work();
    m_service.RunPosted();
    if (!m_scripts.empty() && std::all_of(m_scripts.begin(), m_scripts.end(), [](const auto& s) {
            return s->m_ended.load();
        })) {
        // What the scripts sent last goes out before the capture ends.
        m_queues.Flush();
        m_session.Stop();
    }
    return m_queues.IsWaiting() && m_queues.Flush().m_waiting ? kFlushRetryMs : -1;
}

void CaptureScript::Post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    m_session.Wake();
}

int CaptureScript::Host::FindPort(const std::string& name)
{
    unsigned port = 0;
    if (!PortMap::ParsePortName(name, port))
        return -1;
    const auto& ports = m_owner.m_ports;
    return std::find(ports.begin(), ports.end(), port) != ports.end() ? static_cast<int>(port) : -1;
}

bool CaptureScript::Host::Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text)
{
    return m_owner.m_service.Send(port, std::move(bytes), std::move(text));
}

bool CaptureScript::Host::SetOutputLine(unsigned port, unsigned line, bool on)
{
    m_owner.Post([this, port, line, on] {
        if (SerialPort* serial = m_owner.m_session.OpenPort(port))
            serial->SetOutputLine(line, on);
    });
    return true;
}

bool CaptureScript::Host::SetBreak(unsigned port, bool on)
{
    m_owner.Post([this, port, on] {
        SerialPort* serial = m_owner.m_session.OpenPort(port);
        if (serial && serial->Lines())
            serial->Lines()->SetBreak(on);
    });
    return true;
}

bool CaptureScript::Host::DecodesModbus(unsigned port)
{
    const auto& on = m_owner.m_modbusOn;
    return std::find(on.begin(), on.end(), port) != on.end();
}

void CaptureScript::Host::Log(const std::string& text)
{
    m_owner.Post([this, text] { m_owner.m_session.WriteNote(text, kColourScript); });
}

void CaptureScript::Host::Plot(const std::string& name, double value, std::int64_t timeUs)
{
    m_owner.Post([this, name, value, timeUs] { m_owner.m_session.PlotValue(name, value, timeUs); });
}

void CaptureScript::Host::Output(const std::string& text, bool)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

void CaptureScript::Host::Ended(const ScriptEnd& end)
{
    m_end = end;
    m_ended = true;
    m_owner.m_session.Wake();
}
