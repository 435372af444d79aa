// The converter program: the application object, the twelve windows, the event loop.
#include <QApplication>

#include "converter_windows.h"
#include "library_binding.h"
#include "optimizer.h"
#include "plot_file_loader.h"
#include "qt_dialogs.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Titles the boxes that report an error inside a handler.
    QApplication::setApplicationName("Ondrel to Quarnel");

    ondrel::QtNotifier notifier;
    ondrel::QtFileChooser chooser;
    ondrel::PlotFileLoader loader;
    const QStringList arguments = QApplication::arguments();
    std::optional<std::string> commandLineFile;
    if (arguments.size() > 1) commandLineFile = arguments.at(1).toStdString();

    ondrel::SharedBoard board(ondrel::BoundLibrary());
    ondrel::ConverterWindows windows(ondrel::ConverterServices{
        board, notifier, loader, chooser, &ondrel::OptimizeGood, &ondrel::OptimizeFast,
        QApplication::applicationDirPath().toStdString() + "/", commandLineFile});
    chooser.SetParent(windows.Form1.get());
    windows.Form1->show();
    return application.exec();
}
