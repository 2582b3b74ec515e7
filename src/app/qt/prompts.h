#pragma once

#include <QString>

#include <optional>

#include "app/window_ops.h"

class QWidget;

namespace vornak::qt {

// The modal questions the window asks: message boxes and the file-open
// dialog. Called on the window thread only; tests answer them from a script.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MessageResult ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                                      MessageButtons buttons) = 0;
    // filter in Qt's form; nothing when the user cancels.
    virtual std::optional<QString> ChooseFile(QWidget* owner, const QString& filter, const QString& startFolder) = 0;
};

// QMessageBox without an icon and QFileDialog.
class QtPrompts final : public Prompts {
public:
    MessageResult ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                              MessageButtons buttons) override;
    std::optional<QString> ChooseFile(QWidget* owner, const QString& filter, const QString& startFolder) override;
};

}  // namespace vornak::qt
