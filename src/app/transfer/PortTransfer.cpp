#include "app/transfer/PortTransfer.h"

#include "app/host/FrameHost.h"
#include "app/send/PortSender.h"
#include "core/base/PortName.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/SerialPort.h"
#include "core/transfer/ReceivedFiles.h"
#include "core/transfer/TransferText.h"
#include "core/transfer/XmodemReceiver.h"
#include "core/transfer/XmodemSender.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/stat.h>

namespace {

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CPortTransfer::CPortTransfer(CFrameHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CPortTransfer::OnTick);
}

CPortTransfer::~CPortTransfer()
{
    if (m_running) {
        m_transfer->Cancel();
        Pump();
    }
    if (m_file)
        std::fclose(m_file);
}

bool CPortTransfer::IsRunning() const
{
    return m_running;
}

std::int64_t CPortTransfer::ElapsedMs() const
{
    return (m_endedMs >= 0 ? m_endedMs : NowMs()) - m_begunMs;
}

bool CPortTransfer::Start(unsigned port, TransferProtocol protocol, bool sending,
                          const QString& path, QString& error)
{
    if (m_running)
        return false;
    if (!m_host.IsPortOpen(static_cast<int>(port))) {
        error = tr("%1 没有打开。").arg(QString::fromStdString(PortName(port)));
        return false;
    }
    m_port = port;
    m_sending = sending;
    if (!Prepare(protocol, sending, QFile::encodeName(path).toStdString(), error))
        return false;
    m_running = true;
    m_begunMs = NowMs();
    m_endedMs = -1;
    m_endText.clear();
    m_host.Pipeline().Divert(
        port, [this](const std::uint8_t* bytes, std::size_t count) { OnBytes(bytes, count); });
    std::uint64_t size = 0;
    if (m_transfer->Progress().m_total)
        size = *m_transfer->Progress().m_total;
    Notice(TransferText::StartLine(sending, protocol, m_what, size));
    m_transfer->Start(m_begunMs);
    m_tick.start();
    Pump();
    return true;
}

bool CPortTransfer::Prepare(TransferProtocol protocol, bool sending, const std::string& path,
                            QString& error)
{
    TransferTimings timings;
    if (const SerialPort* record = m_host.GetPortRecord(static_cast<int>(m_port)))
        timings.m_bitsPerSecond = record->m_dwBaudRate;
    struct stat st
    {
    };
    if (!sending) {
        if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            error = tr("文件夹“%1”不存在。").arg(QFile::decodeName(path.c_str()));
            return false;
        }
        m_what = path;
        m_files = std::make_unique<ReceivedFiles>(path, ReceivedFiles::NameByTime());
        m_transfer = std::make_unique<XmodemReceiver>(protocol, timings, *m_files);
        return true;
    }
    if (m_file)
        std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file || ::fstat(::fileno(m_file), &st) != 0 || !S_ISREG(st.st_mode)) {
        error =
            tr("不能读文件“%1”：%2")
                .arg(QFile::decodeName(path.c_str()),
                     m_file ? tr("不是普通文件") : QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const auto slash = path.find_last_of('/');
    m_what = slash == std::string::npos ? path : path.substr(slash + 1);
    auto sender = std::make_unique<XmodemSender>(
        protocol, timings, m_what, static_cast<std::uint64_t>(st.st_size),
        [this](std::uint8_t* into, std::size_t room, std::string& why) -> std::ptrdiff_t {
            const std::size_t n = std::fread(into, 1, room, m_file);
            if (n == 0 && std::ferror(m_file)) {
                why = std::strerror(errno);
                return -1;
            }
            return static_cast<std::ptrdiff_t>(n);
        });
    sender->SetModified(st.st_mtime);
    m_transfer = std::move(sender);
    return true;
}

void CPortTransfer::Cancel()
{
    if (!m_running)
        return;
    m_transfer->Cancel();
    Pump();
}

void CPortTransfer::OnBytes(const std::uint8_t* bytes, std::size_t count)
{
    m_transfer->OnBytes(bytes, count, NowMs());
    Pump();
}

void CPortTransfer::OnTick()
{
    if (!m_running)
        return;
    if (!m_host.IsPortOpen(static_cast<int>(m_port))) {
        m_transfer->Abandon(tr("%1 已关闭（已传送 %2 块）")
                                .arg(QString::fromStdString(PortName(m_port)))
                                .arg(m_transfer->Progress().m_blocks)
                                .toStdString());
    } else {
        m_transfer->OnTime(NowMs());
    }
    Pump();
    Q_EMIT progressed();
}

void CPortTransfer::Pump()
{
    if (!m_running)
        return;
    std::vector<std::uint8_t> out = m_transfer->TakeOutput();
    if (!out.empty() && m_host.IsPortOpen(static_cast<int>(m_port)))
        m_host.Sender().Send(m_port, std::move(out), std::string(), false);
    if (m_transfer->GetState() != FileTransfer::State::Running)
        Finish();
}

void CPortTransfer::Finish()
{
    m_running = false;
    m_endedMs = NowMs();
    m_tick.stop();
    m_host.Pipeline().EndDiversion();
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    std::string where = m_what;
    if (m_files && !m_files->Written().empty()) {
        where.clear();
        for (const std::string& path : m_files->Written())
            where += (where.empty() ? "" : ", ") + path;
    }
    const std::string line = TransferText::EndLine(m_sending, *m_transfer, ElapsedMs(), where);
    m_endText = QString::fromStdString(line);
    Notice(line);
    Q_EMIT progressed();
    Q_EMIT finished(m_transfer->GetState() == FileTransfer::State::Done);
}

void CPortTransfer::Notice(const std::string& text)
{
    m_host.AppendNoticeLine(m_host.Pipeline().NoticeStamp() + PortName(m_port) + " " + text);
}
