#include "app/plot/Plotting.h"

#include "app/host/FrameHost.h"
#include "app/plot/PlotDock.h"
#include "app/plot/PlotView.h"
#include "app/widgets/DockRow.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"
#include "core/decode/DecoderSet.h"
#include "core/files/AtomicFileWriter.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/plot/PlotCsv.h"
#include "core/receive/MonitorLine.h"
#include "core/receive/ReceivePipeline.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const CommandInfo kCommands[] = {
    {ID_PLOT, QT_TRANSLATE_NOOP("Command", "曲线(&L)"), nullptr,
     QT_TRANSLATE_NOOP("Command",
                       "显示或隐藏曲线：MODBUS 寄存器、文本行中的数或脚本的数值随时间的变化"),
     QT_TRANSLATE_NOOP("Command", "曲线"), nullptr, true},
};

constexpr const char* kSection = "Plot";

const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd", "#8c564b",
                                "#e377c2", "#17becf", "#7f7f7f", "#bcbd22", "#000080", "#800000",
                                "#008080", "#808000", "#ff00ff", "#00a0ff"};

} // namespace

CPlotting::CPlotting(CFrameHost& host, DecoderSet& decoders)
    : QObject(host.Window()), m_host(host), m_decoders(decoders),
      m_pDock(new CPlotDock(host.Window())), m_pFrameTimer(new QTimer(this)),
      m_pListTimer(new QTimer(this)), m_wallOffsetUs(PlotCsv::WallOffsetNow())
{
    host.Window()->addDockWidget(Qt::BottomDockWidgetArea, m_pDock);
    DockRow::PlaceInOwnRow(*host.Window(), *m_pDock);
    m_pDock->hide();
    m_pDock->View()->SetClock(SteadyMicroseconds, m_wallOffsetUs);
    m_sampler.SetSink([this](std::size_t channel, std::int64_t timeUs, double value) {
        m_histories[channel].Append(timeUs, value);
    });
    m_listenerId = m_decoders.AddListener([this](const DecodedRecord& r) { OnRecord(r); });
    m_host.Pipeline().Traffic().Add(*this, PortTraffic::Runs::OnWindow);

    CPlotDock* dock = m_pDock;
    connect(dock->AddButton(), &QPushButton::clicked, this, [this] { EditChannel(-1); });
    connect(dock->EditButton(), &QPushButton::clicked, this,
            [this] { EditChannel(m_pDock->List()->currentIndex().row()); });
    connect(dock->List(), &QTreeWidget::itemDoubleClicked, this,
            [this] { EditChannel(m_pDock->List()->currentIndex().row()); });
    connect(dock->RemoveButton(), &QPushButton::clicked, this, [this] {
        const int row = m_pDock->List()->currentIndex().row();
        if (row < 0 || row >= static_cast<int>(m_channels.size()))
            return;
        auto channels = m_channels;
        channels.erase(channels.begin() + row);
        SetChannels(std::move(channels));
    });
    connect(dock->FollowButton(), &QPushButton::toggled, this, [this](bool on) {
        if (on)
            m_pDock->View()->Follow();
    });
    connect(dock->View(), &CPlotView::followingChanged, dock->FollowButton(),
            &QPushButton::setChecked);
    connect(dock->ClearButton(), &QPushButton::clicked, this, [this] {
        for (PlotHistory& history : m_histories)
            history.Clear();
        m_sampler.ClearCounts();
        RefreshList();
        m_pDock->View()->update();
    });
    auto* exportMenu = new QMenu(dock->ExportButton());
    exportMenu->addAction(tr("可见范围..."), this, [this] { ExportCsv(true); });
    exportMenu->addAction(tr("全部..."), this, [this] { ExportCsv(false); });
    dock->ExportButton()->setMenu(exportMenu);
    connect(dock->PictureButton(), &QPushButton::clicked, this, &CPlotting::SavePicture);

    // The picture follows while the dock is shown; hidden, its timers do not run at all (a
    // window woken 30 times a second for nothing costs a monitor at rest its quiet).
    m_pFrameTimer->setInterval(kFrameMs);
    connect(m_pFrameTimer, &QTimer::timeout, this, [this] {
        if (m_pDock->View()->IsFollowing())
            m_pDock->View()->update();
    });
    m_pListTimer->setInterval(kListMs);
    connect(m_pListTimer, &QTimer::timeout, this, &CPlotting::RefreshList);
    connect(m_pDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            m_pFrameTimer->start();
            m_pListTimer->start();
        } else {
            m_pFrameTimer->stop();
            m_pListTimer->stop();
        }
    });

    std::vector<PlotChannelConfig> stored;
    const int count = m_host.Store().ReadInt(kSection, "Count", 0);
    for (int i = 1; i <= count && stored.size() < kMaxChannels; ++i) {
        PlotChannelConfig config;
        const std::string line = m_host.Store().ReadString(kSection, "Channel" + std::to_string(i));
        if (PlotChannelConfig::FromStored(QString::fromStdString(line), config))
            stored.push_back(config);
    }
    SetChannels(std::move(stored));
}

CPlotting::~CPlotting()
{
    EndAtExit();
}

void CPlotting::EndAtExit()
{
    if (!m_listening)
        return;
    m_listening = false;
    m_host.Pipeline().Traffic().Remove(*this);
    m_decoders.RemoveListener(m_listenerId);
}

std::span<const CommandInfo> CPlotting::Commands()
{
    return kCommands;
}

void CPlotting::OnCommand(int id)
{
    if (id != ID_PLOT)
        return;
    if (m_pDock->isVisibleTo(m_host.Window())) {
        m_pDock->hide();
    } else {
        DockRow::ShowReadable(*m_host.Window(), *m_pDock);
        RefreshList();
    }
}

void CPlotting::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_PLOT)
        state.m_checked = m_pDock->isVisibleTo(m_host.Window());
}

void CPlotting::OnTraffic(const TrafficMessage& message)
{
    if (message.m_direction == 1 && !message.m_forwarded)
        m_sampler.OnReceived(message.m_port, message.m_timeUs, message.m_bytes, message.m_count);
}

void CPlotting::OnRecord(const DecodedRecord& decoded)
{
    m_sampler.OnRecord(decoded);
    // The registers answers carry, for the dialog's list.
    const auto* record = dynamic_cast<const ModbusRecord*>(&decoded);
    if (!record || record->m_direction != 1 || !record->m_start || m_seen.size() >= kMaxSeen)
        return;
    for (const ModbusValue& v : record->m_values) {
        m_seen.insert({record->m_port, record->m_slave, record->m_table, v.m_address});
        if (m_seen.size() >= kMaxSeen)
            break;
    }
}

void CPlotting::AddScriptValue(const std::string& name, double value, std::int64_t timeUs)
{
    m_sampler.OnScriptValue(name, timeUs, value);
}

void CPlotting::SetChannels(std::vector<PlotChannelConfig> channels)
{
    if (channels.size() > kMaxChannels)
        channels.resize(kMaxChannels);
    // A channel whose source stays keeps its samples.
    std::vector<PlotHistory> histories(channels.size());
    std::vector<bool> taken(m_channels.size(), false);
    for (std::size_t i = 0; i < channels.size(); ++i) {
        for (std::size_t j = 0; j < m_channels.size(); ++j) {
            if (!taken[j] && m_channels[j].m_channel.m_source == channels[i].m_channel.m_source) {
                histories[i] = std::move(m_histories[j]);
                taken[j] = true;
                break;
            }
        }
    }
    m_channels = std::move(channels);
    m_histories = std::move(histories);
    Rewire();
    Store();
}

void CPlotting::Rewire()
{
    std::vector<PlotSource> sources;
    std::vector<CPlotView::Channel> shown;
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const PlotChannelConfig& c = m_channels[i];
        sources.push_back(c.m_channel.m_source);
        shown.push_back({QString::fromStdString(c.m_channel.m_name), c.m_colour, c.m_unit,
                         c.m_factor, c.m_offset, c.m_axis, &m_histories[i]});
    }
    m_sampler.SetChannels(std::move(sources));
    m_pDock->View()->SetChannels(std::move(shown));
    m_pDock->AddButton()->setEnabled(m_channels.size() < kMaxChannels);
    RefreshList();
}

void CPlotting::Store() const
{
    SettingsStore& store = m_host.Store();
    store.WriteInt(kSection, "Count", static_cast<std::int32_t>(m_channels.size()));
    for (std::size_t i = 0; i < m_channels.size(); ++i)
        store.WriteString(kSection, "Channel" + std::to_string(i + 1),
                          m_channels[i].ToStored().toStdString());
}

QString CPlotting::SourceState(std::size_t channel) const
{
    const PlotSource& s = m_channels[channel].m_channel.m_source;
    if (s.m_kind == PlotSource::Kind::Script)
        return {};
    if (!m_host.IsPortOpen(static_cast<int>(s.m_port)))
        return tr("串口未打开");
    if (s.m_kind == PlotSource::Kind::Modbus
        && !m_decoders.IsEnabled(ModbusDecoder::kName, s.m_port))
        return tr("MODBUS 解析未开");
    return {};
}

void CPlotting::RefreshList()
{
    QTreeWidget* list = m_pDock->List();
    while (list->topLevelItemCount() > static_cast<int>(m_channels.size()))
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        const PlotChannelConfig& c = m_channels[i];
        QTreeWidgetItem* item = list->topLevelItem(static_cast<int>(i));
        if (!item)
            item = new QTreeWidgetItem(list);
        QPixmap swatch(12, 12);
        swatch.fill(c.m_colour);
        item->setIcon(CPlotDock::kNameColumn, swatch);
        item->setText(CPlotDock::kNameColumn, QString::fromStdString(c.m_channel.m_name));
        PlotChannel source = c.m_channel;
        const std::string text = PlotChannelText(source);
        item->setText(CPlotDock::kSourceColumn,
                      QString::fromStdString(text.substr(text.find('=') + 1)));
        const PlotHistory& history = m_histories[i];
        const auto last = history.Count() ? history.At(history.LastTime()) : std::nullopt;
        item->setText(CPlotDock::kValueColumn,
                      last ? QStringLiteral("%1 %2")
                                 .arg(last->m_value * c.m_factor + c.m_offset, 0, 'g', 8)
                                 .arg(c.m_unit)
                           : QString());
        item->setText(CPlotDock::kSkippedColumn, QString::number(m_sampler.Skipped(i)));
        const QString state = SourceState(i);
        item->setText(CPlotDock::kStateColumn,
                      state.isEmpty() ? tr("%n 个数值", nullptr, static_cast<int>(history.Count()))
                                      : state);
        item->setForeground(CPlotDock::kStateColumn,
                            state.isEmpty() ? list->palette().text() : QBrush(Qt::red));
        bytes += history.MemoryBytes();
    }
    m_pDock->Memory()->setText(tr("内存 %1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1));
}

void CPlotting::EditChannel(int row)
{
    const bool adding = row < 0 || row >= static_cast<int>(m_channels.size());
    if (adding && m_channels.size() >= kMaxChannels)
        return;
    PlotChannelConfig config;
    if (adding) {
        config.m_colour = QColor(QString::fromLatin1(kColours[m_channels.size() % 16]));
        config.m_channel.m_source.m_port =
            m_host.CurrentPort() >= 0 ? static_cast<unsigned>(m_host.CurrentPort()) : 0;
    } else {
        config = m_channels[static_cast<std::size_t>(row)];
    }
    CPlotChannelDialog dialog(config, Seen(), m_host.Window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto channels = m_channels;
    if (adding)
        channels.push_back(dialog.Config());
    else
        channels[static_cast<std::size_t>(row)] = dialog.Config();
    SetChannels(std::move(channels));
}

QString CPlotting::AskFileName(const QString& title, const QString& name, const QString& filter)
{
    if (m_askFileName)
        return m_askFileName();
    return QFileDialog::getSaveFileName(m_host.Window(), title, QDir::home().filePath(name),
                                        filter);
}

bool CPlotting::ExportCsv(bool visibleOnly)
{
    if (m_channels.empty())
        return false;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HHmmss"));
    const QString path =
        AskFileName(tr("导出曲线数值"), tr("曲线 %1.csv").arg(stamp), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    std::vector<std::string> names;
    std::vector<const PlotHistory*> histories;
    std::int64_t from = INT64_MAX;
    std::int64_t to = INT64_MIN;
    for (std::size_t i = 0; i < m_channels.size(); ++i) {
        names.push_back(m_channels[i].m_channel.m_name);
        histories.push_back(&m_histories[i]);
        if (m_histories[i].Count()) {
            from = std::min(from, m_histories[i].FirstTime());
            to = std::max(to, m_histories[i].LastTime());
        }
    }
    if (visibleOnly) {
        to = m_pDock->View()->RightUs();
        from = to - m_pDock->View()->SpanUs();
    }
    if (from > to)
        from = to = 0;
    // Long exports show their progress and can be stopped; samples keep coming meanwhile.
    QProgressDialog progress(tr("正在导出曲线数值..."), tr("取消"), 0, 1000, m_host.Window());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    bool cancelled = false;
    const AtomicWriteResult result =
        WriteFileAtomically(path.toStdString(), [&](std::ostream& out) {
            // Export writes a second of samples at a time.
            const double seconds = double(to - from) / 1e6 + 1;
            std::int64_t pieces = 0;
            const bool done = PlotCsv::Export(
                names, histories, from, to, m_wallOffsetUs, [&](const std::string& text) {
                    out << text;
                    if (++pieces % 64 == 0) {
                        progress.setValue(static_cast<int>(1000.0 * double(pieces) / seconds));
                        QApplication::processEvents();
                        cancelled = progress.wasCanceled();
                    }
                    return !cancelled && bool(out);
                });
            return done && bool(out);
        });
    if (cancelled)
        return false;
    if (!result.m_ok) {
        m_host.ShowMessage(QString::fromStdString(result.m_error));
        return false;
    }
    m_host.ShowStatusMessage(tr("曲线数值已导出到 %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void CPlotting::SavePicture()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HHmmss"));
    const QString path =
        AskFileName(tr("保存曲线图片"), tr("曲线 %1.png").arg(stamp), tr("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    if (!m_pDock->View()->grab().save(path, "PNG"))
        m_host.ShowMessage(tr("无法保存图片 %1").arg(QDir::toNativeSeparators(path)));
}
