// The canvas tells its view to repaint whenever the screen image changes, and only then.

#include <gtest/gtest.h>

#include <QApplication>
#include <functional>

#include "app/canvaswidget.h"
#include "draw/canvas.h"
#include "draw/sprites.h"

namespace {

struct Operation {
    const char* name;
    std::function<void(Canvas&)> run;
};

QImage plainBackground() {
    QImage image(Canvas::kWidth, Canvas::kHeight, QImage::Format_RGB32);
    image.fill(qRgb(90, 140, 200));
    return image;
}

struct Watched {
    Watched() {
        canvas.setBackground(plainBackground());
        canvas.changed = [this] {
            ++notifications;
            shownAtLastNotice = canvas.screenImage();
        };
    }
    Canvas canvas;
    int notifications = 0;
    QImage shownAtLastNotice;
};

TEST(Repaint, EveryChangeOfTheScreenImageIsAnnouncedAfterItIsMade) {
    const Operation drawing[] = {
        {"line", [](Canvas& c) { c.line(10, 10, 200, 120, 12); }},
        {"box outline", [](Canvas& c) { c.boxOutline(20, 20, 100, 80, 7); }},
        {"filled box", [](Canvas& c) { c.filledBox(20, 20, 100, 80, 15); }},
        {"ellipse", [](Canvas& c) { c.ellipse(300, 200, 40, 15, 0.6f); }},
        {"text", [](Canvas& c) { c.text(QStringLiteral("雲ができます"), 100, 100, 0, 24); }},
        {"sprite (masked copy)", [](Canvas& c) { DrawSprite(c, "Taiyou", 100, 40); }},
    };
    for (const Operation& op : drawing)
        for (const bool persistent : {true, false}) {
            SCOPED_TRACE(std::string(op.name) + (persistent ? " on the persistent layer" : " on the overlay"));
            Watched w;
            persistent ? w.canvas.selectPersistent() : w.canvas.selectOverlay();
            const QImage before = w.canvas.screenImage();
            w.notifications = 0;
            op.run(w.canvas);
            ASSERT_TRUE(w.canvas.screenImage() != before) << "the operation drew nothing";
            EXPECT_GE(w.notifications, 1);
            EXPECT_TRUE(w.shownAtLastNotice == w.canvas.screenImage()) << "announced before the change was made";
        }

    // A refresh also announces itself when the overlay holds nothing: one needless repaint of an
    // unchanged picture costs less than keeping track of whether the overlay was drawn on.
    const Operation wiping[] = {
        {"refresh", [](Canvas& c) { c.refresh(); }},
        {"new background",
         [](Canvas& c) {
             QImage night(Canvas::kWidth, Canvas::kHeight, QImage::Format_RGB32);
             night.fill(Qt::black);
             c.setBackground(night);
         }},
    };
    for (const Operation& op : wiping) {
        SCOPED_TRACE(op.name);
        Watched w;
        w.canvas.selectOverlay();
        w.canvas.filledBox(0, 0, 300, 300, 12);
        const QImage before = w.canvas.screenImage();
        w.notifications = 0;
        op.run(w.canvas);
        ASSERT_TRUE(w.canvas.screenImage() != before);
        EXPECT_GE(w.notifications, 1);
        EXPECT_TRUE(w.shownAtLastNotice == w.canvas.screenImage()) << "announced before the change was made";
    }
}

TEST(Repaint, WhatLeavesTheScreenImageAloneIsNotAnnounced) {
    const Operation quiet[] = {
        {"select persistent", [](Canvas& c) { c.selectPersistent(); }},
        {"select overlay", [](Canvas& c) { c.selectOverlay(); }},
        {"bold", [](Canvas& c) { c.setBold(true); }},
        {"fill style and colour",
         [](Canvas& c) {
             c.setFillSolid(true);
             c.setFillColour(12);
         }},
        {"reading the images", [](Canvas& c) { (void)(c.screenImage() == c.persistentImage()); }},
        {"empty text", [](Canvas& c) { c.text(QString(), 100, 100, 0, 24); }},
        {"sprite wholly off the canvas", [](Canvas& c) { DrawSprite(c, "Taiyou", 700, 500); }},
        {"unknown sprite", [](Canvas& c) { DrawSprite(c, "NoSuchSprite", 100, 40); }},
    };
    for (const Operation& op : quiet) {
        SCOPED_TRACE(op.name);
        Watched w;
        const QImage before = w.canvas.screenImage();
        w.notifications = 0;
        op.run(w.canvas);
        EXPECT_EQ(w.notifications, 0);
        EXPECT_TRUE(w.canvas.screenImage() == before);
    }
}

// The window's view turns the announcement into a paint of the canvas.
TEST(Repaint, TheViewPaintsWhenTheCanvasChanges) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    Canvas canvas;
    CanvasWidget view(canvas, nullptr);
    view.show();
    QApplication::processEvents();
    view.installEventFilter(&counter);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    canvas.refresh();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1) << "the view did not repaint after a refresh";
}

}  // namespace
