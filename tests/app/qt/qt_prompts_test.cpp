#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/qt/file_filter.h"
#include "app/qt/prompts.h"
#include "support/temp_dir.h"
#include "texts/texts.h"

namespace vornak::qt {

// The real message boxes and file dialog, answered by a timer that finds them.
class QtPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxesCarryTheCaptionNoIconAndTheAskedButtons_data()
    {
        QTest::addColumn<bool>("okCancel");
        QTest::addColumn<bool>("pressOk");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK") << false << true << static_cast<int>(MessageResult::Ok);
        QTest::newRow("OK/Cancel, OK") << true << true << static_cast<int>(MessageResult::Ok);
        QTest::newRow("OK/Cancel, Cancel") << true << false << static_cast<int>(MessageResult::Cancel);
    }
    void messageBoxesCarryTheCaptionNoIconAndTheAskedButtons()
    {
        QFETCH(bool, okCancel);
        QFETCH(bool, pressOk);
        QFETCH(int, expected);
        QWidget owner;
        owner.show();
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QList<QAbstractButton*> buttons;
        QTimer::singleShot(0, &owner, [&] {
            auto* box = owner.findChild<QMessageBox*>();
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons();
            box->button(pressOk ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        QtPrompts prompts;
        const MessageResult result =
            prompts.ShowMessage(&owner, QStringLiteral("firmware V1.5"), QStringLiteral("Vornak Update v2.16"),
                                okCancel ? MessageButtons::OkCancel : MessageButtons::Ok);
        QCOMPARE(static_cast<int>(result), expected);
        QCOMPARE(title, QStringLiteral("Vornak Update v2.16"));
        QCOMPARE(text, QStringLiteral("firmware V1.5"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons.size(), okCancel ? 2 : 1);
    }

    void theFileDialogOffersTheDatTypeInTheStartFolder()
    {
        ::vornak::testing::TempDir temp;
        const QString folder = QString::fromStdString(temp.File(""));
        const QString chosen = QString::fromStdString(temp.File("update.dat"));
        QFile(chosen).open(QIODevice::WriteOnly);
        QWidget owner;
        owner.show();
        QStringList filters;
        QString directory;
        QTimer::singleShot(0, &owner, [&] {
            auto* dialog = owner.findChild<QFileDialog*>();
            QVERIFY(dialog != nullptr);
            filters = dialog->nameFilters();
            directory = dialog->directory().absolutePath();
            dialog->selectFile(chosen);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtPrompts prompts;
        const std::optional<QString> path =
            prompts.ChooseFile(&owner, QtNameFilter(std::string("File type") + kTextFileFilterSuffix), folder);
        QCOMPARE(filters, QStringList{QStringLiteral("File type(*.dat)")});
        QCOMPARE(QDir(directory), QDir(folder));
        QVERIFY(path.has_value());
        QCOMPARE(*path, chosen);
    }

    void aCancelledFileDialogChoosesNothing()
    {
        QWidget owner;
        owner.show();
        QTimer::singleShot(0, &owner, [&] {
            auto* dialog = owner.findChild<QFileDialog*>();
            QVERIFY(dialog != nullptr);
            dialog->reject();
        });
        QtPrompts prompts;
        QVERIFY(!prompts.ChooseFile(&owner, QStringLiteral("File type(*.dat)"), QString()).has_value());
    }
};

}  // namespace vornak::qt

QTEST_MAIN(vornak::qt::QtPromptsTest)
#include "qt_prompts_test.moc"
