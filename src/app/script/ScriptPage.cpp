#include "app/script/ScriptPage.h"

#include "app/host/FrameHost.h"
#include "app/script/ScriptDock.h"
#include "app/send/PortSender.h"
#include "core/files/AtomicFileWriter.h"
#include "core/receive/ReceivePipeline.h"
#include "core/script/ScriptRunner.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include <ostream>

namespace {

constexpr qint64 kLargestScript = 4 << 20;
constexpr int kOutputLines = 10000;
constexpr int kPrint = 0;
constexpr int kError = 1;
constexpr int kLog = 2;
constexpr int kEnd = 3; // the script has ended

} // namespace

CScriptPage::CScriptPage(CScriptDock& dock, QWidget* parent)
    : QWidget(parent), m_dock(dock), m_pEditor(new QPlainTextEdit(this)),
      m_pOutput(new QPlainTextEdit(this)), m_pCaret(new QLabel(this)),
      m_pRun(new QToolButton(this)), m_pStop(new QToolButton(this))
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_pEditor->setFont(fixed);
    m_pEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pEditor->setTabStopDistance(4 * QFontMetricsF(fixed).horizontalAdvance(QLatin1Char(' ')));
    m_pOutput->setFont(fixed);
    m_pOutput->setReadOnly(true);
    m_pOutput->setMaximumBlockCount(kOutputLines);
    m_pOutput->viewport()->installEventFilter(this);
    m_pOutput->setToolTip(tr("双击带行号的错误跳到脚本的该行"));

    auto* open = new QToolButton(this);
    open->setText(tr("打开..."));
    open->setPopupMode(QToolButton::MenuButtonPopup);
    auto* openMenu = new QMenu(open);
    open->setMenu(openMenu);
    connect(openMenu, &QMenu::aboutToShow, this,
            [this, openMenu] { m_dock.FillOpenMenu(openMenu, this); });
    connect(open, &QToolButton::clicked, this, &CScriptPage::OpenDialog);
    auto* save = new QToolButton(this);
    save->setText(tr("保存"));
    connect(save, &QToolButton::clicked, this, [this] { Save(false); });
    auto* saveAs = new QToolButton(this);
    saveAs->setText(tr("另存为..."));
    connect(saveAs, &QToolButton::clicked, this, [this] { Save(true); });
    m_pRun->setText(tr("运行"));
    m_pRun->setShortcut(QKeySequence(Qt::Key_F5));
    m_pRun->setToolTip(tr("运行脚本 (F5)"));
    connect(m_pRun, &QToolButton::clicked, this, &CScriptPage::Run);
    m_pStop->setText(tr("停止"));
    connect(m_pStop, &QToolButton::clicked, this, &CScriptPage::Stop);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{open, save, saveAs, m_pRun, m_pStop})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(m_pCaret);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_pEditor);
    split->addWidget(m_pOutput);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(split);
    setFocusProxy(m_pEditor);

    connect(m_pEditor, &QPlainTextEdit::cursorPositionChanged, this, &CScriptPage::ShowCaret);
    connect(m_pEditor->document(), &QTextDocument::modificationChanged, this,
            &CScriptPage::TitleChanged);
    ShowCaret();
    UpdateButtons();
}

CScriptPage::~CScriptPage()
{
    m_runner.reset(); // stops the script and waits for its thread
}

QString CScriptPage::Title() const
{
    const QString name = m_path.isEmpty() ? tr("新脚本") : QFileInfo(m_path).fileName();
    return m_pEditor->document()->isModified() ? name + QLatin1Char('*') : name;
}

bool CScriptPage::IsPristine() const
{
    return m_path.isEmpty() && m_pEditor->document()->isEmpty() && !IsRunning();
}

bool CScriptPage::MayClose()
{
    if (IsRunning())
        Stop();
    if (!m_pEditor->document()->isModified())
        return true;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("VRL"), tr("脚本“%1”已修改，是否保存？").arg(Title()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return Save(false);
    return answer == QMessageBox::Discard;
}

bool CScriptPage::Open(const QString& path)
{
    if (m_pEditor->document()->isModified() && !MayClose())
        return false;
    QFile file(path);
    if (file.size() > kLargestScript || !file.open(QIODevice::ReadOnly)) {
        m_dock.Host().ShowMessage(
            tr("无法读取脚本“%1”：%2")
                .arg(QDir::toNativeSeparators(path),
                     file.size() > kLargestScript ? tr("文件过大") : file.errorString()));
        return false;
    }
    m_pEditor->setPlainText(QString::fromUtf8(file.readAll()));
    m_pEditor->document()->setModified(false);
    m_path = path;
    m_dock.AddRecent(path);
    Q_EMIT TitleChanged();
    return true;
}

void CScriptPage::OpenDialog()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("打开脚本"), m_path.isEmpty() ? QString() : QFileInfo(m_path).path(),
        tr("Lua 脚本 (*.lua);;所有文件 (*)"));
    if (!path.isEmpty())
        Open(path);
}

bool CScriptPage::Save(bool askName)
{
    QString path = m_path;
    if (askName || path.isEmpty()) {
        path = QFileDialog::getSaveFileName(
            this, tr("保存脚本"), path.isEmpty() ? tr("脚本.lua") : path, tr("Lua 脚本 (*.lua)"));
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".lua");
    }
    const QByteArray text = m_pEditor->toPlainText().toUtf8();
    const AtomicWriteResult result =
        WriteFileAtomically(path.toStdString(), [&text](std::ostream& out) {
            out.write(text.constData(), text.size());
            return bool(out);
        });
    if (!result.m_ok) {
        m_dock.Host().ShowMessage(QString::fromStdString(result.m_error));
        return false;
    }
    m_path = path;
    m_pEditor->document()->setModified(false);
    m_dock.AddRecent(path);
    Q_EMIT TitleChanged();
    return true;
}

void CScriptPage::Run()
{
    if (IsRunning())
        return;
    const QString name = m_path.isEmpty() ? tr("新脚本") : QFileInfo(m_path).fileName();
    AppendOutput(tr("—— 运行 %1 ——").arg(name), kPrint);
    m_ended = false;
    m_runner = std::make_unique<ScriptRunner>(
        static_cast<ScriptHost&>(*this), m_dock.Host().Pipeline().Traffic(), name.toStdString(),
        m_pEditor->toPlainText().toStdString());
    m_runner->Start();
    UpdateButtons();
    m_dock.UpdateNote();
}

void CScriptPage::Stop()
{
    if (m_runner)
        m_runner->Stop(); // its end comes through Ended
}

void CScriptPage::UpdateButtons()
{
    m_pRun->setEnabled(!IsRunning());
    m_pStop->setEnabled(IsRunning());
}

void CScriptPage::ShowCaret()
{
    const QTextCursor cursor = m_pEditor->textCursor();
    m_pCaret->setText(
        tr("行 %1，列 %2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
}

void CScriptPage::AppendOutput(const QString& text, int kind)
{
    const QString colour = kind == kError ? QStringLiteral("#c80000")
                           : kind == kLog ? QStringLiteral("#8000a0")
                                          : QStringLiteral("#000000");
    m_pOutput->appendHtml(QStringLiteral("<span style=\"color:%1; white-space:pre\">%2</span>")
                              .arg(colour, text.toHtmlEscaped()));
}

bool CScriptPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pOutput->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        JumpToLine(m_pOutput->cursorForPosition(at).block().text());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CScriptPage::JumpToLine(const QString& outputLine)
{
    // "name.lua:12: message" or a failed check's "(name.lua:12)".
    static const QRegularExpression kWhere(QStringLiteral("\\.lua:(\\d+)"));
    const QRegularExpressionMatch match = kWhere.match(outputLine);
    if (!match.hasMatch())
        return;
    const QTextBlock block =
        m_pEditor->document()->findBlockByNumber(match.captured(1).toInt() - 1);
    if (!block.isValid())
        return;
    m_pEditor->setTextCursor(QTextCursor(block));
    m_pEditor->setFocus();
}

// --- ScriptHost: on the script's thread ------------------------------------------------

int CScriptPage::FindPort(const std::string& name)
{
    unsigned port = 0;
    return PortMap::ParsePortName(name, port) ? static_cast<int>(port) : -1;
}

bool CScriptPage::Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text)
{
    return m_dock.Host().Sender().Send(port, std::move(bytes), std::move(text));
}

bool CScriptPage::SetOutputLine(unsigned port, unsigned line, bool on)
{
    QMetaObject::invokeMethod(
        this,
        [this, port, line, on] {
            if (SerialPort* serial = m_dock.Host().GetPortRecord(static_cast<int>(port));
                serial && serial->IsOpen())
                serial->SetOutputLine(line, on);
        },
        Qt::QueuedConnection);
    return true;
}

bool CScriptPage::SetBreak(unsigned port, bool on)
{
    QMetaObject::invokeMethod(
        this,
        [this, port, on] {
            SerialPort* serial = m_dock.Host().GetPortRecord(static_cast<int>(port));
            if (serial && serial->IsOpen() && serial->Lines())
                serial->Lines()->SetBreak(on);
        },
        Qt::QueuedConnection);
    return true;
}

bool CScriptPage::DecodesModbus(unsigned port)
{
    return m_dock.DecodesModbus(port);
}

void CScriptPage::Log(const std::string& text)
{
    Post({text, kLog});
}

void CScriptPage::Plot(const std::string& name, double value, std::int64_t timeUs)
{
    QMetaObject::invokeMethod(
        this, [this, name, value, timeUs] { m_dock.PlotValue(name, value, timeUs); },
        Qt::QueuedConnection);
}

void CScriptPage::Output(const std::string& text, bool error)
{
    Post({text, error ? kError : kPrint});
}

void CScriptPage::Ended(const ScriptEnd& end)
{
    {
        std::lock_guard lock(m_mutex);
        m_end = end;
        m_ended = true;
    }
    Post({std::string(), kEnd});
}

void CScriptPage::Post(Line line)
{
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        first = m_posted.empty();
        m_posted.push_back(std::move(line));
    }
    if (first)
        QMetaObject::invokeMethod(this, &CScriptPage::ShowPosted, Qt::QueuedConnection);
}

// --- Back on the window thread ----------------------------------------------------------

void CScriptPage::ShowPosted()
{
    std::vector<Line> lines;
    bool ended = false;
    ScriptEnd end;
    {
        std::lock_guard lock(m_mutex);
        lines.swap(m_posted);
        ended = m_ended;
        end = m_end;
    }
    for (const Line& line : lines) {
        if (line.m_kind == kEnd)
            continue;
        if (line.m_kind == kLog)
            m_dock.LogLine(line.m_text);
        AppendOutput(QString::fromStdString(line.m_text), line.m_kind);
    }
    if (ended && m_runner)
        Finish(end);
}

void CScriptPage::Finish(const ScriptEnd& end)
{
    m_runner.reset(); // the thread has made its last call
    switch (end.m_how) {
    case ScriptEnd::How::Stopped: AppendOutput(tr("—— 脚本已停止 ——"), kPrint); break;
    case ScriptEnd::How::Failed: AppendOutput(tr("—— 脚本因错误而结束 ——"), kError); break;
    default:
        AppendOutput(QCoreApplication::translate("CScriptPage",
                                                 "—— 脚本已结束，%n 项检查失败，退出码 %1 ——",
                                                 nullptr, end.m_failedChecks)
                         .arg(end.ExitStatus()),
                     end.ExitStatus() == 0 ? kPrint : kError);
        break;
    }
    UpdateButtons();
    m_dock.UpdateNote();
}
