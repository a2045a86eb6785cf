#pragma once

#include "core/plot/PlotSource.h"
#include "core/text/CodePage.h"
#include "core/transfer/FileTransfer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class PortSettings;

// What vrl-capture's command line asks for. Ports are named as vrl names them: COMn (the
// device of the stored port map) or COMn=DEVICE (also as --port COMn=DEVICE). Line settings
// given here, in the form tio and picocom take them, override each port's stored ones.
struct CaptureOptions
{
    struct Port
    {
        unsigned m_port = 0;  // 0-based
        std::string m_device; // empty: the stored port map's
    };

    std::vector<Port> m_ports;
    std::optional<std::uint32_t> m_baudRate;
    std::optional<int> m_dataBits;    // 5 to 8
    std::optional<int> m_parity;      // as PortSettings: 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::optional<int> m_stopBits;    // as PortSettings: 0 one, 2 two
    std::optional<int> m_flowControl; // as PortSettings: 0 none, 1 RTS/CTS, 2 XON/XOFF
    std::optional<std::uint32_t> m_packInterval; // ms
    std::optional<CodePage::Choice> m_encoding;  // else the stored 文本编码 (or the language's)
    bool m_lines = false;                        // a message ends at each line end
    std::optional<bool> m_ascReceive;            // --asc / --hex; else the stored display option
    bool m_modbus = false; // MODBUS RTU lines for every port (else where stored on)

    std::string m_folder;            // files go here; empty: standard output only
    bool m_txt = false;              // plain text files (the default with a folder)
    bool m_tnf = false;              // rich-text files in the monitor's colours
    bool m_stdout = false;           // standard output too, when a folder is given
    std::int64_t m_rotateMs = 0;     // new files at each such period on the clock; 0: never
    std::uint64_t m_rotateBytes = 0; // new files once a file holds this much; 0: never
    bool m_quiet = false;

    // Wireshark: a pcapng file of every message beside (or instead of) the text; "-" is
    // standard output.
    std::string m_pcapng;
    // Replay: the received data of the capture's port COMn written into the device of
    // --port COMn=DEVICE, with its gaps divided by the speed.
    std::string m_replay;
    double m_speed = 1.0;

    // --values FILE.csv: the samples of the --value channels.
    std::string m_valuesPath;
    std::vector<PlotChannel> m_values;
    bool m_help = false;
    bool m_version = false;
    // --script: Lua scripts run beside the capture, on its ports.
    std::vector<std::string> m_scripts;

    std::string m_error; // UTF-8; empty when the command line is sound

    // File transfer instead of a capture: one file sent, or files received into a folder,
    // over the one port given.
    std::string m_sendFile;
    std::string m_receiveFolder;
    std::optional<TransferProtocol> m_protocol;
    bool IsTransfer() const { return !m_sendFile.empty() || !m_receiveFolder.empty(); }
    // The line settings given here over the stored ones.
    void ApplyLineSettings(PortSettings& settings) const;
    static std::string TransferHelpText();

    // args: the arguments after the program name, UTF-8.
    static CaptureOptions Parse(const std::vector<std::string>& args);
    // "90s", "15m", "1h", "1d"; 0 when it is not such a period.
    static std::int64_t ParsePeriodMs(const std::string& text);
    // "500K", "100M", "2G", plain bytes; 0 when it is not such a size.
    static std::uint64_t ParseSize(const std::string& text);

    static std::string HelpText();
    static std::string PcapngHelpText();
    static std::string ValuesHelpText();
    static std::string ScriptHelpText();
    static std::string VersionText();
};
