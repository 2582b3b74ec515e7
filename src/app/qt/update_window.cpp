#include "app/qt/update_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>

#include "app/qt/dialog_font.h"
#include "app/qt/dialog_template.h"
#include "texts/texts.h"

namespace vornak::qt {
namespace {

std::unique_ptr<Prompts> OrRealPrompts(std::unique_ptr<Prompts> prompts)
{
    return prompts ? std::move(prompts) : std::make_unique<QtPrompts>();
}

}  // namespace

UpdateWindow::UpdateWindow(WindowSetup setup)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      progressBar_(this),
      instructionText_(this),
      successLabel_(QString::fromUtf8(kTextUpdatedSuccessful), this),
      updateButton_(QString::fromUtf8(kTextUpdateButton), this),
      prompts_(OrRealPrompts(std::move(setup.prompts))),
      ops_(*this, *prompts_),
      dialog_(std::make_unique<CUpdateDlg>(DialogEnvironment{ops_, setup.backend, setup.clock,
                                                             std::move(setup.uiLanguage),
                                                             std::move(setup.accessHint)}))
{
    setWindowIcon(QIcon(QStringLiteral(":/vornak/vornak.png")));
    setFont(DialogFont());
    progressBar_.setRange(0, 100);
    progressBar_.setValue(0);
    progressBar_.setTextVisible(false);
    // The template's text is the Chinese one; the initialisation replaces it
    // for every other language.
    SetInstructions(QString::fromUtf8(kInstructionsChinese));
    instructionText_.setTextFormat(Qt::PlainText);
    instructionText_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    instructionText_.setWordWrap(true);
    successLabel_.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    successLabel_.hide();
    connect(&updateButton_, &QPushButton::clicked, this, [this] { dialog_->OnUpdateButtonClicked(); });
    LayOut();
}

UpdateWindow::~UpdateWindow()
{
    // The close rule keeps an update from being left behind; should the
    // program end some other way, the worker's window calls still need this
    // thread until the worker is done.
    while (dialog_->UpdateActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    dialog_.reset();
}

void UpdateWindow::LayOut()
{
    const DialogBaseUnits base = BaseUnitsFor(font());
    setFixedSize(ToPixels(kFrame, base).size());
    progressBar_.setGeometry(ToPixels(kProgressBar, base));
    instructionText_.setGeometry(ToPixels(kInstructionText, base));
    successLabel_.setGeometry(ToPixels(kSuccessLabel, base));
    updateButton_.setGeometry(ToPixels(kUpdateButton, base));
}

void UpdateWindow::Initialize() { dialog_->OnInitDialog(this); }

void UpdateWindow::DeliverDeviceAction(DeviceAction action)
{
    for (const uint32_t event : DeviceChangeEvents(action))
        dialog_->OnDeviceChange(event);
}

void UpdateWindow::SetInstructions(const QString& text)
{
    instructionText_.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void UpdateWindow::reject() { close(); }

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    if (!dialog_->OnCloseRequested()) {
        event->ignore();
        return;
    }
    event->accept();
    // Ends the dialog as the platform's close does: hidden, finished reported.
    done(QDialog::Rejected);
}

}  // namespace vornak::qt
