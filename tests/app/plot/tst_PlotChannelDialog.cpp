// The channel dialog puts the source together as the command line names it: each page of
// the source gives its own kind of channel.
#include "app/plot/PlotChannelDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>

class tst_PlotChannelDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachSourceGivesItsChannel_data();
    void eachSourceGivesItsChannel();
};

void tst_PlotChannelDialog::eachSourceGivesItsChannel_data()
{
    QTest::addColumn<int>("kind"); // the source row: MODBUS, text, script
    QTest::addColumn<QString>("stored");
    QTest::newRow("register") << 0 << QStringLiteral("p=COM3:modbus:1:hr0:uint16");
    QTest::newRow("text") << 1 << QStringLiteral("p=COM3:text:temp");
    QTest::newRow("script") << 2 << QStringLiteral("p=script:temp");
}

void tst_PlotChannelDialog::eachSourceGivesItsChannel()
{
    QFETCH(int, kind);
    QFETCH(QString, stored);
    PlotChannelConfig config;
    config.m_colour = Qt::blue;
    config.m_channel.m_source.m_port = 2;
    CPlotChannelDialog dialog(config, {});
    auto edits = dialog.findChildren<QLineEdit*>();
    dialog.findChildren<QComboBox*>().at(0)->setCurrentIndex(kind);
    // The page shown is the one of the source chosen; its name field takes "temp".
    auto* page = dialog.findChild<QStackedWidget*>()->currentWidget();
    if (auto* name = kind == 0 ? nullptr : page->findChild<QLineEdit*>())
        name->setText(QStringLiteral("temp"));
    edits.at(0)->setText(QStringLiteral("p"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(PlotChannelText(dialog.Config().m_channel)), stored);
}

QTEST_MAIN(tst_PlotChannelDialog)
#include "tst_PlotChannelDialog.moc"
