#include "MainFrameFixture.h"

#include "IniSettingsStore.h"
#include "MainFrm.h"

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
    return *m_frame;
}
