#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "app/qt/demo/demo_panel.h"
#include "window_rig.h"

namespace vornak::qt::testing {

// The demo's panel plugs, unplugs and configures the simulated controller
// behind the real window.
class DemoPanelTest : public QObject {
    Q_OBJECT

private slots:
    void plugsAndUnplugsWithTheVersionOfTheForm()
    {
        WindowRig rig(true, {}, [] { return kLanguageEnglishUs; }, kLinuxAccessHint, false);
        DemoPanel panel(rig.backend, *rig.window);
        rig.Open();
        panel.show();
        auto* plug = panel.findChild<QPushButton*>(QStringLiteral("plug"));
        auto* unplug = panel.findChild<QPushButton*>(QStringLiteral("unplug"));
        QVERIFY(plug && unplug);
        QVERIFY(!plug->isEnabled());

        unplug->click();
        rig.Settle();
        QVERIFY(!rig.window->updateButton().isEnabled());
        QCOMPARE(rig.Title(), rig.ProductTitle());
        QVERIFY(plug->isEnabled());
        QVERIFY(!unplug->isEnabled());

        panel.findChild<QComboBox*>(QStringLiteral("form"))->setCurrentIndex(1);
        panel.findChild<QSpinBox*>(QStringLiteral("version"))->setValue(0x2c);
        panel.findChild<QSpinBox*>(QStringLiteral("beta"))->setValue(2);  // made odd
        QVERIFY(!panel.findChild<QSpinBox*>(QStringLiteral("minor"))->isEnabled());
        plug->click();
        rig.Settle();
        QCOMPARE(rig.Title(), QString::fromStdString(VersionTitle(rig.ProductTitle().toStdString(), true, 0x2c, 0, 3)));
        QVERIFY(rig.window->updateButton().isEnabled());
        QCOMPARE(panel.findChild<QSpinBox*>(QStringLiteral("beta"))->value(), 3);
        SaveScreenshot(panel, QStringLiteral("demo-panel"));
    }

    void itsSampleFirmwareUpdatesTheSimulatedController()
    {
        WindowRig rig(true, {}, [] { return kLanguageEnglishUs; }, kLinuxAccessHint, false);
        DemoPanel panel(rig.backend, *rig.window);
        rig.Open();
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(rig.temp.File(""))));
        panel.findChild<QPushButton*>(QStringLiteral("saveSample"))->click();
        const QString sample = QDir::current().absoluteFilePath(QStringLiteral("vornak-sample.dat"));
        QDir::setCurrent(saved);
        QVERIFY(QFile::exists(sample));
        QVERIFY(rig.Update(sample));
        QCOMPARE(rig.window->dialog().lastUpdateEnd(), UpdateEnd::Succeeded);
        QVERIFY(rig.prompts->MessageTexts().contains(QStringLiteral("firmware V2.7")));
    }
};

}  // namespace vornak::qt::testing

QTEST_MAIN(vornak::qt::testing::DemoPanelTest)
#include "demo_panel_test.moc"
