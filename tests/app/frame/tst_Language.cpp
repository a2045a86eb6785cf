#include "MainFrameFixture.h"
#include "app/frame/Language.h"
#include "app/frame/MainFrm.h"
#include "core/base/CommandIds.h"
#include "core/settings/CommandLine.h"
#include "core/settings/IniSettingsStore.h"

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
        QTest::addColumn<QByteArray>("lang");     // LANG
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("english");
        QTest::newRow("Chinese locale")
            << QByteArray() << QByteArray("zh_CN.UTF-8") << QString() << false;
        QTest::newRow("English locale")
            << QByteArray() << QByteArray("en_US.UTF-8") << QString() << true;
        QTest::newRow("C locale") << QByteArray() << QByteArray("C") << QString() << true;
        QTest::newRow("LANGUAGE before LANG")
            << QByteArray("zh_TW:en") << QByteArray("en_GB.UTF-8") << QString() << false;
        QTest::newRow("stored en beats zh")
            << QByteArray() << QByteArray("zh_CN.UTF-8") << QStringLiteral("en") << true;
        QTest::newRow("stored zh beats C")
            << QByteArray("en") << QByteArray("C") << QStringLiteral("zh") << false;
    }
    void startsInLanguage()
    {
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, lang);
        QFETCH(QString, stored);
        QFETCH(bool, english);
        qputenv("LANGUAGE", language);
        qputenv("LANG", lang);
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        if (!stored.isEmpty())
            m_store->WriteString(UiLanguage::kSection, UiLanguage::kValue, stored.toStdString());
        QVERIFY(CLanguage::Apply(UiLanguage::Decide(*m_store)));

        CMainFrame& frame = NewFrame();
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
