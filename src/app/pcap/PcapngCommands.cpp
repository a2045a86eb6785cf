#include "app/pcap/PcapngCommands.h"

#include "app/host/FrameHost.h"
#include "app/pcap/PcapngReplayer.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/capture/PcapngExport.h"
#include "core/decode/LineTiming.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/SerialPort.h"
#include "core/traffic/PortTraffic.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const CommandInfo kCommands[] = {
    {ID_EXPORT_PCAPNG, QT_TRANSLATE_NOOP("Command", "导出 pcapng..."), nullptr,
     QT_TRANSLATE_NOOP("Command",
                       "把打开串口以来（清除监视窗以后）的报文存为 Wireshark 可打开的 pcapng 文件"),
     QT_TRANSLATE_NOOP("Command", "导出 pcapng"), nullptr, false},
    {ID_RECORD_PCAPNG, QT_TRANSLATE_NOOP("Command", "录制 pcapng..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "把打开的串口的每条报文写入 pcapng 文件，直到再次选择本项"),
     QT_TRANSLATE_NOOP("Command", "录制 pcapng"), nullptr, true},
    {ID_REPLAY_PCAPNG, QT_TRANSLATE_NOOP("Command", "回放 pcapng..."), nullptr,
     QT_TRANSLATE_NOOP("Command",
                       "把 pcapng 文件中一个串口收到的数据按原来的间隔发送到当前串口（Esc 停止）"),
     QT_TRANSLATE_NOOP("Command", "回放 pcapng"), nullptr, true},
};

constexpr int kProgressMs = 200;
const QString kNoteKey = QStringLiteral("pcapng");
const QString kExportKey = QStringLiteral("pcapng-export");

std::int64_t WallOffsetUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count()
           - duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CPcapngCommands::CPcapngCommands(CFrameHost& host, std::function<bool(unsigned port)> modbusOn)
    : QObject(host.Window()), m_host(host), m_modbusOn(std::move(modbusOn)),
      m_pTimer(new QTimer(this)), m_pReplayer(new CPcapngReplayer(host))
{
    m_host.Pipeline().Traffic().Add(m_ring, PortTraffic::Runs::OnWorker);
    m_pTimer->setInterval(kProgressMs);
    connect(m_pTimer, &QTimer::timeout, this, &CPcapngCommands::OnTimer);
}

CPcapngCommands::~CPcapngCommands()
{
    // The frame is gone by now (EndAtExit ran): only the threads are ended.
    m_cancelExport = true;
    if (m_exportThread.joinable())
        m_exportThread.join();
}

void CPcapngCommands::EndAtExit()
{
    m_pReplayer->Stop();
    m_pReplayer->Join();
    if (m_pRecorder) {
        m_host.Pipeline().Traffic().Remove(*m_pRecorder);
        m_pRecorder->Stop();
        m_pRecorder.reset();
    }
    // An export under way is finished: the user asked for that file.
    if (m_exportThread.joinable())
        m_exportThread.join();
    m_host.Pipeline().Traffic().Remove(m_ring);
}

std::span<const CommandInfo> CPcapngCommands::Commands()
{
    return kCommands;
}

void CPcapngCommands::OnCommand(int id)
{
    if (id == ID_EXPORT_PCAPNG && !m_exporting)
        Export();
    else if (id == ID_RECORD_PCAPNG && m_pRecorder)
        StopRecording(false);
    else if (id == ID_RECORD_PCAPNG)
        StartRecording();
    else if (id == ID_REPLAY_PCAPNG)
        m_pReplayer->Toggle();
}

void CPcapngCommands::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_EXPORT_PCAPNG)
        state.m_enabled = !m_exporting;
    else if (id == ID_RECORD_PCAPNG)
        state.m_checked = m_pRecorder != nullptr;
    else if (id == ID_REPLAY_PCAPNG)
        state.m_checked = m_pReplayer->IsPlaying();
}

QString CPcapngCommands::AskSaveName(const QString& title)
{
    if (m_askFileName)
        return m_askFileName(false);
    const QString name = QDir::home().filePath(
        QStringLiteral("VRL %1.pcapng")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HHmmss"))));
    return QFileDialog::getSaveFileName(m_host.Window(), title, name, tr("pcapng 文件 (*.pcapng)"));
}

template <typename Target> void CPcapngCommands::DescribePorts(Target& target) const
{
    for (unsigned port = 0; port < SerialPort::kPortCount; ++port) {
        const SerialPort* record = m_host.GetPortRecord(static_cast<int>(port));
        if (!record || !record->IsOpen())
            continue;
        target.SetInterface(port, PortName(port), record->DevicePath());
        target.SetModbus(port, m_modbusOn(port) ? CharMilliseconds(*record) * 1000.0 : 0.0);
    }
}

void CPcapngCommands::Export()
{
    // Taken before the dialog: what the user saw is what is written.
    auto snapshot = std::make_shared<TrafficRing::Snapshot>(m_ring.Take());
    const QString path = AskSaveName(tr("导出 pcapng"));
    if (path.isEmpty())
        return;
    auto exporter = std::make_shared<PcapngExport>();
    DescribePorts(*exporter);
    if (m_exportThread.joinable())
        m_exportThread.join();
    m_exporting = true;
    m_exportDone = 0;
    m_cancelExport = false;
    m_exportTotal = snapshot->Bytes();
    m_pTimer->start();
    OnTimer();
    const std::string file = QFile::encodeName(path).toStdString();
    const std::int64_t offset = WallOffsetUs();
    m_exportThread = std::thread([this, snapshot, exporter, file, offset, path] {
        const AtomicWriteResult result =
            exporter->Write(file, *snapshot, offset, &m_exportDone, &m_cancelExport);
        const QString error = QString::fromStdString(result.m_error);
        QMetaObject::invokeMethod(
            this,
            [this, ok = result.m_ok, error, path, trimmed = snapshot->m_trimmed] {
                m_exporting = false;
                if (m_exportThread.joinable())
                    m_exportThread.join();
                m_host.SetStatusNote(kExportKey, QString());
                if (!m_pRecorder)
                    m_pTimer->stop();
                if (ok)
                    m_host.ShowStatusMessage(
                        trimmed ? tr("已导出 pcapng（只有最近 64 MB 的报文）：%1").arg(path)
                                : tr("已导出 pcapng：%1").arg(path));
                else
                    m_host.ShowMessage(error);
                Q_EMIT exportFinished(ok);
            },
            Qt::QueuedConnection);
    });
}

void CPcapngCommands::StartRecording()
{
    const QString path = AskSaveName(tr("录制 pcapng"));
    if (path.isEmpty())
        return;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_host.ShowMessage(
            tr("无法写入文件“%1”：%2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    m_pRecorder = std::make_unique<PcapngRecorder>();
    DescribePorts(*m_pRecorder);
    m_pRecorder->Start(fd, true);
    m_host.Pipeline().Traffic().Add(*m_pRecorder, PortTraffic::Runs::OnWorker);
    m_recordPath = path;
    m_pTimer->start();
    OnTimer();
}

void CPcapngCommands::StopRecording(bool failed)
{
    m_host.Pipeline().Traffic().Remove(*m_pRecorder);
    const bool ok = m_pRecorder->Stop() && !failed;
    const QString error = QString::fromStdString(m_pRecorder->Error());
    const std::uint64_t packets = m_pRecorder->Packets();
    m_pRecorder.reset();
    m_host.SetStatusNote(kNoteKey, QString());
    if (!m_exporting)
        m_pTimer->stop();
    if (ok)
        m_host.ShowStatusMessage(tr("pcapng 录制结束：%1，%2 包").arg(m_recordPath).arg(packets));
    else
        m_host.ShowMessage(tr("写入 pcapng 文件“%1”失败：%2").arg(m_recordPath, error));
}

void CPcapngCommands::OnTimer()
{
    if (m_pRecorder && m_pRecorder->Failed()) {
        StopRecording(true);
    } else if (m_pRecorder) {
        m_host.SetStatusNote(kNoteKey, tr("录制 pcapng：%1（%2 包）")
                                           .arg(QFileInfo(m_recordPath).fileName())
                                           .arg(m_pRecorder->Packets()));
    }
    if (m_exporting && m_exportTotal > 0)
        m_host.SetStatusNote(
            kExportKey, tr("正在导出 pcapng：%1%").arg(m_exportDone.load() * 100 / m_exportTotal));
}
