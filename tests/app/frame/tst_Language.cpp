#include "MainFrameFixture.h"
#include "app/frame/Language.h"
#include "app/frame/MainFrm.h"
#include "core/base/CommandIds.h"
#include "core/settings/CommandLine.h"
#include "core/settings/IniSettingsStore.h"
#include "core/text/CodePage.h"

#include <QMenu>
#include <QMenuBar>
#include <QtTest>

// The language at start: the locale, or the choice stored by 工具 → 语言 / Language, decides
// the menus and the core's texts.
class tst_Language : public QObject, public MainFrameFixture
{
    Q_OBJECT

    static QStringList MenuTitles(CMainFrame& frame)
    {
        QStringList titles;
        for (QAction* a : frame.menuBar()->actions())
            titles << a->text();
        return titles;
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup()
    {
        EndFixture();
        CLanguage::Apply(CLanguage::Choice::Chinese);
    }

    void startsInLanguage_data()
    {
        QTest::addColumn<QByteArray>("language"); // LANGUAGE
        QTest::addColumn<QByteArray>("all");      // LC_ALL
        QTest::addColumn<QByteArray>("messages"); // LC_MESSAGES
        QTest::addColumn<QByteArray>("lang");     // LANG
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("english");
        const QByteArray none, zh("zh_CN.UTF-8"), en("en_US.UTF-8");
        QTest::newRow("Chinese locale") << none << none << none << zh << QString() << false;
        QTest::newRow("English locale") << none << none << none << en << QString() << true;
        QTest::newRow("C locale") << none << none << none << QByteArray("C") << QString() << true;
        QTest::newRow("LANGUAGE before LANG") << QByteArray("zh_TW:en") << none << none
                                              << QByteArray("en_GB.UTF-8") << QString() << false;
        QTest::newRow("LANGUAGE before LC_ALL")
            << QByteArray("en") << zh << zh << zh << QString() << true;
        QTest::newRow("LC_ALL before LC_MESSAGES") << none << zh << en << en << QString() << false;
        QTest::newRow("LC_ALL before LANG") << none << en << none << zh << QString() << true;
        QTest::newRow("LC_MESSAGES before LANG") << none << none << zh << en << QString() << false;
        QTest::newRow("empty LANGUAGE and LC_ALL count for nothing")
            << QByteArray("") << QByteArray("") << en << zh << QString() << true;
        QTest::newRow("stored en beats zh")
            << none << zh << zh << zh << QStringLiteral("en") << true;
        QTest::newRow("stored zh beats C")
            << QByteArray("en") << none << none << QByteArray("C") << QStringLiteral("zh") << false;
    }
    void startsInLanguage()
    {
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, all);
        QFETCH(QByteArray, messages);
        QFETCH(QByteArray, lang);
        QFETCH(QString, stored);
        QFETCH(bool, english);
        const std::pair<const char*, QByteArray> variables[] = {
            {"LANGUAGE", language}, {"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}};
        for (const auto& [name, value] : variables) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        if (!stored.isEmpty())
            m_store->WriteString(UiLanguage::kSection, UiLanguage::kValue, stored.toStdString());
        QVERIFY(CLanguage::Apply(UiLanguage::Decide(*m_store)));

        CMainFrame& frame = NewFrame();
        // Without a stored text encoding the language decides it too.
        QCOMPARE(CodePage::SystemChoice(),
                 english ? CodePage::Choice::Utf8 : CodePage::Choice::Gbk);
        if (english) {
            QCOMPARE(MenuTitles(frame), QStringList({"&File", "&Edit", "&View", "&Tools",
                                                     "&Checksum", "&Window", "&Help"}));
            QCOMPARE(frame.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("&Open COM1"));
            QVERIFY(CommandLine::HelpText().starts_with("Usage: vrl"));
            // Access keys are unique within each menu and submenu.
            QList<QMenu*> menus;
            for (QAction* a : frame.menuBar()->actions())
                menus << a->menu();
            for (qsizetype m = 0; m < menus.size(); ++m) {
                QMenu* menu = menus[m];
                Q_EMIT menu->aboutToShow();
                QSet<QChar> keys;
                for (QAction* a : menu->actions()) {
                    if (a->menu())
                        menus << a->menu();
                    // No Chinese left, but in the two names of the language submenu.
                    static const QRegularExpression chinese(
                        QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
                    if (a->data().toInt() != ID_LANGUAGE_CHINESE
                        && !a->text().startsWith(QStringLiteral("语言")))
                        QVERIFY2(!(a->text() + a->statusTip() + a->toolTip()).contains(chinese),
                                 qPrintable(a->text()));
                    const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
                    if (amp < 0 || !a->isVisible())
                        continue;
                    const QChar key = a->text().at(amp + 1).toLower();
                    QVERIFY2(!keys.contains(key),
                             qPrintable(menu->title() + QStringLiteral(": ") + a->text()));
                    keys.insert(key);
                }
            }
        } else {
            QCOMPARE(MenuTitles(frame), QStringList({"文件(&F)", "编辑(&E)", "视图(&V)", "工具(&T)",
                                                     "添加校验(&P)", "窗口(&W)", "帮助(&H)"}));
            QCOMPARE(frame.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("打开COM1(&O)"));
            QVERIFY(CommandLine::HelpText().starts_with("用法: vrl"));
        }
    }

    // The menu's choice is stored at once and decides the next start, whatever the locale.
    void menuChoiceIsStored()
    {
        qputenv("LANGUAGE", "zh_CN");
        CMainFrame& frame = NewFrame();
        frame.OnCommand(ID_LANGUAGE_ENGLISH);
        QVERIFY(frame.UpdateCommand(ID_LANGUAGE_ENGLISH).m_checked);
        QVERIFY(!frame.UpdateCommand(ID_LANGUAGE_CHINESE).m_checked);
        IniSettingsStore reread(m_xdg->ConfigFile().toStdString());
        QCOMPARE(UiLanguage::Decide(reread), CLanguage::Choice::English);
        frame.OnCommand(ID_LANGUAGE_CHINESE);
        IniSettingsStore again(m_xdg->ConfigFile().toStdString());
        QCOMPARE(UiLanguage::Decide(again), CLanguage::Choice::Chinese);
    }
};

QTEST_MAIN(tst_Language)
#include "tst_Language.moc"
