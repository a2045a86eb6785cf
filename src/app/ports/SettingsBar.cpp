#include "app/ports/SettingsBar.h"

#include "app/commands/CommandTable.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QIntValidator>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <functional>

namespace {

struct ListInfo
{
    int m_id;
    int m_width; // pixels, at least
    const char* m_prompt;
    const char* m_tip;
};

const ListInfo kLists[] = {
    {ID_PORT_SELECT, 60, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前串口"),
     QT_TRANSLATE_NOOP("CSettingsBar", "串口")},
    {ID_BAUD_RATE, 60, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的波特率"),
     QT_TRANSLATE_NOOP("CSettingsBar", "波特率")},
    {ID_PARITY, 60, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的校验位"),
     QT_TRANSLATE_NOOP("CSettingsBar", "校验位")},
    {ID_DATA_BITS, 30, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的数据位"),
     QT_TRANSLATE_NOOP("CSettingsBar", "数据位")},
    {ID_STOP_BITS, 30, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的停止位"),
     QT_TRANSLATE_NOOP("CSettingsBar", "停止位")},
    {ID_PACK_INTERVAL, 40,
     QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的打包间隔时间(单位：毫秒)"),
     QT_TRANSLATE_NOOP("CSettingsBar", "打包时间(毫秒)")},
    {ID_FLOW_CONTROL, 40, QT_TRANSLATE_NOOP("CSettingsBar", "设置当前所选串口的流控制"),
     QT_TRANSLATE_NOOP("CSettingsBar", "流控制")},
};

// The port selector, which says when its list is about to open.
class PortSelector : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> m_opening;

    void showPopup() override
    {
        if (m_opening)
            m_opening();
        QComboBox::showPopup();
    }
};

} // namespace

CSettingsBar::CSettingsBar(QWidget* parent)
    : QToolBar(QCoreApplication::translate("CSettingsBar", "串口设置栏"), parent)
{
    setObjectName(QStringLiteral("SettingsBar"));
    for (std::size_t i = 0; i < m_combos.size(); ++i) {
        auto* combo = i == 0 ? new PortSelector(this) : new QComboBox(this);
        combo->setObjectName(QStringLiteral("Combo%1").arg(kLists[i].m_id));
        combo->setEditable(false);
        combo->setMinimumWidth(kLists[i].m_width);
        combo->setMaxVisibleItems(20);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setToolTip(tr(kLists[i].m_tip));
        combo->setStatusTip(tr(kLists[i].m_prompt));
        combo->setFocusPolicy(Qt::StrongFocus);
        m_combos[i] = combo;
        addWidget(combo);
    }

    QComboBox* ports = m_combos[0];
    for (int port = 0; port < 256; ++port)
        ports->addItem(QString::fromStdString(PortName(port)));
    for (int i = 0; i < kBaudRateCount; ++i)
        m_combos[1]->addItem(QString::number(SettingFromIndex(i, kBaudRate)));
    for (const char* text :
         {QT_TR_NOOP("无校验"), QT_TR_NOOP("奇校验"), QT_TR_NOOP("偶校验"), "Mark", "Space"})
        m_combos[2]->addItem(tr(text));
    for (int i = 0; i < 5; ++i)
        m_combos[3]->addItem(QString::number(SettingFromIndex(i, kDataBits)));
    for (const char* text : {"1", "1.5", "2"})
        m_combos[4]->addItem(QString::fromUtf8(text));
    for (int i = 0; i < kPackIntervalCount; ++i)
        m_combos[5]->addItem(QString::number(PackIntervalFromIndex(i)));
    for (const char* text :
         {QT_TR_NOOP("无"), "RTS/CTS", "XON/XOFF", "DTR/CTS", "RTS/DSR", "DTR/DSR"})
        m_combos[6]->addItem(tr(text));

    // Any rate may be typed too (921600, 250000, ...); the driver's refusal is the check. The
    // typed text never joins the list.
    m_combos[1]->setEditable(true);
    m_combos[1]->setInsertPolicy(QComboBox::NoInsert);
    m_combos[1]->lineEdit()->setValidator(new QIntValidator(1, kHighestTypedRate, m_combos[1]));
    // Button 32814 after the lists: no command serves it, so it stays greyed.
    QAction* settingsButton = addAction(QCoreApplication::translate("CSettingsBar", "设置"));
    settingsButton->setObjectName(QStringLiteral("Button%1").arg(ID_SETTINGS_BUTTON));
    settingsButton->setStatusTip(QCoreApplication::translate("CSettingsBar", "设置"));
    settingsButton->setEnabled(false);

    ports->setCurrentIndex(0);
    ShowDefaultsInBar();

    connect(ports, &QComboBox::activated, this, [this](int index) { Q_EMIT portSelected(index); });
}

QComboBox* CSettingsBar::Combo(int id) const
{
    const int i = id - kFirstId;
    return i >= 0 && i < static_cast<int>(m_combos.size()) ? m_combos[i] : nullptr;
}

int CSettingsBar::SelectedPort() const
{
    return m_combos[0]->currentIndex();
}

void CSettingsBar::SelectPort(int port)
{
    m_combos[0]->setCurrentIndex(port >= 0 && port < m_combos[0]->count() ? port : -1);
}

void CSettingsBar::ReadSettingsFromBar(PortSettings& settings) const
{
    bool typed = false;
    const uint rate = m_combos[1]->currentText().trimmed().toUInt(&typed);
    settings.m_dwBaudRate =
        typed && rate > 0 ? rate : SettingFromIndex(m_combos[1]->currentIndex(), kBaudRate);
    settings.m_nParity = static_cast<int>(SettingFromIndex(m_combos[2]->currentIndex(), kParity));
    settings.m_nDataBits =
        static_cast<int>(SettingFromIndex(m_combos[3]->currentIndex(), kDataBits));
    settings.m_nStopBits =
        static_cast<int>(SettingFromIndex(m_combos[4]->currentIndex(), kStopBits));
    settings.m_dwPackInterval = PackIntervalFromIndex(m_combos[5]->currentIndex());
    settings.m_nFlowControl =
        static_cast<int>(SettingFromIndex(m_combos[6]->currentIndex(), kFlowControl));
}

void CSettingsBar::ShowSettingsInBar(const PortSettings& settings)
{
    const int rateIndex = IndexFromSetting(settings.m_dwBaudRate, kBaudRate);
    if (settings.m_dwBaudRate == 0
        || SettingFromIndex(rateIndex, kBaudRate) == settings.m_dwBaudRate) {
        m_combos[1]->setCurrentIndex(rateIndex);
    } else {
        m_combos[1]->setCurrentIndex(-1); // a typed rate: shown as its number
        m_combos[1]->setEditText(QString::number(settings.m_dwBaudRate));
    }
    m_combos[2]->setCurrentIndex(
        IndexFromSetting(static_cast<std::uint32_t>(settings.m_nParity), kParity));
    m_combos[3]->setCurrentIndex(
        IndexFromSetting(static_cast<std::uint32_t>(settings.m_nDataBits), kDataBits));
    m_combos[4]->setCurrentIndex(
        IndexFromSetting(static_cast<std::uint32_t>(settings.m_nStopBits), kStopBits));
    m_combos[5]->setCurrentIndex(IndexFromPackInterval(settings.m_dwPackInterval));
    m_combos[6]->setCurrentIndex(
        IndexFromSetting(static_cast<std::uint32_t>(settings.m_nFlowControl), kFlowControl));
}

void CSettingsBar::ShowDefaultsInBar()
{
    ShowSettingsInBar(PortSettings{});
}

void CSettingsBar::EnableSettingsBar(bool enable)
{
    for (int i = 1; i <= 6; ++i)
        m_combos[i]->setEnabled(enable);
}

void CSettingsBar::SetPortDevice(const QString& device)
{
    QComboBox* ports = m_combos[0];
    const int port = ports->currentIndex();
    // Where a newcomer looks first: what the arrows of the monitor lines mean.
    const QString arrows = QCoreApplication::translate(
        "CSettingsBar", "监视窗中端口号后的 ↑ 表示收到的报文，↓ 表示发出的报文");
    if (port < 0) {
        ports->setToolTip(tr(kLists[0].m_tip) + QLatin1Char('\n') + arrows);
        ports->setStatusTip(tr(kLists[0].m_prompt));
        return;
    }
    const QString where =
        device.isEmpty()
            ? QCoreApplication::translate("CSettingsBar", "未指定设备（工具→端口映射）")
            : device;
    const QString shown = ports->statusTip();
    ports->setToolTip(QCoreApplication::translate("CSettingsBar", "串口 %1：%2")
                          .arg(QString::fromStdString(PortName(port)), where)
                      + QLatin1Char('\n') + arrows);
    ports->setStatusTip(QCoreApplication::translate("CSettingsBar", "设置当前串口（%1：%2）")
                            .arg(QString::fromStdString(PortName(port)), where));
    // The status bar keeps a prompt until the pointer moves on: after a pick it would name
    // the port picked before.
    auto* window = qobject_cast<QMainWindow*>(this->window());
    QStatusBar* bar = window ? window->findChild<QStatusBar*>() : nullptr;
    if (bar && !shown.isEmpty() && bar->currentMessage() == shown) {
        QStatusTipEvent tip(ports->statusTip());
        QCoreApplication::sendEvent(ports, &tip);
    }
}

void CSettingsBar::MarkPresentPorts(const std::map<int, QString>& present)
{
    QComboBox* ports = m_combos[0];
    QFont bold = ports->font();
    bold.setBold(true);
    for (int port = 0; port < ports->count(); ++port) {
        const auto it = present.find(port);
        const bool there = it != present.end();
        ports->setItemData(port, there ? QVariant(bold) : QVariant(), Qt::FontRole);
        ports->setItemData(
            port,
            there ? QVariant(QCoreApplication::translate("CSettingsBar", "%1：%2")
                                 .arg(QString::fromStdString(PortName(port)), it->second))
                  : QVariant(),
            Qt::ToolTipRole);
    }
}

void CSettingsBar::MarkPortsOf(const PortMap& map)
{
    auto mark = [this, &map] {
        std::map<int, QString> present;
        for (const PortMap::Entry& entry : map.Entries({}))
            if (entry.present)
                present.emplace(static_cast<int>(entry.uiPortNo),
                                QString::fromStdString(entry.path));
        MarkPresentPorts(present);
    };
    static_cast<PortSelector*>(m_combos[0])->m_opening = mark;
    mark();
}
