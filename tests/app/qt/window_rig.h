#pragma once

#include <QDir>
#include <QTest>

#include <memory>
#include <mutex>

#include "app/qt/demo/sim_presence_relay.h"
#include "app/qt/update_window.h"
#include "image/firmware_builder.h"
#include "link/linux/access_hint.h"
#include "scripted_prompts.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/temp_dir.h"
#include "texts/texts.h"

namespace vornak::qt::testing {

// The real window on the simulated controller and a virtual clock, with its
// questions answered by a script.
struct WindowRig {
    explicit WindowRig(bool attached = true, sim::SimConfig config = {},
                       UiLanguageSource language = [] { return kLanguageEnglishUs; },
                       std::string accessHint = kLinuxAccessHint, bool relayPresence = true)
        : controller(config), backend(controller, clock)
    {
        if (!attached)
            backend.Unplug();
        auto script = std::make_unique<ScriptedPrompts>();
        prompts = script.get();
        window = std::make_unique<UpdateWindow>(
            WindowSetup{backend, clock, std::move(language), std::move(accessHint), std::move(script)});
        if (relayPresence)
            relay = std::make_unique<SimPresenceRelay>(backend, *window, std::nullopt);
    }
    ~WindowRig()
    {
        relay.reset();
        window.reset();
    }

    // Initialises and shows the window, and lets the posted title land.
    void Open()
    {
        window->Initialize();
        window->show();
        Settle();
    }

    // Runs what is queued, including what that queues in turn (an arrival's
    // posted title).
    static void Settle()
    {
        for (int round = 0; round < 4; ++round)
            QCoreApplication::processEvents();
    }

    void Plug()
    {
        backend.Plug();
        Settle();
    }
    void Unplug()
    {
        backend.Unplug();
        Settle();
    }

    // Presses the button with path chosen in the file dialog and keeps the
    // event loop running until the worker has ended.
    bool Update(const QString& path)
    {
        prompts->chosenFile = path;
        window->updateButton().click();
        const bool ended = QTest::qWaitFor([this] { return !window->dialog().UpdateActive(); }, 60000);
        Settle();
        return ended;
    }

    // The restart that ends an update: its time passes, and the next search
    // brings the controller back.
    void FinishRestart()
    {
        clock.SleepMs(controller.config().restartMs);
        backend.EnumerateInterfaces();
        Settle();
    }

    QString WriteFile(const char* name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = temp.File(name);
        WriteBytesToFile(path, bytes);
        return QString::fromStdString(path);
    }

    QString Title() const { return window->windowTitle(); }
    QString ProductTitle() const { return QString::fromStdString(LoadText(kTextProductTitle, kLanguageEnglishUs)); }

    sim::VirtualClock clock;
    sim::SimulatedController controller;
    sim::SimBackend backend;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<UpdateWindow> window;
    std::unique_ptr<SimPresenceRelay> relay;
    ::vornak::testing::TempDir temp;
};

// A two-number file: 16 KiB at 0, 4 KiB at 0x40000, 8 KiB at 0x80000 (single-number form).
inline std::vector<uint8_t> SampleFile()
{
    const SectionSource sections[3] = {
        {1, 0, 0x00000, 0x200F, PatternData(16 * 1024, 11)},
        {5, 0, 0x40000, 0, PatternData(4 * 1024, 22)},
        {300, 0, 0x80000, 0, PatternData(8 * 1024, 33)},
    };
    return BuildFirmwareFile(sections);
}

// Everything written to the debug output, from any thread.
class DebugCapture {
public:
    DebugCapture() { previous_ = qInstallMessageHandler(&DebugCapture::Handle); }
    ~DebugCapture() { qInstallMessageHandler(previous_); }
    static QStringList Lines()
    {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    static void Clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type != QtDebugMsg)
            return;
        std::lock_guard lock(mutex_);
        lines_ << text;
    }
    static inline std::mutex mutex_;
    static inline QStringList lines_;
    QtMessageHandler previous_ = nullptr;
};

// Screenshots of the main states, for people to look at; not compared.
inline void SaveScreenshot(QWidget& widget, const QString& name)
{
    const QDir folder(QStringLiteral(VORNAK_ARTIFACT_DIR));
    folder.mkpath(QStringLiteral("."));
    QVERIFY(widget.grab().save(folder.filePath(name + QStringLiteral(".png"))));
}

}  // namespace vornak::qt::testing
