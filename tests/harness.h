#pragma once
// The whole program on a virtual clock, with a scripted answer to the quit question.

#include <QImage>
#include <memory>

#include "app/riloform.h"
#include "stage/steptimer.h"

struct Harness {
    explicit Harness(int quitAnswer = kAnswerNo) : answer(quitAnswer) {
        auto virtualTimer = std::make_unique<VirtualTimer>();
        clock = virtualTimer.get();
        form = std::make_unique<RiloForm>(std::move(virtualTimer), [this](QWidget*, const QuitAnswer& answered) {
            ++questionsAsked;
            answered(answer);
        });
    }

    // Start-up as the program does it, then the title until the menu is up (5.5 s).
    void startAndReachMenu() {
        form->Form_Load();
        clock->advance(5500);
    }

    // Runs the timer until it stops by itself (or a bound in virtual ms is reached).
    void runUntilStopped(double boundMs = 600000) {
        const double end = clock->nowMs() + boundMs;
        while (form->Timer1().isEnabled() && clock->nowMs() < end) clock->fireNext();
    }

    Module1& state() { return form->state; }
    const QImage& screen() { return form->canvas.screenImage(); }
    QImage persistent() { return form->canvas.persistentImage(); }
    bool menuVisible() const { return form->DekikataCmd->isVisible(); }

    int answer;
    int questionsAsked = 0;
    VirtualTimer* clock = nullptr;
    std::unique_ptr<RiloForm> form;
};
