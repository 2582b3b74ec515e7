#include "app/qt/demo/demo_panel.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>

#include "image/firmware_builder.h"
#include "image/firmware_layout.h"

namespace vornak::qt {
namespace {

constexpr int kSingleNumberForm = 1;

// A little past the controller's restart time.
int RestartSearchDelayMs(sim::SimBackend& backend)
{
    const std::lock_guard lock(backend.mutex());
    return static_cast<int>(backend.controller().config().restartMs) + 50;
}

// Sections 1 and 2 for the two-number form, section 3 for the single-number form.
std::vector<uint8_t> SampleFirmware()
{
    const SectionSource sections[3] = {
        {2, 0, 0x00000, gamepad_type, PatternData(96 * 1024, 1)},
        {7, 0, 0x40000, 0, PatternData(24 * 1024, 2)},
        {307, 0, 0x80000, 0, PatternData(120 * 1024, 3)},
    };
    return BuildFirmwareFile(sections);
}

}  // namespace

DemoPanel::DemoPanel(sim::SimBackend& backend, UpdateWindow& window)
    : backend_(backend),
      relay_(backend, window, RestartSearchDelayMs(backend)),
      plug_(QStringLiteral("Plug")),
      unplug_(QStringLiteral("Unplug")),
      saveSample_(QStringLiteral("Save sample firmware"))
{
    setWindowTitle(QStringLiteral("Simulated controller"));
    form_.setObjectName(QStringLiteral("form"));
    version_.setObjectName(QStringLiteral("version"));
    minor_.setObjectName(QStringLiteral("minor"));
    beta_.setObjectName(QStringLiteral("beta"));
    plug_.setObjectName(QStringLiteral("plug"));
    unplug_.setObjectName(QStringLiteral("unplug"));
    saveSample_.setObjectName(QStringLiteral("saveSample"));
    form_.addItems({QStringLiteral("two-number (V1.0)"), QStringLiteral("single-number (V1)")});
    version_.setRange(0, 255);
    minor_.setRange(0, 255);
    beta_.setRange(0, 15);
    beta_.setSpecialValueText(QStringLiteral("none"));
    // In hex, as the window title shows them.
    for (QSpinBox* number : {&version_, &minor_, &beta_})
        number->setDisplayIntegerBase(16);
    {
        const std::lock_guard lock(backend_.mutex());
        const sim::VersionReply& reply = backend_.controller().config().version;
        form_.setCurrentIndex(reply.singleNumber ? kSingleNumberForm : 0);
        version_.setValue(reply.version);
        minor_.setValue(reply.minor);
        beta_.setValue(reply.beta);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(&plug_);
    buttons->addWidget(&unplug_);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Version form"), &form_);
    layout->addRow(QStringLiteral("Version"), &version_);
    layout->addRow(QStringLiteral("Second number"), &minor_);
    layout->addRow(QStringLiteral("Beta (odd)"), &beta_);
    layout->addRow(buttons);
    layout->addRow(&saveSample_);
    layout->addRow(&status_);

    const auto formChanged = [this] { minor_.setEnabled(form_.currentIndex() != kSingleNumberForm); };
    connect(&form_, &QComboBox::currentIndexChanged, this, formChanged);
    formChanged();
    connect(&plug_, &QPushButton::clicked, this, [this] {
        ApplyVersionForm();
        backend_.Plug();
    });
    connect(&unplug_, &QPushButton::clicked, this, [this] { backend_.Unplug(); });
    connect(&saveSample_, &QPushButton::clicked, this, [this] { SaveSampleFirmware(); });

    relay_.SetAfterDelivery([this](bool) { ShowPresence(); });
    ShowPresence();
}

void DemoPanel::ApplyVersionForm()
{
    const std::lock_guard lock(backend_.mutex());
    sim::VersionReply& reply = backend_.controller().mutableConfig().version;
    reply.singleNumber = form_.currentIndex() == kSingleNumberForm;
    reply.version = static_cast<uint8_t>(version_.value());
    reply.minor = static_cast<uint8_t>(minor_.value());
    // A beta number is odd.
    reply.beta = static_cast<uint8_t>(beta_.value() == 0 ? 0 : beta_.value() | 1);
    beta_.setValue(reply.beta);
}

void DemoPanel::SaveSampleFirmware()
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("vornak-sample.dat"));
    const bool saved = WriteBytesToFile(path.toStdString(), SampleFirmware());
    status_.setText(saved ? QStringLiteral("Saved ") + path : QStringLiteral("Cannot write ") + path);
}

void DemoPanel::ShowPresence()
{
    bool attached = false;
    {
        const std::lock_guard lock(backend_.mutex());
        attached = backend_.controller().presence() == sim::Presence::Attached;
    }
    plug_.setEnabled(!attached);
    unplug_.setEnabled(attached);
}

}  // namespace vornak::qt
