#include "app/plot/PlotChannelDialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStringList>
#include <QVBoxLayout>

namespace {

enum SourceRow
{
    kModbusRow,
    kTextRow,
    kScriptRow
};

const ModbusTable kTables[] = {ModbusTable::HoldingRegisters, ModbusTable::InputRegisters,
                               ModbusTable::Coils, ModbusTable::DiscreteInputs};
const char* const kTablePrefix[] = {"hr", "ir", "co", "di"};
const char* const kTypes[] = {"int16", "uint16", "int32", "uint32", "float32", "bit"};

int TableRow(ModbusTable table)
{
    for (int i = 0; i < 4; ++i)
        if (kTables[i] == table)
            return i;
    return 0;
}

QString TableName(ModbusTable table)
{
    switch (table) {
    case ModbusTable::InputRegisters: return CPlotChannelDialog::tr("输入寄存器");
    case ModbusTable::Coils: return CPlotChannelDialog::tr("线圈");
    case ModbusTable::DiscreteInputs: return CPlotChannelDialog::tr("离散输入");
    default: return CPlotChannelDialog::tr("保持寄存器");
    }
}

} // namespace

QString PlotChannelConfig::ToStored() const
{
    QString name = QString::fromStdString(PlotChannelText(m_channel));
    return QStringList{name.replace(QLatin1Char('|'), QLatin1Char('/')),
                       m_colour.name(),
                       QString(m_unit).replace(QLatin1Char('|'), QLatin1Char('/')),
                       QString::number(m_factor, 'g', 17),
                       QString::number(m_offset, 'g', 17),
                       QString::number(m_axis)}
        .join(QLatin1Char('|'));
}

bool PlotChannelConfig::FromStored(const QString& text, PlotChannelConfig& config)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    std::string error;
    const auto channel =
        parts.size() == 6 ? ParsePlotChannel(parts[0].toStdString(), error) : std::nullopt;
    bool factorOk = false;
    bool offsetOk = false;
    if (!channel)
        return false;
    config.m_channel = *channel;
    config.m_colour = QColor(parts[1]);
    config.m_unit = parts[2];
    config.m_factor = parts[3].toDouble(&factorOk);
    config.m_offset = parts[4].toDouble(&offsetOk);
    config.m_axis = parts[5] == QLatin1String("1") ? 1 : 0;
    return factorOk && offsetOk && config.m_colour.isValid();
}

CPlotChannelDialog::CPlotChannelDialog(const PlotChannelConfig& config,
                                       std::vector<SeenRegister> seen, QWidget* parent)
    : QDialog(parent), m_config(config), m_seen(std::move(seen)), m_pName(new QLineEdit),
      m_pKind(new QComboBox), m_pPort(new QSpinBox), m_pSource(new QStackedWidget),
      m_pSeen(new QComboBox), m_pSlave(new QSpinBox), m_pTable(new QComboBox),
      m_pAddress(new QSpinBox), m_pType(new QComboBox), m_pOrder(new QComboBox),
      m_pBit(new QSpinBox), m_pTextBy(new QComboBox), m_pTextName(new QLineEdit),
      m_pNth(new QSpinBox), m_pScriptName(new QLineEdit), m_pColour(new QPushButton),
      m_pUnit(new QLineEdit), m_pFactor(new QDoubleSpinBox), m_pOffset(new QDoubleSpinBox),
      m_pAxis(new QComboBox), m_pError(new QLabel)
{
    setWindowTitle(tr("曲线通道"));
    m_pKind->addItems({tr("MODBUS 寄存器"), tr("文本行中的数"), tr("脚本的数值")});
    m_pPort->setRange(1, 256);
    m_pPort->setPrefix(QStringLiteral("COM"));

    auto* modbus = new QWidget;
    auto* modbusForm = new QFormLayout(modbus);
    m_pSeen->addItem(tr("（手动填写）"));
    for (const SeenRegister& r : m_seen)
        m_pSeen->addItem(tr("COM%1 从站 %2 %3 %4")
                             .arg(r.m_port + 1)
                             .arg(r.m_slave)
                             .arg(TableName(r.m_table))
                             .arg(r.m_address));
    m_pSlave->setRange(1, 247);
    for (const ModbusTable table : kTables)
        m_pTable->addItem(TableName(table));
    m_pAddress->setRange(0, 65535);
    for (const char* type : kTypes)
        m_pType->addItem(QString::fromLatin1(type));
    m_pOrder->addItems({tr("高字在前"), tr("低字在前")});
    m_pBit->setRange(0, 15);
    modbusForm->addRow(tr("已见到的地址:"), m_pSeen);
    modbusForm->addRow(tr("从站:"), m_pSlave);
    modbusForm->addRow(tr("数据表:"), m_pTable);
    modbusForm->addRow(tr("地址（从 0 起）:"), m_pAddress);
    modbusForm->addRow(tr("类型:"), m_pType);
    modbusForm->addRow(tr("字序:"), m_pOrder);
    modbusForm->addRow(tr("位:"), m_pBit);

    auto* text = new QWidget;
    auto* textForm = new QFormLayout(text);
    m_pTextBy->addItems({tr("名称:数值 中的名称"), tr("行中第几个数")});
    m_pNth->setRange(1, 64);
    textForm->addRow(tr("取数:"), m_pTextBy);
    textForm->addRow(tr("名称:"), m_pTextName);
    textForm->addRow(tr("第几个:"), m_pNth);

    auto* script = new QWidget;
    auto* scriptForm = new QFormLayout(script);
    scriptForm->addRow(tr("vrl.plot 的名称:"), m_pScriptName);

    m_pSource->addWidget(modbus);
    m_pSource->addWidget(text);
    m_pSource->addWidget(script);

    m_pFactor->setRange(-1e9, 1e9);
    m_pFactor->setDecimals(6);
    m_pOffset->setRange(-1e12, 1e12);
    m_pOffset->setDecimals(6);
    m_pAxis->addItems({tr("左"), tr("右")});
    m_pError->setStyleSheet(QStringLiteral("color: #c00000"));
    m_pError->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("名称:"), m_pName);
    form->addRow(tr("来源:"), m_pKind);
    form->addRow(tr("串口:"), m_pPort);
    auto* look = new QFormLayout;
    look->addRow(tr("颜色:"), m_pColour);
    look->addRow(tr("单位:"), m_pUnit);
    look->addRow(tr("系数（数值 × 系数 + 偏移）:"), m_pFactor);
    look->addRow(tr("偏移:"), m_pOffset);
    look->addRow(tr("坐标轴:"), m_pAxis);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pSource);
    layout->addLayout(look);
    layout->addWidget(m_pError);
    layout->addWidget(buttons);

    connect(m_pKind, &QComboBox::currentIndexChanged, m_pSource, &QStackedWidget::setCurrentIndex);
    connect(m_pKind, &QComboBox::currentIndexChanged, this,
            [this](int row) { m_pPort->setEnabled(row != kScriptRow); });
    connect(m_pSeen, &QComboBox::activated, this, &CPlotChannelDialog::TakeSeen);
    connect(m_pColour, &QPushButton::clicked, this, &CPlotChannelDialog::ShowColour);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPlotChannelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPlotChannelDialog::reject);
    Load(config);
}

void CPlotChannelDialog::Load(const PlotChannelConfig& config)
{
    const PlotSource& s = config.m_channel.m_source;
    m_pName->setText(QString::fromStdString(config.m_channel.m_name));
    const int row = s.m_kind == PlotSource::Kind::Modbus   ? kModbusRow
                    : s.m_kind == PlotSource::Kind::Script ? kScriptRow
                                                           : kTextRow;
    m_pKind->setCurrentIndex(row);
    m_pSource->setCurrentIndex(row);
    m_pPort->setValue(static_cast<int>(s.m_port) + 1);
    m_pSlave->setValue(s.m_slave);
    m_pTable->setCurrentIndex(TableRow(s.m_table));
    m_pAddress->setValue(static_cast<int>(s.m_address));
    m_pType->setCurrentIndex(static_cast<int>(s.m_type));
    m_pOrder->setCurrentIndex(s.m_lowWordFirst ? 1 : 0);
    m_pBit->setValue(static_cast<int>(s.m_bit));
    m_pTextBy->setCurrentIndex(s.m_kind == PlotSource::Kind::TextNth ? 1 : 0);
    m_pTextName->setText(s.m_kind == PlotSource::Kind::TextNamed ? QString::fromStdString(s.m_name)
                                                                 : QString());
    m_pNth->setValue(s.m_nth);
    m_pScriptName->setText(s.m_kind == PlotSource::Kind::Script ? QString::fromStdString(s.m_name)
                                                                : QString());
    m_pColour->setText(config.m_colour.name());
    m_pColour->setStyleSheet(QStringLiteral("background: %1").arg(config.m_colour.name()));
    m_pUnit->setText(config.m_unit);
    m_pFactor->setValue(config.m_factor);
    m_pOffset->setValue(config.m_offset);
    m_pAxis->setCurrentIndex(config.m_axis);
}

void CPlotChannelDialog::TakeSeen(int index)
{
    if (index < 1 || index > static_cast<int>(m_seen.size()))
        return;
    const SeenRegister& r = m_seen[static_cast<std::size_t>(index - 1)];
    m_pPort->setValue(static_cast<int>(r.m_port) + 1);
    m_pSlave->setValue(r.m_slave);
    m_pTable->setCurrentIndex(TableRow(r.m_table));
    m_pAddress->setValue(static_cast<int>(r.m_address));
}

void CPlotChannelDialog::ShowColour()
{
    const QColor colour = QColorDialog::getColor(m_config.m_colour, this, tr("曲线颜色"));
    if (!colour.isValid())
        return;
    m_config.m_colour = colour;
    m_pColour->setText(colour.name());
    m_pColour->setStyleSheet(QStringLiteral("background: %1").arg(colour.name()));
}

void CPlotChannelDialog::accept()
{
    // The source as the command line writes it, read by the one parser of channels.
    QString source;
    const QString port = QStringLiteral("COM%1:").arg(m_pPort->value());
    switch (m_pKind->currentIndex()) {
    case kModbusRow: {
        const int table = m_pTable->currentIndex();
        QString type = QString::fromLatin1(kTypes[m_pType->currentIndex()]);
        if (type == QLatin1String("bit"))
            type += QString::number(m_pBit->value());
        source = port
                 + QStringLiteral("modbus:%1:%2%3:%4")
                       .arg(m_pSlave->value())
                       .arg(QLatin1String(kTablePrefix[table]))
                       .arg(m_pAddress->value())
                       .arg(type);
        if (m_pOrder->currentIndex() == 1)
            source += QStringLiteral(":lh");
        break;
    }
    case kTextRow:
        source = port + QStringLiteral("text:")
                 + (m_pTextBy->currentIndex() == 1 ? QStringLiteral("#%1").arg(m_pNth->value())
                                                   : m_pTextName->text().trimmed());
        break;
    default: source = QStringLiteral("script:") + m_pScriptName->text().trimmed(); break;
    }
    QString name = m_pName->text().trimmed();
    name.remove(QLatin1Char('=')).remove(QLatin1Char('|'));
    std::string error;
    const auto channel = ParsePlotChannel(
        (name.isEmpty() ? source : name + QLatin1Char('=') + source).toStdString(), error);
    if (!channel) {
        m_pError->setText(QString::fromStdString(error));
        return;
    }
    m_config.m_channel = *channel;
    m_config.m_unit = m_pUnit->text().trimmed();
    m_config.m_factor = m_pFactor->value();
    m_config.m_offset = m_pOffset->value();
    m_config.m_axis = m_pAxis->currentIndex();
    QDialog::accept();
}
