#pragma once

#include <QDockWidget>

#include <functional>

class CFrameHost;
class ModbusFrameLog;
class QLabel;
class QTableView;
class QTimer;

// The dock "MODBUS 帧表": every decoded frame of the log as a row (time with milliseconds,
// port, direction, slave, function, start, quantity, data, CRC, answer delay), exported to
// CSV. Hidden at first. The rows follow the log on a short timer while the dock is shown, so
// that a flood of frames costs one update of the view per tick, not one per frame.
class CModbusFrameTable : public QDockWidget
{
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 200;

    // log outlives the dock.
    CModbusFrameTable(CFrameHost& host, const ModbusFrameLog& log);
    ~CModbusFrameTable() override;

    // Shows the dock, in a row of its own when docked at the bottom and too narrow to read.
    void ShowReadable();
    // Brings the rows up to the log now.
    void Refresh();
    // Writes the log to a CSV file the user names; false when nothing was written.
    bool ExportCsv();
    // The file name of the export is answered by asker instead of the user (tests).
    void SetFileNameAsker(std::function<QString()> asker) { m_askFileName = std::move(asker); }
    QTableView* View() const { return m_pView; }

Q_SIGNALS:
    void clearRequested();

private:
    class Model;

    CFrameHost& m_host;
    const ModbusFrameLog& m_log;
    Model* m_pModel;
    QTableView* m_pView;
    QLabel* m_pCount;
    QTimer* m_pTimer;
    std::function<QString()> m_askFileName;
};
