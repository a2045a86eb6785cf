#pragma once

#include "core/plot/PlotSource.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;

// What a channel of the plot is: its name, colour, unit, scale and value axis, and where its
// samples come from (a register of decoded MODBUS answers, a number in a port's text lines,
// a script's value).
struct PlotChannelConfig
{
    PlotChannel m_channel;
    QColor m_colour;
    QString m_unit;
    double m_factor = 1;
    double m_offset = 0;
    int m_axis = 0; // 0 left, 1 right

    // One line of the settings file, and back (false: not such a line).
    QString ToStored() const;
    static bool FromStored(const QString& text, PlotChannelConfig& config);
};

// A register the decoded answers have carried, offered in the dialog.
struct SeenRegister
{
    unsigned m_port = 0;
    std::uint8_t m_slave = 0;
    ModbusTable m_table = ModbusTable::HoldingRegisters;
    std::uint32_t m_address = 0;
    auto operator<=>(const SeenRegister&) const = default;
};

// The dialog that makes or changes a channel. The source is put together as the command
// line's --value text and read back by the same parser, so both say the same.
class CPlotChannelDialog : public QDialog
{
    Q_OBJECT
public:
    CPlotChannelDialog(const PlotChannelConfig& config, std::vector<SeenRegister> seen,
                       QWidget* parent = nullptr);

    PlotChannelConfig Config() const { return m_config; }

    void accept() override;

private:
    void Load(const PlotChannelConfig& config);
    void TakeSeen(int index);
    void ShowColour();

    PlotChannelConfig m_config;
    std::vector<SeenRegister> m_seen;
    QLineEdit* m_pName;
    QComboBox* m_pKind;
    QSpinBox* m_pPort;
    QStackedWidget* m_pSource;
    QComboBox* m_pSeen;
    QSpinBox* m_pSlave;
    QComboBox* m_pTable;
    QSpinBox* m_pAddress;
    QComboBox* m_pType;
    QComboBox* m_pOrder;
    QSpinBox* m_pBit;
    QComboBox* m_pTextBy;
    QLineEdit* m_pTextName;
    QSpinBox* m_pNth;
    QLineEdit* m_pScriptName;
    QPushButton* m_pColour;
    QLineEdit* m_pUnit;
    QDoubleSpinBox* m_pFactor;
    QDoubleSpinBox* m_pOffset;
    QComboBox* m_pAxis;
    QLabel* m_pError;
};
