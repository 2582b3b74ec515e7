#include <QSignalSpy>

#include <algorithm>
#include <QTest>

#include "app/qt/dialog_font.h"
#include "app/qt/dialog_template.h"
#include "texts/locale_language.h"
#include "window_rig.h"

namespace vornak::qt::testing {

class UpdateWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { capture_ = std::make_unique<DebugCapture>(); }
    void cleanupTestCase() { capture_.reset(); }
    void init() { DebugCapture::Clear(); }

    void startsWithoutAController()
    {
        WindowRig rig(false);
        rig.Open();
        QCOMPARE(rig.Title(), rig.ProductTitle());
        QVERIFY(!rig.window->updateButton().isEnabled());
        QCOMPARE(rig.window->progressBar().value(), 0);
        QVERIFY(rig.window->successLabel().isHidden());
        QCOMPARE(rig.window->instructionText().text(), QString::fromUtf8(kInstructionsEnglish).replace("\r\n", "\n"));
        QVERIFY(rig.prompts->messages.empty());
        SaveScreenshot(*rig.window, QStringLiteral("start-without-controller"));
    }

    void startsWithAControllerAndShowsItsVersion()
    {
        WindowRig rig;
        rig.Open();
        QCOMPARE(rig.Title(), QString::fromStdString(VersionTitle(rig.ProductTitle().toStdString(), false, 1, 0, 0)));
        QVERIFY(rig.window->updateButton().isEnabled());
        QVERIFY(DebugCapture::Lines().contains(QStringLiteral("m_DevicePath:sim:controller")));
        SaveScreenshot(*rig.window, QStringLiteral("start-with-controller"));
    }

    void theTitleFollowsTheVersionForm_data()
    {
        QTest::addColumn<bool>("singleNumber");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("beta");
        QTest::newRow("two-number") << false << 0x12 << 3 << 0;
        QTest::newRow("two-number beta") << false << 2 << 0x1a << 5;
        QTest::newRow("single-number") << true << 0x2c << 0 << 0;
        QTest::newRow("single-number beta") << true << 7 << 0 << 0xb;
    }
    void theTitleFollowsTheVersionForm()
    {
        QFETCH(bool, singleNumber);
        QFETCH(int, version);
        QFETCH(int, minor);
        QFETCH(int, beta);
        sim::SimConfig config;
        config.version = {singleNumber, static_cast<uint8_t>(version), static_cast<uint8_t>(minor),
                          static_cast<uint8_t>(beta)};
        WindowRig rig(true, config);
        rig.Open();
        QCOMPARE(rig.Title(), QString::fromStdString(VersionTitle(rig.ProductTitle().toStdString(), singleNumber,
                                                                  version, minor, beta)));
        QCOMPARE(rig.window->dialog().singleNumberVersion.load(), singleNumber ? 1u : 0u);
    }

    void followsPlugAndUnplug()
    {
        WindowRig rig(false);
        rig.Open();
        rig.Plug();
        QVERIFY(rig.window->updateButton().isEnabled());
        QVERIFY(rig.Title().startsWith(rig.ProductTitle() + QStringLiteral(" (Device: v1.0)")));

        DebugCapture::Clear();
        rig.Unplug();
        QVERIFY(!rig.window->updateButton().isEnabled());
        QCOMPARE(rig.Title(), rig.ProductTitle());
        QCOMPARE(DebugCapture::Lines().count(rig.ProductTitle()), 1);
        SaveScreenshot(*rig.window, QStringLiteral("unplugged"));

        rig.Plug();
        QVERIFY(rig.window->updateButton().isEnabled());
    }

    void anotherDeviceChangingLeavesTheAttachedControllerAlone()
    {
        WindowRig rig;
        rig.Open();
        const QString title = rig.Title();
        rig.window->DeliverDeviceAction(DeviceAction::Remove);
        rig.window->DeliverDeviceAction(DeviceAction::Change);
        rig.Settle();
        QCOMPARE(rig.Title(), title);
        QVERIFY(rig.window->updateButton().isEnabled());
    }

    void aControllerWithoutAccessRightsShowsTheHintInFull_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << static_cast<int>(kLanguageEnglishUs);
        QTest::newRow("Chinese") << static_cast<int>(kLanguageChinesePrc);
    }
    void aControllerWithoutAccessRightsShowsTheHintInFull()
    {
        QFETCH(int, language);
        WindowRig rig(false, {}, [language] { return static_cast<uint16_t>(language); });
        rig.backend.DenyAccess(true);
        rig.Open();
        rig.Plug();
        QVERIFY(!rig.window->updateButton().isEnabled());
        QLabel& text = rig.window->instructionText();
        QVERIFY(text.text().endsWith(QStringLiteral("\n\n") + QString::fromUtf8(kLinuxAccessHint)));
        QVERIFY2(text.heightForWidth(text.width()) <= text.height(), "the hint is cut off");
        SaveScreenshot(*rig.window, QStringLiteral("access-denied-") + QTest::currentDataTag());

        rig.backend.DenyAccess(false);
        rig.window->DeliverDeviceAction(DeviceAction::Change);
        QVERIFY(!text.text().contains(QString::fromUtf8(kLinuxAccessHint)));
    }

    void updatesWithAChosenFileAndWritesNothingTheSecondTime()
    {
        WindowRig rig;
        rig.Open();
        QList<int> positions;
        connect(&rig.window->progressBar(), &QProgressBar::valueChanged, this, [&](int value) {
            positions << value;
            if (value >= 50 && positions.count(value) == 1 && positions.size() > 1 && positions[positions.size() - 2] < 50)
                SaveScreenshot(*rig.window, QStringLiteral("updating"));
        });
        const QString path = rig.WriteFile("firmware.dat", SampleFile());
        QVERIFY(rig.Update(path));

        QCOMPARE(rig.prompts->fileDialogs, 1);
        QVERIFY(rig.prompts->fileDialogOnWindowThread);
        QCOMPARE(rig.prompts->MessageTexts(),
                 (QStringList{QStringLiteral("firmware V1.5"), QString::fromUtf8(kTextUpdatedSuccessful)}));
        QCOMPARE(rig.prompts->messages[0].buttons, MessageButtons::OkCancel);
        QCOMPARE(rig.prompts->messages[1].buttons, MessageButtons::Ok);
        for (const ScriptedPrompts::Message& message : rig.prompts->messages) {
            QCOMPARE(message.caption, rig.ProductTitle());
            QVERIFY2(message.onWindowThread, qPrintable(message.text));
        }
        // The bar climbs block by block to 100 and is emptied at the end.
        QVERIFY(positions.size() > 2);
        QVERIFY(std::is_sorted(positions.begin(), positions.end() - 1));
        QCOMPARE(positions[positions.size() - 2], 100);
        QCOMPARE(positions.back(), 0);
        QVERIFY(rig.window->successLabel().isVisible());
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::Succeeded);
        QVERIFY(rig.window->dialog().lastUpdateStats().blocksWritten > 0);
        SaveScreenshot(*rig.window, QStringLiteral("updated"));

        // The controller restarts after the update and is found again.
        rig.FinishRestart();
        QVERIFY(rig.window->updateButton().isEnabled());
        QVERIFY(rig.Title().startsWith(rig.ProductTitle() + QStringLiteral(" (Device: ")));

        QVERIFY(rig.Update(path));
        QVERIFY(!rig.window->successLabel().isHidden());
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::Succeeded);
        QCOMPARE(rig.window->dialog().lastUpdateStats().blocksWritten, 0u);
    }

    void theSuccessTextGoesWhenTheButtonIsPressedAgain()
    {
        WindowRig rig;
        rig.Open();
        QVERIFY(rig.Update(rig.WriteFile("firmware.dat", SampleFile())));
        rig.FinishRestart();
        QVERIFY(rig.window->successLabel().isVisible());
        rig.Update(QString());  // cancelled file dialog
        QVERIFY(rig.window->successLabel().isHidden());
    }

    void cancellingTheFileDialogStartsNothing()
    {
        WindowRig rig;
        rig.Open();
        rig.controller.ClearLog();
        rig.prompts->chosenFile.reset();
        rig.window->updateButton().click();
        rig.Settle();
        QCOMPARE(rig.prompts->fileDialogs, 1);
        QVERIFY(rig.prompts->messages.empty());
        QVERIFY(!rig.window->dialog().UpdateActive());
        QVERIFY(rig.controller.received().empty());
        QVERIFY(rig.window->updateButton().isEnabled());
    }

    void cancellingTheVersionQuestionWritesNothing()
    {
        WindowRig rig;
        rig.Open();
        rig.prompts->answers.push_back(MessageResult::Cancel);
        QVERIFY(rig.Update(rig.WriteFile("firmware.dat", SampleFile())));
        QCOMPARE(rig.prompts->MessageTexts(), QStringList{QStringLiteral("firmware V1.5")});
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::Cancelled);
        QCOMPARE(rig.controller.CountAccepted(0), 0u);
        QVERIFY(rig.window->updateButton().isEnabled());
        QVERIFY(rig.window->successLabel().isHidden());
    }

    void aFileShorterThanItsHeaderIsRefused()
    {
        WindowRig rig;
        rig.Open();
        std::vector<uint8_t> bytes = SampleFile();
        bytes.resize(27);
        rig.window->updateButton().click();  // nothing chosen yet: cancelled
        rig.prompts->chosenFile = rig.WriteFile("short.dat", bytes);
        rig.window->updateButton().click();
        rig.Settle();
        QCOMPARE(rig.prompts->MessageTexts(), QStringList{QString::fromUtf8(kTextFileMismatch)});
        QCOMPARE(rig.prompts->messages[0].caption, rig.ProductTitle());
        QCOMPARE(rig.prompts->messages[0].buttons, MessageButtons::Ok);
        QVERIFY(!rig.window->dialog().UpdateActive());
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::None);
    }

    void closingIsRefusedWhileAnUpdateRuns()
    {
        WindowRig rig;
        rig.Open();
        bool closedDuringUpdate = true;
        rig.prompts->onMessage = [&](const ScriptedPrompts::Message& message) {
            // The worker waits for this answer: the update is running.
            if (message.buttons == MessageButtons::OkCancel)
                closedDuringUpdate = rig.window->close();
        };
        QVERIFY(rig.Update(rig.WriteFile("firmware.dat", SampleFile())));
        QVERIFY(!closedDuringUpdate);
        QVERIFY(rig.prompts->MessageTexts().contains(QString::fromUtf8(kTextCloseRefused)));
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::Succeeded);
        QVERIFY(rig.window->isVisible());

        QSignalSpy finished(rig.window.get(), &QDialog::finished);
        QVERIFY(rig.window->close());
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void escapeAsksTheCloseRuleToo()
    {
        WindowRig rig;
        rig.Open();
        QTest::keyClick(rig.window.get(), Qt::Key_Escape);
        QVERIFY(!rig.window->isVisible());
    }

    void speaksChineseUnderAChineseLocaleAndEnglishOtherwise_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("instructions");
        QTest::addColumn<QString>("fileType");
        QTest::newRow("zh_CN") << QByteArray("zh_CN.UTF-8") << QString::fromUtf8(kInstructionsChinese)
                               << QStringLiteral("文件类型中显示的内容(*.dat)");
        QTest::newRow("zh_TW") << QByteArray("zh_TW.UTF-8") << QString::fromUtf8(kInstructionsEnglish)
                               << QStringLiteral("File type(*.dat)");
        QTest::newRow("en_US") << QByteArray("en_US.UTF-8") << QString::fromUtf8(kInstructionsEnglish)
                               << QStringLiteral("File type(*.dat)");
    }
    void speaksChineseUnderAChineseLocaleAndEnglishOtherwise()
    {
        QFETCH(QByteArray, lang);
        QFETCH(QString, instructions);
        QFETCH(QString, fileType);
        const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", lang);
        {
            WindowRig rig(true, {}, UiLanguageFromLocale);
            rig.Open();
            QCOMPARE(rig.window->instructionText().text(), instructions.replace("\r\n", "\n"));
            rig.window->updateButton().click();
            QCOMPARE(rig.prompts->lastFilter, fileType);
            QCOMPARE(rig.prompts->lastStartFolder, QDir::currentPath());
            SaveScreenshot(*rig.window, QStringLiteral("language-") + QString::fromLatin1(lang.left(5)));
        }
        const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 3; ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
    }

    void laysOutTheTemplateInDialogUnitsOfItsFont()
    {
        WindowRig rig;
        const QFont font = rig.window->font();
        QCOMPARE(font.pointSize(), 9);
        const QString family = QFontInfo(font).family();
        QVERIFY2(DialogFontFamilies().contains(family), qPrintable(family));

        const DialogBaseUnits base = BaseUnitsFor(font);
        QCOMPARE(rig.window->size(), ToPixels(kFrame, base).size());
        QCOMPARE(rig.window->progressBar().geometry(), ToPixels(kProgressBar, base));
        QCOMPARE(rig.window->instructionText().geometry(), ToPixels(kInstructionText, base));
        QCOMPARE(rig.window->successLabel().geometry(), ToPixels(kSuccessLabel, base));
        QCOMPARE(rig.window->updateButton().geometry(), ToPixels(kUpdateButton, base));
        QCOMPARE(rig.window->updateButton().text(), QStringLiteral("USB_Update"));
        QCOMPARE(rig.window->successLabel().text(), QStringLiteral("Updated successful!"));
        QVERIFY(rig.window->successLabel().alignment() & Qt::AlignHCenter);
        QCOMPARE(rig.window->minimumSize(), rig.window->maximumSize());
        QVERIFY(!rig.window->windowIcon().isNull());
        // The template's text until the initialisation.
        QCOMPARE(rig.window->instructionText().text(), QString::fromUtf8(kInstructionsChinese).replace("\r\n", "\n"));
    }

    void theProgressBarStopsAtItsEnds()
    {
        WindowRig rig;
        WindowOps& ops = rig.window->windowOps();
        ops.SetProgress(140);
        QCOMPARE(rig.window->progressBar().value(), 100);
        ops.SetProgress(-3);
        QCOMPARE(rig.window->progressBar().value(), 0);
    }

private:
    std::unique_ptr<DebugCapture> capture_;
};

}  // namespace vornak::qt::testing

QTEST_MAIN(vornak::qt::testing::UpdateWindowTest)
#include "update_window_test.moc"
