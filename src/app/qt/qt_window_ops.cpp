#include "app/qt/qt_window_ops.h"

#include <QDebug>

#include <algorithm>

#include "app/qt/file_filter.h"
#include "app/qt/update_window.h"

namespace vornak::qt {

template <typename Call>
auto QtWindowOps::OnWindowThread(Call call) -> decltype(call())
{
    using Result = decltype(call());
    if (QThread::currentThread() == window_.thread())
        return call();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(&window_, call, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(&window_, call, Qt::BlockingQueuedConnection, &result);
        return result;
    }
}

void QtWindowOps::SetProgress(int position)
{
    // Like a native progress bar, positions outside the range stop at its ends.
    OnWindowThread([this, position] { window_.progressBar().setValue(std::clamp(position, 0, 100)); });
}

void QtWindowOps::EnableUpdateButton(bool enable)
{
    OnWindowThread([this, enable] { window_.updateButton().setEnabled(enable); });
}

void QtWindowOps::ShowSuccessLabel(bool show)
{
    OnWindowThread([this, show] { window_.successLabel().setVisible(show); });
}

void QtWindowOps::SetTitle(const std::string& title)
{
    OnWindowThread([this, text = QString::fromStdString(title)] { window_.setWindowTitle(text); });
}

MessageResult QtWindowOps::ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons)
{
    return OnWindowThread([this, text = QString::fromStdString(text), caption = QString::fromStdString(caption),
                           buttons] { return prompts_.ShowMessage(&window_, text, caption, buttons); });
}

void QtWindowOps::DebugOutput(const std::string& line)
{
    QString text = QString::fromStdString(line);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    qDebug().noquote() << text;
}

void QtWindowOps::SetInstructionText(const std::string& text)
{
    OnWindowThread([this, text = QString::fromStdString(text)] { window_.SetInstructions(text); });
}

std::optional<std::string> QtWindowOps::ChooseFirmwareFile(const std::string& filter, const std::string& startFolder)
{
    return OnWindowThread([this, filter = QtNameFilter(filter), folder = QString::fromStdString(startFolder)] {
        const std::optional<QString> path = prompts_.ChooseFile(&window_, filter, folder);
        return path ? std::optional<std::string>(path->toStdString()) : std::nullopt;
    });
}

void QtWindowOps::PostToWindowThread(std::function<void()> task)
{
    QMetaObject::invokeMethod(&window_, std::move(task), Qt::QueuedConnection);
}

}  // namespace vornak::qt
