#include "app/ports/PortMapDialog.h"

#include "app/commands/CommandTable.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/PortName.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialDeviceScanner.h"
#include "core/serial/SerialTransport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Describe(const SerialDevice& device)
{
    QStringList parts;
    for (const std::string* s : {&device.vendor, &device.model})
        if (!s->empty())
            parts << QString::fromStdString(*s);
    if (!device.serial.empty())
        parts << QCoreApplication::translate("CPortMapDialog", "序列号 %1")
                     .arg(QString::fromStdString(device.serial));
    if (!device.driver.empty())
        parts << QCoreApplication::translate("CPortMapDialog", "驱动 %1")
                     .arg(QString::fromStdString(device.driver));
    if (!device.node.empty() && device.node != device.path)
        parts << QString::fromStdString(device.node);
    return parts.join(QCoreApplication::translate("CPortMapDialog", "，"));
}

// A port on another machine: its server, and how the line is carried.
QString DescribeRemote(const std::string& path)
{
    SerialTransport::Endpoint endpoint;
    if (!SerialTransport::Parse(path, endpoint))
        return QCoreApplication::translate("CPortMapDialog", "地址格式不对");
    return QCoreApplication::translate("CPortMapDialog", "主机 %1，端口 %2，%3")
        .arg(QString::fromStdString(endpoint.host))
        .arg(endpoint.port)
        .arg(endpoint.rfc2217
                 ? QCoreApplication::translate("CPortMapDialog", "RFC 2217（含波特率等设置）")
                 : QCoreApplication::translate("CPortMapDialog", "原始 TCP"));
}

} // namespace

CPortMapDialog::CPortMapDialog(PortMap& map, QWidget* parent) : QDialog(parent), m_map(map)
{
    setWindowTitle(QCoreApplication::translate("CPortMapDialog", "端口映射"));

    // Fixed widths, so that the columns keep their size whatever the rows hold; the device
    // path is edited in place.
    m_pTable = new CListCtrlEx(this);
    m_pTable->InsertColumn(0, QCoreApplication::translate("CPortMapDialog", "端口"), Qt::AlignLeft,
                           70, false);
    m_pTable->InsertColumn(1, QCoreApplication::translate("CPortMapDialog", "设备路径"),
                           Qt::AlignLeft, 220, true);
    m_pTable->InsertColumn(2, QCoreApplication::translate("CPortMapDialog", "状态"), Qt::AlignLeft,
                           70, false);
    m_pTable->InsertColumn(3, QCoreApplication::translate("CPortMapDialog", "设备说明"),
                           Qt::AlignLeft, 300, false);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    connect(m_pTable, &QTableWidget::itemSelectionChanged, this, &CPortMapDialog::OnRowSelected);
    connect(m_pTable, &CListCtrlEx::cellTextStored, this, &CPortMapDialog::OnPathEdited);

    m_pPort = new QComboBox(this);
    for (int port = 0; port < static_cast<int>(PortMap::kPortCount); ++port)
        m_pPort->addItem(QString::fromStdString(PortName(port)));
    m_pPort->setMaxVisibleItems(20);
    m_pPath = new QComboBox(this);
    m_pPath->setEditable(true);
    m_pPath->setMinimumContentsLength(36);
    m_pPath->setToolTip(QCoreApplication::translate(
        "CPortMapDialog", "设备路径，如 /dev/ttyUSB0 或 /dev/pts/3；其他机器上的串口（ser2net）："
                          "rfc2217://主机:端口 或 tcp://主机:端口"));

    auto* set = new QPushButton(QCoreApplication::translate("CPortMapDialog", "设置(&S)"), this);
    auto* clear = new QPushButton(QCoreApplication::translate("CPortMapDialog", "清除(&C)"), this);
    auto* refresh =
        new QPushButton(QCoreApplication::translate("CPortMapDialog", "刷新(&R)"), this);
    connect(set, &QPushButton::clicked, this,
            [this] { ApplyPath(m_pPort->currentIndex(), m_pPath->currentText().trimmed()); });
    connect(clear, &QPushButton::clicked, this, [this] { ApplyPath(m_pPort->currentIndex(), {}); });
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_map.Discover();
        Refresh();
    });

    m_pNote = new QLabel(this);
    m_pNote->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QCoreApplication::translate("CPortMapDialog", "关闭"),
                       QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* portLabel = new QLabel(QCoreApplication::translate("CPortMapDialog", "端口(&P):"), this);
    portLabel->setBuddy(m_pPort);
    auto* pathLabel = new QLabel(QCoreApplication::translate("CPortMapDialog", "设备(&D):"), this);
    pathLabel->setBuddy(m_pPath);
    auto* edit = new QGridLayout;
    edit->addWidget(portLabel, 0, 0);
    edit->addWidget(m_pPort, 0, 1);
    edit->addWidget(pathLabel, 0, 2);
    edit->addWidget(m_pPath, 0, 3);
    edit->setColumnStretch(3, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(set);
    actions->addWidget(clear);
    actions->addStretch();
    actions->addWidget(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable);
    layout->addLayout(edit);
    layout->addLayout(actions);
    layout->addWidget(m_pNote);
    layout->addWidget(buttons);
    resize(720, 420);

    Refresh();
}

void CPortMapDialog::Refresh()
{
    m_found = SerialDeviceScanner::Scan();
    const std::vector<PortMap::Entry> entries = m_map.Entries(m_found);
    m_pTable->setRowCount(0);
    m_rowPorts.clear();
    for (const PortMap::Entry& e : entries) {
        const int row = m_pTable->InsertItem(m_pTable->rowCount(),
                                             QString::fromStdString(PortName(e.uiPortNo)));
        m_rowPorts.push_back(static_cast<int>(e.uiPortNo));
        m_pTable->SetItemText(row, 1, QString::fromStdString(e.path));
        if (SerialTransport::IsRemote(e.path)) {
            m_pTable->SetItemText(row, 2, QCoreApplication::translate("CPortMapDialog", "远程"));
            m_pTable->SetItemText(row, 3, DescribeRemote(e.path));
            continue;
        }
        m_pTable->SetItemText(row, 2,
                              e.present ? QCoreApplication::translate("CPortMapDialog", "已连接")
                                        : QCoreApplication::translate("CPortMapDialog", "未找到"));
        m_pTable->SetItemText(row, 3, Describe(e.device));
    }

    const QString current = m_pPath->currentText();
    m_pPath->clear();
    for (const SerialDevice& d : m_found)
        m_pPath->addItem(QString::fromStdString(d.path));
    m_pPath->setCurrentText(current);
}

void CPortMapDialog::OnRowSelected()
{
    const QList<QTableWidgetItem*> selected = m_pTable->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.first()->row();
    if (row < 0 || row >= static_cast<int>(m_rowPorts.size()))
        return;
    m_pPort->setCurrentIndex(m_rowPorts[static_cast<std::size_t>(row)]);
    m_pPath->setCurrentText(m_pTable->GetItemText(row, 1));
}

void CPortMapDialog::OnPathEdited(int row, int column, const QString& text)
{
    if (column != 1 || row < 0 || row >= static_cast<int>(m_rowPorts.size()))
        return;
    // A refused path leaves the list as the map is, with the reason below it.
    if (!ApplyPath(m_rowPorts[static_cast<std::size_t>(row)], text.trimmed()))
        Refresh();
}

bool CPortMapDialog::ApplyPath(int port, const QString& path)
{
    if (port < 0 || port >= static_cast<int>(PortMap::kPortCount))
        return false;
    SerialTransport::Endpoint endpoint;
    if (SerialTransport::IsRemote(path.toStdString())
        && !SerialTransport::Parse(path.toStdString(), endpoint)) {
        m_pNote->setText(QCoreApplication::translate(
            "CPortMapDialog",
            "远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口（端口 1 到 65535）。"));
        return false;
    }
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/'))
        && !SerialTransport::IsRemote(path.toStdString())) {
        m_pNote->setText(QCoreApplication::translate(
            "CPortMapDialog",
            "设备路径应为以 / 开头的完整路径，或 rfc2217://主机:端口、tcp://主机:端口。"));
        return false;
    }
    m_map.SetPath(static_cast<unsigned>(port), path.toStdString());
    m_pNote->setText(path.isEmpty()
                         ? QCoreApplication::translate("CPortMapDialog", "%1 已不再指向任何设备。")
                               .arg(QString::fromStdString(PortName(port)))
                         : QCoreApplication::translate("CPortMapDialog", "%1 现在指向 %2。")
                               .arg(QString::fromStdString(PortName(port)), path));
    Refresh();
    return true;
}
