#include "qt_dialogs.h"

#include "box_owner.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace ondrel {

void QtNotifier::Show(MessageKind kind, const std::string& text) {
    // A lone carriage return separates the lines of a box's text.
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    QMessageBox::Icon icon = QMessageBox::Critical;
    if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
    if (kind == MessageKind::Information) icon = QMessageBox::Information;
    // On top of the window whose handler raises it, not of whatever window happens to be
    // active: after one box closes no window may be active yet.
    QWidget* owner = BoxOwner();
    QMessageBox box(icon, QString::fromUtf8(MessageCaption(kind)), shown, QMessageBox::Ok,
                    owner ? owner : QApplication::activeWindow());
    // Above the windows that stay on top too (System Status, I/O, the parameter windows): a
    // box hidden behind them would leave the program waiting for a click nobody can make.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void QtNotifier::Beep() { QApplication::beep(); }

std::optional<std::string> QtFileChooser::Choose(FileDialogKind kind) {
    // File names are case-sensitive here: each filter lists both cases.
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    switch (kind) {
    case FileDialogKind::OpenDrawing:
        dialog.setNameFilters({"HPGL-Files (*.PLT *.plt)", "VELMORA Format (*.VL *.vl)"});
        break;
    case FileDialogKind::OpenSettings:
        dialog.setNameFilter("Ini-Files (*.ini *.INI)");
        break;
    case FileDialogKind::SaveSettings:
        dialog.setNameFilter("Ini-Files (*.ini *.INI)");
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("INI");
        break;
    case FileDialogKind::OpenCorrection:
        dialog.setNameFilter("ORU3-Correction-File (*.ctb *.CTB)");
        dialog.setDefaultSuffix("ctb");
        break;
    case FileDialogKind::SaveHPGL:
        // The filter's text as the operator knows it, with the patterns that match.
        dialog.setNameFilters({"HPGL-File (*:PLT) (*.PLT *.plt)", "VELMORA Format (*.VL *.vl)"});
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("PLT");
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

} // namespace ondrel
