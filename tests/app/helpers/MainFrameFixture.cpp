#include "MainFrameFixture.h"

#include "app/files/MonitorFiles.h"
#include "app/frame/MainFrm.h"
#include "core/settings/IniSettingsStore.h"

#include <QtTest>

MainFrameFixture::MainFrameFixture() = default;

MainFrameFixture::~MainFrameFixture()
{
    EndFixture();
}

void MainFrameFixture::StartFixture()
{
    EndFixture();
    m_xdg = std::make_unique<TestXdgFolders>();
    m_store = std::make_unique<IniSettingsStore>(IniSettingsStore::DefaultPath());
    m_messages.clear();
}

void MainFrameFixture::EndFixture()
{
    m_frame.reset();
    m_store.reset();
    m_xdg.reset();
}

CMainFrame& MainFrameFixture::NewFrame()
{
    m_frame.reset();
    m_frame = std::make_unique<CMainFrame>(*m_store);
    m_frame->SetMessageHook([this](const QString& text) { m_messages << text; });
    // Unsaved monitor text is thrown away without a question box (tests that care set
    // their own answer).
    m_frame->MonitorFiles()->SetCloseAsker([] { return CMonitorFiles::CloseAnswer::Discard; });
    return *m_frame;
}

bool MainFrameFixture::OpenPort(int port, const QString& path)
{
    return QTest::qVerify(OpenPortOn(*m_frame, port, path), "OpenPortOn(*m_frame, port, path)",
                          qPrintable(m_messages.join('\n')), __FILE__, __LINE__);
}

bool MainFrameFixture::OpenPort(int port, const TestPtyPair& pty)
{
    return OpenPort(port, pty.SlavePath());
}
