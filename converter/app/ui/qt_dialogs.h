// Message boxes, the beep and the file dialogs of the converter on Qt.
#pragma once

#include <QWidget>

#include "file_chooser.h"
#include "notifier.h"

namespace ondrel {

class QtNotifier : public Notifier {
public:
    void Show(MessageKind kind, const std::string& text) override;
    void Beep() override;
};

class QtFileChooser : public FileChooser {
public:
    std::optional<std::string> Choose(FileDialogKind kind) override;
    // The window the dialogs belong to.
    void SetParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_ = nullptr;
};

} // namespace ondrel
