#include "app/modbus/ModbusFrameTable.h"

#include "app/widgets/DockRow.h"

#include "app/host/FrameHost.h"
#include "core/files/AtomicFileWriter.h"
#include "core/modbus/ModbusFrameLog.h"
#include "core/text/CoreText.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

// The log's rows as a table. The model shows a window of the log by row numbers (counted
// since the start), so that rows dropped at the front and added at the end become one
// removal and one insertion.
class CModbusFrameTable::Model : public QAbstractTableModel
{
public:
    explicit Model(const ModbusFrameLog& log, QObject* parent)
        : QAbstractTableModel(parent), m_log(log)
    {
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_count);
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : ModbusFrameLog::kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        // The log may have moved on since the last Sync: a row gone shows empty.
        const std::uint64_t number = m_first + static_cast<std::uint64_t>(index.row());
        if (number < m_log.Dropped() || number >= m_log.Added())
            return {};
        const std::string cell = ModbusFrameLog::Cell(
            m_log.Row(static_cast<std::size_t>(number - m_log.Dropped())), index.column());
        return QString::fromStdString(cell);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return QString::fromStdString(
            CoreText::Tr("ModbusFrameLog", ModbusFrameLog::Header(section)));
    }

    void Sync()
    {
        if (m_changes != m_log.Changes()) {
            m_changes = m_log.Changes();
            if (m_count > 0)
                Q_EMIT dataChanged(
                    index(0, ModbusFrameLog::kDelayColumn),
                    index(static_cast<int>(m_count) - 1, ModbusFrameLog::kDelayColumn));
        }
        const std::uint64_t dropped = m_log.Dropped();
        if (dropped > m_first) {
            const std::uint64_t gone = std::min<std::uint64_t>(dropped - m_first, m_count);
            if (gone > 0) {
                beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
                m_count -= gone;
                m_first += gone;
                endRemoveRows();
            }
            if (m_count == 0)
                m_first = dropped;
        }
        const std::uint64_t added = m_log.Added();
        if (added > m_first + m_count) {
            const std::uint64_t fresh = added - m_first - m_count;
            beginInsertRows({}, static_cast<int>(m_count), static_cast<int>(m_count + fresh) - 1);
            m_count += fresh;
            endInsertRows();
        }
    }

private:
    const ModbusFrameLog& m_log;
    std::uint64_t m_first = 0; // log number of the first row shown
    std::uint64_t m_count = 0;
    std::uint64_t m_changes = 0; // the log's in-place changes shown
};

CModbusFrameTable::CModbusFrameTable(CFrameHost& host, const ModbusFrameLog& log)
    : QDockWidget(tr("MODBUS 帧表"), host.Window()), m_host(host), m_log(log),
      m_pModel(new Model(log, this)), m_pView(new QTableView), m_pCount(new QLabel),
      m_pTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("ModbusFrameDock"));
    auto* body = new QWidget(this);
    auto* buttons = new QHBoxLayout;
    auto* exportButton = new QPushButton(tr("导出 CSV..."), body);
    auto* clearButton = new QPushButton(tr("清空"), body);
    buttons->addWidget(exportButton);
    buttons->addWidget(clearButton);
    buttons->addWidget(m_pCount, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(buttons);
    layout->addWidget(m_pView);
    setWidget(body);

    m_pView->setModel(m_pModel);
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->verticalHeader()->hide();
    m_pView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pView->horizontalHeader()->setStretchLastSection(true);

    connect(exportButton, &QPushButton::clicked, this, [this] { ExportCsv(); });
    connect(clearButton, &QPushButton::clicked, this, [this] {
        Q_EMIT clearRequested();
        Refresh();
    });
    m_pTimer->setInterval(kRefreshMs);
    connect(m_pTimer, &QTimer::timeout, this, [this] {
        if (isVisibleTo(parentWidget()))
            Refresh();
    });
    m_pTimer->start();
    host.Window()->addDockWidget(Qt::BottomDockWidgetArea, this);
    DockRow::PlaceInOwnRow(*host.Window(), *this);
    hide();
}

void CModbusFrameTable::ShowReadable()
{
    DockRow::ShowReadable(*m_host.Window(), *this);
}

CModbusFrameTable::~CModbusFrameTable() = default;

void CModbusFrameTable::Refresh()
{
    QScrollBar* bar = m_pView->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_pModel->Sync();
    if (atEnd)
        m_pView->scrollToBottom();
    m_pCount->setText(tr("%1 帧").arg(m_log.Size()));
}

bool CModbusFrameTable::ExportCsv()
{
    const QString defaultName = QDir::home().filePath(
        QStringLiteral("MODBUS %1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HHmm"))));
    const QString path = m_askFileName
                             ? m_askFileName()
                             : QFileDialog::getSaveFileName(this, tr("导出 MODBUS 帧表"),
                                                            defaultName, tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    const AtomicWriteResult result = WriteFileAtomically(
        path.toStdString(), [this](std::ostream& out) { return m_log.WriteCsv(out); });
    if (!result.m_ok) {
        m_host.ShowMessage(QString::fromStdString(result.m_error));
        return false;
    }
    m_host.ShowStatusMessage(tr("已导出 %1 帧到 %2").arg(m_log.Size()).arg(path));
    return true;
}
