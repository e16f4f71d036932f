// Device configurations: every tab label in both languages, exactly; the tab mapping; model digits.
#include "ui/app/DeviceConfig.h"
#include "ui/app/LanguageManager.h"

#include <QtTest>

using namespace velmar;
using Page = DeviceConfig::Page;

namespace {

QStringList outputs(const QString& pattern, int count) {
    QStringList labels;
    for (int i = 1; i <= count; ++i) labels << pattern.arg(i);
    return labels;
}

} // namespace

class DeviceConfigTest : public QObject {
    Q_OBJECT

private slots:
    void tabLabelsAreExact_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("3 English") << 3 << 0
                                   << (QStringList{"      Home      ", "      Gain       ",
                                                   "      Delay      ", "      GEQ A      ",
                                                   "      GEQ B      ", "      IN A     ",
                                                   "      IN B     "} +
                                       outputs("    OUT %1     ", 4));
        QTest::newRow("3 Chinese") << 3 << 1
                                   << (QStringList{"    主 页      ", "    增 益      ", "    延 时      ",
                                                   "    均衡 A     ", "    均衡 B     ", "    输 入 A    ",
                                                   "    输 入 B    "} +
                                       outputs("   输 出 %1    ", 4));
        QTest::newRow("4 English") << 4 << 0
                                   << (QStringList{"    Home    ", "    Gain    ", "    Delay    ",
                                                   "    GEQ A    ", "    GEQ B    ", "    IN A     ",
                                                   "    IN B     "} +
                                       outputs("   OUT %1   ", 6));
        QTest::newRow("4 Chinese") << 4 << 1
                                   << (QStringList{"   主 页   ", "   增 益   ", "   延 时   ", "   均衡 A  ",
                                                   "   均衡 B  ", "   输入 A   ", "   输入 B   "} +
                                       outputs("   输出 %1  ", 6));
        QTest::newRow("5 English") << 5 << 0
                                   << (QStringList{" Home  ", " Gain  ", " Delay ", " GEQ A ", " GEQ B ",
                                                   " GEQ C ", " GEQ D ", " INPUTA ", " INPUTB ", " INPUTC "} +
                                       outputs("OUTPUT%1", 6));
        QTest::newRow("5 Chinese") << 5 << 1
                                   << (QStringList{" 主 页 ", " 增 益 ", " 延 时 ", " 均衡A ", " 均衡B ",
                                                   " 均衡C ", " 均衡D ", " 输入 A", " 输入 B", " 输入 C"} +
                                       outputs("输出 %1", 6));
        QTest::newRow("6 English") << 6 << 0
                                   << (QStringList{" Home  ", " Gain  ", " Delay ", " GEQ A  ", " GEQ B  ",
                                                   " GEQ C  ", " GEQ D ", "  IN A ", "  IN B ", "  IN C ",
                                                   "  IN D "} +
                                       outputs("  OUT %1 ", 6));
        QTest::newRow("6 Chinese") << 6 << 1
                                   << (QStringList{" 主 页", " 增 益", " 延 时", " 均衡A ", " 均衡B ",
                                                   " 均衡C ", " 均衡D ", "输入 A", "输入 B", "输入 C",
                                                   "输入 D"} +
                                       outputs(" 输出 %1", 6));
        QTest::newRow("7 English") << 7 << 0
                                   << (QStringList{" Home ", " Gain ", "Delay", "GEQ A", "GEQ B", "GEQ C",
                                                   "GEQ D", " IN A ", " IN B ", " IN C ", " IN D "} +
                                       outputs(" OUT %1", 8));
        QTest::newRow("7 Chinese") << 7 << 1
                                   << (QStringList{"主页 ", " 增益 ", " 延时 ", "均衡A", "均衡B", "均衡C",
                                                   "均衡D", "输入A", "输入B", "输入C", "输入D"} +
                                       outputs("输出%1", 8));
    }
    void tabLabelsAreExact() {
        QFETCH(int, config);
        QFETCH(int, language);
        QFETCH(QStringList, labels);
        LanguageManager languages;
        QVERIFY(languages.apply(uint8_t(language)));
        QCOMPARE(DeviceConfig::tabLabels(config), labels);
        QCOMPARE(DeviceConfig::tabCount(config), labels.size());
    }

    void channelCountsAndSystemTabs_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("system");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("outputs");
        QTest::newRow("3") << 3 << 5 << 2 << 4;
        QTest::newRow("4") << 4 << 5 << 2 << 6;
        QTest::newRow("5") << 5 << 7 << 3 << 6;
        QTest::newRow("6") << 6 << 7 << 4 << 6;
        QTest::newRow("7") << 7 << 7 << 4 << 8;
        QTest::newRow("unknown counts as 7") << 9 << 7 << 4 << 8;
    }
    void channelCountsAndSystemTabs() {
        QFETCH(int, config);
        QFETCH(int, system);
        QFETCH(int, inputs);
        QFETCH(int, outputs);
        QCOMPARE(DeviceConfig::sysTabCount(config), system);
        QCOMPARE(DeviceConfig::inputCount(config), inputs);
        QCOMPARE(DeviceConfig::outputCount(config), outputs);
    }

    void tabMappingEdges_data() {
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("channel");
        QTest::newRow("3: tab 4 is GEQ B") << 3 << 4 << int(Page::Geq) << 1;
        QTest::newRow("3: tab 6 is input B") << 3 << 6 << int(Page::Input) << 1;
        QTest::newRow("3: tab 7 is output 1") << 3 << 7 << int(Page::Output) << 0;
        QTest::newRow("3: tab 10 is output 4") << 3 << 10 << int(Page::Output) << 3;
        QTest::newRow("4: tab 12 is output 6") << 4 << 12 << int(Page::Output) << 5;
        QTest::newRow("5: tab 6 is GEQ D") << 5 << 6 << int(Page::Geq) << 3;
        QTest::newRow("5: tab 9 is input C") << 5 << 9 << int(Page::Input) << 2;
        QTest::newRow("5: tab 10 is output 1") << 5 << 10 << int(Page::Output) << 0;
        QTest::newRow("6: tab 10 is input D") << 6 << 10 << int(Page::Input) << 3;
        QTest::newRow("6: tab 16 is output 6") << 6 << 16 << int(Page::Output) << 5;
        QTest::newRow("7: tab 11 is output 1") << 7 << 11 << int(Page::Output) << 0;
        QTest::newRow("7: tab 18 is output 8") << 7 << 18 << int(Page::Output) << 7;
        QTest::newRow("7: tab 19 does not exist") << 7 << 19 << int(Page::Home) << 0;
        QTest::newRow("3: tab 11 does not exist") << 3 << 11 << int(Page::Home) << 0;
    }
    void tabMappingEdges() {
        QFETCH(int, config);
        QFETCH(int, tab);
        QFETCH(int, page);
        QFETCH(int, channel);
        const DeviceConfig::TabTarget t = DeviceConfig::target(config, tab);
        QCOMPARE(int(t.page), page);
        QCOMPARE(t.channel, channel);
    }

    void modelDigits_data() {
        QTest::addColumn<char>("in");
        QTest::addColumn<char>("out");
        QTest::addColumn<int>("config");
        QTest::newRow("2/4") << '2' << '4' << 3;
        QTest::newRow("2/6") << '2' << '6' << 4;
        QTest::newRow("3/6") << '3' << '6' << 5;
        QTest::newRow("4/6") << '4' << '6' << 6;
        QTest::newRow("4/8") << '4' << '8' << 7;
        QTest::newRow("1/2") << '1' << '2' << 7;
        QTest::newRow("3/4") << '3' << '4' << 7;
        QTest::newRow("binary 2/4 is not ASCII") << char(2) << char(4) << 7;
    }
    void modelDigits() {
        QFETCH(char, in);
        QFETCH(char, out);
        QFETCH(int, config);
        QCOMPARE(DeviceConfig::fromModelDigits(in, out), config);
    }

    void slugsNameWhatATabShows() {
        QCOMPARE(DeviceConfig::tabSlug(7, 3), QStringLiteral("geq-a"));
        QCOMPARE(DeviceConfig::tabSlug(7, 10), QStringLiteral("in-d"));
        QCOMPARE(DeviceConfig::tabSlug(3, 7), QStringLiteral("out-1"));
        QCOMPARE(DeviceConfig::tabSlug(5, 0), QStringLiteral("home"));
    }
};

QTEST_MAIN(DeviceConfigTest)
#include "DeviceConfigTest.moc"
