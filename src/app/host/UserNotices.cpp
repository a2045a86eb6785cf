#include "app/host/UserNotices.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include <memory>

CUserNotices::CUserNotices(QMainWindow& window) : m_window(window) {}

void CUserNotices::ShowWarning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("VRL"), text, QMessageBox::Ok, parent);
    box.exec();
}

namespace {

QMessageBox* NewBox(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                    const std::vector<CUserNotices::Button>& buttons)
{
    QMessageBox::StandardButtons which;
    for (const CUserNotices::Button& button : buttons)
        which |= button.m_which;
    auto* box = new QMessageBox(icon, QStringLiteral("VRL"), text, which, parent);
    for (const CUserNotices::Button& button : buttons) {
        if (!button.m_text.isEmpty())
            box->button(button.m_which)->setText(button.m_text);
    }
    return box;
}

} // namespace

QMessageBox::StandardButton CUserNotices::AskQuestion(QWidget* parent, const QString& text,
                                                      const std::vector<Button>& buttons,
                                                      QMessageBox::StandardButton defaultButton)
{
    std::unique_ptr<QMessageBox> box(NewBox(QMessageBox::Question, parent, text, buttons));
    box->setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

void CUserNotices::ShowInformation(QWidget* parent, const QString& text,
                                   const std::vector<Button>& buttons, QObject* context,
                                   std::function<void(QMessageBox::StandardButton)> answered)
{
    QMessageBox* box = NewBox(QMessageBox::Information, parent, text, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (answered) {
        QObject::connect(
            box, &QMessageBox::finished, context ? context : box,
            [box, answered](int) { answered(box->standardButton(box->clickedButton())); });
    }
    box->open();
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
