#pragma once

#include <QCoreApplication>
#include <QThread>

#include <deque>
#include <functional>
#include <vector>

#include "app/qt/prompts.h"

namespace vornak::qt::testing {

// Answers the window's questions from a script and records them: message
// boxes say OK unless an answer is queued; the file dialog returns chosenFile.
class ScriptedPrompts final : public Prompts {
public:
    struct Message {
        QString text;
        QString caption;
        MessageButtons buttons;
        bool onWindowThread;
    };

    MessageResult ShowMessage(QWidget*, const QString& text, const QString& caption, MessageButtons buttons) override
    {
        messages.push_back({text, caption, buttons, OnWindowThread()});
        if (onMessage)
            onMessage(messages.back());
        if (buttons == MessageButtons::Ok || answers.empty())
            return MessageResult::Ok;
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> ChooseFile(QWidget*, const QString& filter, const QString& startFolder) override
    {
        ++fileDialogs;
        lastFilter = filter;
        lastStartFolder = startFolder;
        fileDialogOnWindowThread = OnWindowThread();
        return chosenFile;
    }

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const Message& message : messages)
            texts << message.text;
        return texts;
    }

    std::vector<Message> messages;
    std::deque<MessageResult> answers;  // for OK/Cancel boxes
    std::function<void(const Message&)> onMessage;
    std::optional<QString> chosenFile;
    int fileDialogs = 0;
    QString lastFilter;
    QString lastStartFolder;
    bool fileDialogOnWindowThread = false;

private:
    static bool OnWindowThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }
};

}  // namespace vornak::qt::testing
