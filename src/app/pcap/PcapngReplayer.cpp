#include "app/pcap/PcapngReplayer.h"

#include "app/host/FrameHost.h"
#include "app/send/PortSender.h"
#include "core/base/PortName.h"
#include "core/text/HexText.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QShortcut>

namespace {
const QString kNoteKey = QStringLiteral("pcapng-replay");
}

CPcapngReplayer::CPcapngReplayer(CFrameHost& host) : QObject(host.Window()), m_host(host) {}

CPcapngReplayer::~CPcapngReplayer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CPcapngReplayer::Toggle()
{
    if (IsPlaying()) {
        Stop();
        return;
    }
    const int port = m_host.CurrentPort();
    if (port < 0 || !m_host.IsPortOpen(port)) {
        m_host.ShowMessage(tr("请先打开要回放到的串口。"));
        return;
    }
    const QString path =
        m_askFile ? m_askFile()
                  : QFileDialog::getOpenFileName(m_host.Window(), tr("回放 pcapng"), QString(),
                                                 tr("pcapng 文件 (*.pcapng);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    // The whole file is checked before the speed is asked: a bad one sends nothing.
    const std::string source = PortName(static_cast<unsigned>(port));
    if (!m_reader.Read(QFile::encodeName(path).toStdString())
        || !m_replay.Choose(m_reader, source)) {
        const std::string& why = m_reader.Error().empty() ? m_replay.Error() : m_reader.Error();
        m_host.ShowMessage(tr("无法回放“%1”：%2").arg(path, QString::fromStdString(why)));
        return;
    }
    bool ok = true;
    const double speed =
        m_askSpeed
            ? m_askSpeed()
            : QInputDialog::getDouble(m_host.Window(), tr("回放 pcapng"),
                                      tr("把 %1 收到的 %2 个包写入 %3，速度（倍）：")
                                          .arg(QString::fromStdString(m_replay.SourceName()))
                                          .arg(m_replay.Packets().size())
                                          .arg(QString::fromStdString(source)),
                                      1.0, PcapngReplay::kSlowest, PcapngReplay::kFastest, 1, &ok);
    if (!ok || speed <= 0)
        return;
    Start(speed, static_cast<unsigned>(port));
}

void CPcapngReplayer::Start(double speed, unsigned port)
{
    m_port = port;
    m_stop = false;
    m_pEscape = new QShortcut(QKeySequence(Qt::Key_Escape), m_host.Window());
    connect(m_pEscape, &QShortcut::activated, this, &CPcapngReplayer::Stop);
    ShowProgress(0);
    m_thread = std::thread([this, speed, port] {
        CPortSender& sender = m_host.Sender();
        const bool atEnd = m_replay.Play(
            speed,
            [&](const std::uint8_t* bytes, std::size_t count, std::string&) {
                std::vector<std::uint8_t> data(bytes, bytes + count);
                std::string text =
                    BytesToHexText(std::string_view(reinterpret_cast<const char*>(bytes), count));
                return sender.Send(port, std::move(data), std::move(text));
            },
            [this](std::size_t index, std::int64_t) {
                QMetaObject::invokeMethod(
                    this, [this, index] { ShowProgress(index + 1); }, Qt::QueuedConnection);
            },
            m_stop);
        const QString error = QString::fromStdString(m_replay.Error());
        QMetaObject::invokeMethod(
            this, [this, atEnd, error] { Finish(atEnd, error); }, Qt::QueuedConnection);
    });
}

void CPcapngReplayer::Stop()
{
    m_stop = true;
}

void CPcapngReplayer::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CPcapngReplayer::ShowProgress(std::size_t done)
{
    if (IsPlaying() || done == 0)
        m_host.SetStatusNote(
            kNoteKey,
            tr("回放 pcapng：%1/%2 包（Esc 停止）").arg(done).arg(m_replay.Packets().size()));
}

void CPcapngReplayer::Finish(bool atEnd, const QString& error)
{
    Join();
    delete m_pEscape;
    m_pEscape = nullptr;
    m_host.SetStatusNote(kNoteKey, QString());
    if (!error.isEmpty())
        m_host.ShowMessage(tr("回放中断：%1").arg(error));
    else
        m_host.ShowStatusMessage(atEnd ? tr("回放 pcapng 完成") : tr("回放 pcapng 已停止"));
    Q_EMIT finished(atEnd);
}
