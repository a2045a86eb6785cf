#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <span>
#include <string>
#include <vector>

class CFrameHost;
class CScriptPage;
class QDockWidget;
class QMenu;
class QTabWidget;
class QTimer;

// 工具 → "脚本..." (Tools → "Script..."): a dock of Lua scripts, one per tab, each with its
// editor, its Run and Stop and its output; a status-bar note while any runs. It keeps the
// recent scripts and lists the examples installed with the program. What a script may reach
// (the ports, sending, the monitor) each page lends it; this unit keeps what they share.
class CScriptDock : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    using Plotter = std::function<void(const std::string& name, double value, std::int64_t)>;

    // decodes: whether MODBUS decoding is on for a port (window thread); logLine: writes a
    // script's log line into the monitor; plot: takes a script's vrl.plot (window thread).
    CScriptDock(CFrameHost& host, std::function<bool(unsigned)> decodes,
                std::function<void(const std::string&)> logLine, Plotter plot);
    ~CScriptDock() override;

    static std::span<const CommandInfo> Commands();
    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // vrl --script: each file in a tab of its own, run now (the ports are open).
    void RunAtStart(const std::vector<std::string>& files);
    // Before the ports and the traffic go: every script ends, every page goes.
    void StopAll();

    // --- What the pages share ---
    CFrameHost& Host() { return m_host; }
    // Any thread: MODBUS decoding on for port, as last looked at.
    bool DecodesModbus(unsigned port) const;
    void LogLine(const std::string& text) { m_logLine(text); }
    void PlotValue(const std::string& name, double value, std::int64_t timeUs)
    {
        m_plot(name, value, timeUs);
    }
    // A file was opened or saved: first of the recent scripts.
    void AddRecent(const QString& path);
    // Fills menu with the recent scripts and the examples; choosing one opens it in page.
    void FillOpenMenu(QMenu* menu, CScriptPage* page);
    // A page began or ended running.
    void UpdateNote();

private:
    CScriptPage* AddPage();
    void ClosePage(int index);
    void ShowDock();
    void LookAtDecoding();

    CFrameHost& m_host;
    std::function<bool(unsigned)> m_decodes;
    std::function<void(const std::string&)> m_logLine;
    Plotter m_plot;
    QDockWidget* m_pDock;
    QTabWidget* m_pTabs;
    QTimer* m_pDecodeTimer;
    std::array<std::atomic<bool>, 256> m_modbusOn{};
    QStringList m_recent;
};
