#pragma once

#include "app/commands/CommandTable.h"
#include "core/decode/DecoderSet.h"
#include "core/modbus/ModbusFrameLog.h"
#include "core/receive/DecodeListener.h"

#include <QObject>
#include <QString>

#include <memory>

#include <span>

class CFrameHost;
class CModbusFrameTable;
class QTimer;

// Protocol decoding in the window, MODBUS RTU switched per port (工具 → "MODBUS 解析" for the
// current port, kept with the port's settings, off at first). The core's DecoderSet does the
// work as the decoding step of the receive pipeline; this unit holds the switches, says in
// the status bar which ports are decoded, and polls the set for what time brings (frames
// ended by silence, answers that did not come) while any port is decoded. The log of the
// frame table (窗口 → "MODBUS 帧表") listens to every MODBUS record, whatever the monitor's
// pause and filter do.
class CModbusDecoding : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    static constexpr int kPollMs = 50;

    // Loads the stored switches and plugs the decoders into the host's receive pipeline.
    explicit CModbusDecoding(CFrameHost& host);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // Switches decoding of port and stores the choice.
    void SetDecoding(unsigned port, bool on);
    bool IsDecoding(unsigned port) const;
    // Where other units add their decoders and record listeners.
    DecoderSet& Decoders() { return m_decoders; }
    const ModbusFrameLog& Log() const { return m_log; }
    CModbusFrameTable* Table() const { return m_pTable; }

private:
    void UpdateNote();

    CFrameHost& m_host;
    DecoderSet m_decoders;
    std::unique_ptr<DecodeListener> m_listener; // the decoders' lines under the messages
    ModbusFrameLog m_log;
    CModbusFrameTable* m_pTable;
    QTimer* m_pPollTimer;
    QString m_note; // the status note shown now
};
