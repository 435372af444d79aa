#include "converter_windows.h"

namespace ondrel {

ConverterWindows::ConverterWindows(ConverterServices services) {
    Notifier& notifier = services.notifier;
    SharedBoard& library = services.library;
    Form1 = std::make_unique<TForm1>(std::move(services));
    Marking = std::make_unique<TMarking>(Form1->State(), notifier);
    Field = std::make_unique<TField>(Form1->State(), notifier, [form = Form1.get()] { form->RefreshView(); });
    Info = std::make_unique<TInfo>();
    AboutBox = std::make_unique<TAboutBox>();
    Status = std::make_unique<TStatus>(Form1->State(), library, notifier);
    Belichtung = std::make_unique<TBelichtung>(Form1->State(), [form = Form1.get()] { form->SetBusy(false); });
    Optimum = std::make_unique<TOptimum>(notifier);
    Grid = std::make_unique<TGrid>(Form1->State(), library, notifier);
    Laser = std::make_unique<TLaser>(Form1->State(), notifier);
    Fly = std::make_unique<TFly>(Form1->State(), notifier);
    IOCard = std::make_unique<TIOCard>(library, notifier);
    Form1->AttachWindows({Marking.get(), Field.get(), Info.get(), AboutBox.get(), Status.get(), Belichtung.get(),
                          Optimum.get(), Grid.get(), Laser.get(), Fly.get(), IOCard.get()});
    Grid->SetRunWindow(Form1->RunOutput(), Belichtung.get(), Form1.get());
}

ConverterWindows::~ConverterWindows() {
    // The main window's shutdown runs last, with the others already gone.
    Form1->AttachWindows({});
}

} // namespace ondrel
