#include "MainFrameFixture.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "capture/CaptureOptions.h"
#include "capture/CaptureSession.h"
#include "core/decode/DecoderSet.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/serial/PortSettings.h"
#include "core/settings/IniSettingsStore.h"

#include <QtTest>

#include <cstdio>
#include <cstdlib>

// vrl-capture writes the lines the window shows: the same received bytes with the same
// display options give the same text.
class tst_CaptureText : public QObject, private MainFrameFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void captureWritesTheLinesTheWindowShows_data()
    {
        QTest::addColumn<bool>("asc");
        QTest::addColumn<bool>("modbus");
        QTest::newRow("hex") << false << false;
        QTest::newRow("characters") << true << false;
        QTest::newRow("hex with MODBUS decoding") << false << true;
    }
    void captureWritesTheLinesTheWindowShows()
    {
        QFETCH(bool, asc);
        QFETCH(bool, modbus);
        // The switch as stored for COM1, which both take from the settings.
        SaveDecoderSwitch(*m_store, 0, ModbusDecoder::kName, modbus);
        const std::vector<std::pair<unsigned, std::string>> messages{
            {0, std::string("\x01\x03\x02\x00\x2A\x38\x5B", 7)},
            {4, "OK\r\n"},
            {0, std::string("A\0B\x1B", 4)},
            {255, "\xD6\xD0\xCE\xC4"}, // 中文 in GBK
        };
        const auto tick = [] { return 1000u; };
        const auto time = [] { return std::string("09:30:00"); };
        const auto clock = [] { return std::string("09:30:00.125"); };
        const auto decodeClock = [] { return std::int64_t{5000}; };

        CMainFrame& f = NewFrame();
        f.Options().m_showTime = 1;
        f.Options().m_showPort = 1;
        f.Options().m_clockMs = 1;
        f.Options().m_ascEveryByte = 1;
        f.Options().m_ascReceive = asc ? 1 : 0;
        f.Pipeline().SetClocks(tick, time, clock);
        f.Pipeline().SetDecodeClock(decodeClock);
        for (const auto& [port, bytes] : messages)
            f.Pipeline().OnReceiveData(port, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       bytes.size(), 5000);
        const QString shown = f.GetView()->toPlainText();

        const CaptureOptions options = CaptureOptions::Parse({"COM1", asc ? "--asc" : "--hex"});
        QVERIFY(options.m_error.empty());
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* out = ::open_memstream(&text, &size);
        {
            CaptureSession capture(options, *m_store, out, nullptr);
            capture.SetClocks(tick, time, clock);
            capture.SetDecodeClock(decodeClock);
            for (const auto& [port, bytes] : messages)
                capture.Receive(port, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
            while (capture.ProcessWaiting()) {
            }
        }
        std::fclose(out);
        const QString written = QString::fromUtf8(text, static_cast<qsizetype>(size));
        std::free(text);
        QCOMPARE(written.count(QLatin1Char('\n')), modbus ? 5 : 4);
        QCOMPARE(written.contains(QStringLiteral("读保持寄存器")), modbus);
        QCOMPARE(written, shown);
    }
};

QTEST_MAIN(tst_CaptureText)
#include "tst_CaptureText.moc"
