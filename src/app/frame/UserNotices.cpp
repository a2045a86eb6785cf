#include "app/frame/UserNotices.h"

#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

CUserNotices::CUserNotices(QMainWindow& window) : m_window(window) {}

void CUserNotices::ShowWarning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VRL"), text, QMessageBox::Ok, parent);
    box.exec();
}

void CUserNotices::ShowMessage(const QString& text)
{
    if (m_messageHook) {
        m_messageHook(text);
        return;
    }
    ShowWarning(&m_window, text);
}

void CUserNotices::SetStatusNote(const QString& key, const QString& text, bool warning)
{
    auto it = m_statusNotes.find(key);
    if (text.isEmpty()) {
        if (it != m_statusNotes.end()) {
            delete it->second;
            m_statusNotes.erase(it);
        }
        return;
    }
    QStatusBar* bar = m_window.statusBar();
    if (it == m_statusNotes.end()) {
        auto* label = new QLabel(bar);
        bar->addPermanentWidget(label);
        it = m_statusNotes.emplace(key, label).first;
    }
    it->second->setText(text);
    it->second->setStyleSheet(warning ? QStringLiteral("color: rgb(200,0,0);") : QString());
}

QString CUserNotices::StatusNote(const QString& key) const
{
    auto it = m_statusNotes.find(key);
    return it == m_statusNotes.end() ? QString() : it->second->text();
}

void CUserNotices::ShowStatusMessage(const QString& text, int timeoutMs)
{
    m_window.statusBar()->showMessage(text, timeoutMs);
}
