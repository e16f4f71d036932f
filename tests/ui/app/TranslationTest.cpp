// Translations: the languages found, switching, and that the Chinese texts agree with the ones the
// core and the links write themselves.
#include "core/CoreMessages.h"
#include "transport/LinkMessages.h"
#include "ui/app/LanguageManager.h"

#include <QCoreApplication>
#include <QtTest>

using namespace velmar;

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    void englishAndChineseAreBuiltIn() {
        LanguageManager languages;
        QVERIFY(languages.languages().size() >= 2);
        QCOMPARE(languages.languages().at(0).locale, QStringLiteral("en"));
        QCOMPARE(languages.nativeName(0), QStringLiteral("English"));
        QCOMPARE(languages.languages().at(1).locale, QStringLiteral("zh_CN"));
        QCOMPARE(languages.nativeName(1), QStringLiteral("中文"));
        QCOMPARE(languages.current(), LanguageManager::kEnglish);
    }

    void switchingInstallsAndRemovesTheTranslation() {
        LanguageManager languages;
        const auto translate = [] { return QCoreApplication::translate("velmar::CVelmarDlg", "UnConnect"); };
        QCOMPARE(translate(), QStringLiteral("UnConnect"));
        QVERIFY(languages.apply(1));
        QCOMPARE(translate(), QStringLiteral("未联机"));
        QVERIFY(languages.apply(0));
        QCOMPARE(translate(), QStringLiteral("UnConnect"));
        QVERIFY(!languages.apply(200));
        QCOMPARE(languages.current(), 0);
    }

    void translationIsRemovedWithTheManager() {
        {
            LanguageManager languages;
            QVERIFY(languages.apply(1));
        }
        QCOMPARE(QCoreApplication::translate("velmar::CVelmarDlg", "UnConnect"), QStringLiteral("UnConnect"));
    }

    void linkMessagesAgreeWithTheTransport_data() {
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("english");
        QTest::newRow("unable to open") << int(LinkMessage::UnableToOpenComPort) << "Unable to open COM-port";
        QTest::newRow("disconnect") << int(LinkMessage::DeviceDisconnect) << "Device disconnect";
        QTest::newRow("not found") << int(LinkMessage::DeviceNotFound)
                                   << "Can't find the device, please check it";
        QTest::newRow("wifi") << int(LinkMessage::CantOpenWifi) << "Can't open the wifi";
    }
    void linkMessagesAgreeWithTheTransport() {
        QFETCH(int, message);
        QFETCH(QString, english);
        LanguageManager languages;
        const auto m = LinkMessage(message);
        QCOMPARE(QString::fromUtf8(LinkMessageFor(m, 0).text), english);
        const QByteArray source = english.toUtf8();
        QVERIFY(languages.apply(1));
        QCOMPARE(QCoreApplication::translate("velmar::CVelmarDlg", source.constData()),
                 QString::fromUtf8(LinkMessageFor(m, 1).text));
    }

    void coreMessagesAgreeWithTheCore() {
        LanguageManager languages;
        QVERIFY(languages.apply(1));
        for (CoreMessage m :
             {CoreMessage::ComConnectError, CoreMessage::UsbConnectError, CoreMessage::WifiConnectError,
              CoreMessage::InputCopyDone, CoreMessage::OutputCopyDone}) {
            QCOMPARE(QCoreApplication::translate("velmar::CoreMessage", CoreMessageText(m, 0)),
                     QString::fromUtf8(CoreMessageText(m, 1)));
        }
    }

    void connectionDialogMessages() {
        LanguageManager languages;
        QVERIFY(languages.apply(1));
        QCOMPARE(QCoreApplication::translate("velmar::CConnectDlg", "check, link again"),
                 QStringLiteral("检查连线,再次联接"));
        QCOMPARE(QCoreApplication::translate("velmar::CConnectDlg", "Can't open the wifi"),
                 QStringLiteral("不能打开网络"));
    }
};

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
