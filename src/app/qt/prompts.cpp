#include "app/qt/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vornak::qt {

MessageResult QtPrompts::ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                                     MessageButtons buttons)
{
    const QMessageBox::StandardButtons choice =
        buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::NoIcon, caption, text, choice, owner);
    // Blocks only its owner, so other windows of the program (the demo's
    // controls) stay usable.
    box.setWindowModality(Qt::WindowModal);
    return box.exec() == QMessageBox::Ok ? MessageResult::Ok : MessageResult::Cancel;
}

std::optional<QString> QtPrompts::ChooseFile(QWidget* owner, const QString& filter, const QString& startFolder)
{
    const QString path = QFileDialog::getOpenFileName(owner, QString(), startFolder, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

}  // namespace vornak::qt
