// Pieces the parameter windows are built from: number fields with their hint, framed groups
// of labelled fields, the button row, the Tab order, and showing the outcome of "Accept".
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "dialog_walk.h"

namespace ondrel {

inline QLineEdit* NumberEdit(const char* hint) {
    auto* edit = new QLineEdit;
    edit->setToolTip(hint);
    return edit;
}

// A framed group of fields, each after its label; more rows can go into its QFormLayout.
inline QGroupBox* FieldGroup(const char* title, std::initializer_list<std::pair<const char*, QWidget*>> rows) {
    auto* group = new QGroupBox(title);
    auto* layout = new QFormLayout(group);
    for (const auto& [label, field] : rows) layout->addRow(label, field);
    return group;
}

// "Cancel" and "Accept" at the bottom right; Return in a field presses "Accept" (Escape
// closes the window as "Cancel" does).
inline QHBoxLayout* ButtonRow(QPushButton* cancel, QPushButton* accept) {
    accept->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(accept);
    return row;
}

inline void ChainTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

// The last rejected field that can take it gets the focus; with nothing rejected the window
// closes.
template <class Edit, std::size_t Count>
void ShowAcceptResult(const DialogAcceptResult<Edit>& result, const std::array<QLineEdit*, Count>& edits,
                      QDialog& window) {
    if (result.focus) edits[static_cast<std::size_t>(*result.focus)]->setFocus();
    if (result.Accepted()) window.hide();
}

} // namespace ondrel
