#pragma once

#include "core/serial/SerialDevice.h"

#include <QDialog>

#include <vector>

class PortMap;
class QComboBox;
class QLabel;
class CListCtrlEx;

// Which device each COM number names: the mapped numbers with their device paths and what
// is known of each device. The user points a number at a device (a pseudo-terminal
// included) or frees it, below the list or by editing a path in place; each change is
// stored at once.
class CPortMapDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CPortMapDialog(PortMap& map, QWidget* parent = nullptr);

    // Sets or clears (empty path) the mapping of a 0-based port number; false, with the
    // reason shown below the list, when the path is not acceptable.
    bool ApplyPath(int port, const QString& path);
    void Refresh();
    CListCtrlEx* Table() const { return m_pTable; }

private:
    void OnRowSelected();
    void OnPathEdited(int row, int column, const QString& text);

    PortMap& m_map;
    std::vector<SerialDevice> m_found;
    CListCtrlEx* m_pTable = nullptr;
    std::vector<int> m_rowPorts; // the port number of each row
    QComboBox* m_pPort = nullptr;
    QComboBox* m_pPath = nullptr;
    QLabel* m_pNote = nullptr;
};
