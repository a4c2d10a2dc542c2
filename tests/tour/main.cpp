// A scripted tour of the whole program on a virtual clock: every activity once, the simulator's
// presets and arrows up to the top and back, quit No, then quit Yes. Used under valgrind
// (make memcheck) and for the peak-memory figure; prints its peak resident memory at the end.

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <memory>

#include "app/riloform.h"
#include "peakmemory.h"
#include "stage/steptimer.h"

namespace {

struct Tour {
    Tour() {
        auto virtualTimer = std::make_unique<VirtualTimer>();
        clock = virtualTimer.get();
        form = std::make_unique<RiloForm>(std::move(virtualTimer),
                                          [this](QWidget*, const QuitAnswer& answered) { answered(answer); });
    }

    void runUntilStopped() {
        for (int guard = 0; form->Timer1().isEnabled() && guard < 100000; ++guard) {
            clock->fireNext();
            QApplication::processEvents();  // let the window paint as it would
        }
    }

    void lesson(void (RiloForm::*start)()) {
        (form.get()->*start)();
        runUntilStopped();
        form->Picture1_Click();
        runUntilStopped();
    }

    void simulator() {
        form->TukuruCmd->click();
        runUntilStopped();
        for (QPushButton* preset : {form->THaruCmd, form->TTuyuCmd, form->TNatuCmd, form->TAkiCmd, form->THuyuCmd})
            preset->click();
        for (int i = 0; i < 30; ++i) form->TKionUpCmd->click();
        for (int i = 0; i < 30; ++i) form->TKionDnCmd->click();
        form->TAkiCmd->click();
        for (int i = 0; i < 22; ++i) form->TTakasaUpCmd->click();
        for (int i = 0; i < 22; ++i) form->TTakasaDnCmd->click();
        for (int i = 0; i < 55; ++i) form->TSitudoUpCmd->click();
        for (int i = 0; i < 55; ++i) form->TSitudoDnCmd->click();
        form->TModoru->click();
        runUntilStopped();
    }

    int answer = 7;
    VirtualTimer* clock = nullptr;
    std::unique_ptr<RiloForm> form;
};


}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Tour tour;
    tour.form->Form_Load();
    tour.runUntilStopped();
    tour.lesson(&RiloForm::DekikataCmd_Click);
    tour.lesson(&RiloForm::YamaCmd_Click);
    tour.lesson(&RiloForm::ZensenCmd_Click);
    tour.simulator();
    tour.form->SyuuryouCmd->click();  // No
    const bool stillOpen = tour.form->isVisible();
    tour.answer = 6;
    tour.form->SyuuryouCmd->click();  // Yes
    QApplication::processEvents();
    const bool closed = !tour.form->isVisible();
    std::printf("tour: %s; peak resident memory %ld kB\n", stillOpen && closed ? "complete" : "FAILED",
                peakResidentKb());
    return stillOpen && closed ? 0 : 1;
}
