#pragma once

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class IniSettingsStore;

// The application: opens the per-user settings store, applies the command line, creates
// and shows the main window and loads a monitor file named on the command line.
class CVRLApp : public QApplication
{
    Q_OBJECT
public:
    CVRLApp(int& argc, char** argv);
    ~CVRLApp() override;

    // --help and --version print, and any misuse of the command line is reported, before
    // the application object is made (none of them needs a display). The exit code to end
    // with (0, 2 for misuse, 1 when there is no display at all), or -1 to go on.
    static int HandleEarlyArguments(int argc, char** argv);

    // The start-up sequence; false when the program is to end at once with ExitCode().
    bool InitInstance();
    // Closes the main window (it stores its settings) and the store.
    void ExitInstance();
    int ExitCode() const { return m_nExitCode; }

    // The main window from start-up until exit, else null.
    static CMainFrame* GetMainFrame();

private:
    void QuitOnTerminateSignals();

    std::unique_ptr<IniSettingsStore> m_pStore;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    int m_nExitCode = 0;
};
