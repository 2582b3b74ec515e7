#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <memory>
#include <string>

#include "app/qt/prompts.h"
#include "app/qt/qt_window_ops.h"
#include "app/update_dlg.h"
#include "link/linux/device_events.h"

namespace vornak::qt {

struct WindowSetup {
    HidBackend& backend;
    Clock& clock;
    UiLanguageSource uiLanguage;
    std::string accessHint;
    std::unique_ptr<Prompts> prompts;  // null: the real message boxes and file dialog
};

// The main window: dialog template 102's four controls, driven by CUpdateDlg.
class UpdateWindow final : public QDialog {
public:
    explicit UpdateWindow(WindowSetup setup);
    ~UpdateWindow() override;

    // The dialog's initialisation; once, before the window is shown.
    void Initialize();
    // A hot-plug action, as the device-change events it stands for.
    void DeliverDeviceAction(DeviceAction action);

    CUpdateDlg& dialog() { return *dialog_; }
    WindowOps& windowOps() { return ops_; }
    QProgressBar& progressBar() { return progressBar_; }
    QLabel& instructionText() { return instructionText_; }
    QLabel& successLabel() { return successLabel_; }
    QPushButton& updateButton() { return updateButton_; }
    // Lines separated by CR LF, as the texts keep them.
    void SetInstructions(const QString& text);

    // Esc, like the close box, goes through the close rule.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOut();

    QProgressBar progressBar_;
    QLabel instructionText_;
    QLabel successLabel_;
    QPushButton updateButton_;
    std::unique_ptr<Prompts> prompts_;
    QtWindowOps ops_;
    std::unique_ptr<CUpdateDlg> dialog_;  // last: destroyed first, while the controls exist
};

}  // namespace vornak::qt
