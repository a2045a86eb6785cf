#include "MainFrameFixture.h"

#include "CommandIds.h"
#include "IniSettingsStore.h"
#include "MainFrm.h"
#include "MonitorFiles.h"
#include "PortMap.h"

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

void MainFrameFixture::OpenPort(int port, TestPtyPair& pty)
{
    m_frame->Map().SetPath(static_cast<unsigned>(port), pty.SlavePath().toStdString());
    m_frame->OnPortSelected(port);
    m_frame->OnCommand(ID_OPEN_PORT);
    QVERIFY2(m_frame->IsPortOpen(port), qPrintable(m_messages.join('\n')));
}
