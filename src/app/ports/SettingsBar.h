#pragma once

#include "core/base/CommandIds.h"

#include <QToolBar>

#include <array>
#include <map>

class PortMap;
class QComboBox;
struct PortSettings;

// The port settings bar (id 135): seven lists, the port selector and the selected port's
// baud rate, parity, data bits, stop bits, packing interval and flow control. The bar only
// shows and reads values; the frame decides what a selection means.
class CSettingsBar : public QToolBar
{
    Q_OBJECT
public:
    explicit CSettingsBar(QWidget* parent = nullptr);

    // The list of a bar id (32771 to 32777), or nullptr.
    QComboBox* Combo(int id) const;

    // The port selector's selection (a 0-based port number), -1 when none.
    int SelectedPort() const;
    // Selects a port in the selector (out of 0 to 255: no selection) without telling anyone.
    void SelectPort(int port);

    // The highest rate the baud-rate list takes when typed (beyond what any UART driver sets).
    static constexpr int kHighestTypedRate = 99999999;

    // Copies baud rate, parity, data bits, stop bits, packing interval and flow control from
    // the lists. A rate typed into the baud-rate list is taken as it is.
    void ReadSettingsFromBar(PortSettings& settings) const;
    void ShowSettingsInBar(const PortSettings& settings);
    void ShowDefaultsInBar();
    // The six settings lists together; the selector stays enabled.
    void EnableSettingsBar(bool enable);

    // The selector's tooltip and status prompt name the device of the selected port. A
    // prompt on show in the status bar follows the new port.
    void SetPortDevice(const QString& device);

    // Marks the numbers whose device is there now (port number -> device path): bold, with
    // the device as the entry's tooltip. The texts stay "COM%d".
    void MarkPresentPorts(const std::map<int, QString>& present);
    // Marks the numbers of map that have a device now, and again each time the port list
    // opens. The map must outlive the bar.
    void MarkPortsOf(const PortMap& map);

Q_SIGNALS:
    // The user picked a port in the selector.
    void portSelected(int port);

private:
    static constexpr int kFirstId = ID_PORT_SELECT;
    std::array<QComboBox*, 7> m_combos{};
};
