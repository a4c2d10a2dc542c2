// The window as a pupil sees it: its icon, the panel's exact light yellow with buttons like the
// menu's, the focus frames that appear only once the keyboard is used, and the Japanese quit question.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>

#include "app/canvaswidget.h"
#include "harness.h"
#include "input.h"

namespace {

QImage grabbed(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

double luminance(QRgb c) {
    const auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double contrast(QRgb a, QRgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void pressKey(QWidget* w, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &down);
}

TEST(WindowIcon, IsTheProgramsOwnPicture) {
    Harness h;
    const QIcon icon = h.form->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage expected = QImage(QStringLiteral(":/icon.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_RGB32), expected);
}

TEST(PanelLook, BothFramesAreExactlyLightYellowAndTheirButtonsLookLikeTheMenus) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd_Click();
    const QImage panel = grabbed(h.form->TFrame);
    const QRgb yellow = qRgb(255, 255, 192);
    // Places inside each frame that no control or caption covers.
    for (QPoint p : {QPoint(100, 20), QPoint(20, 130), QPoint(140, 70), QPoint(40, 300), QPoint(90, 265)})
        EXPECT_EQ(panel.pixel(p), yellow) << p.x() << "," << p.y();
    const QPoint season = h.form->TKisetuFrm->pos();
    for (QPoint p : {QPoint(56, 60), QPoint(110, 60), QPoint(150, 60)})
        EXPECT_EQ(panel.pixel(season + p), yellow) << "season frame " << p.x() << "," << p.y();

    // A button of the same size, caption and font straight on the window is what the menu looks like.
    QPushButton reference(h.form->TModoru->text(), h.form.get());
    reference.setGeometry(QRect(QPoint(0, 0), h.form->TModoru->size()));
    reference.setFont(h.form->TModoru->font());
    reference.setAutoDefault(false);
    const QImage expected = grabbed(&reference);
    const QImage onPanel = panel.copy(h.form->TModoru->geometry());
    int differing = 0;
    for (int y = 2; y < expected.height() - 2; ++y)  // the rounded corners show what lies behind
        for (int x = 2; x < expected.width() - 2; ++x) differing += expected.pixel(x, y) != onPanel.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

// Mouse only: no frame anywhere, ever. After a key: a frame in the border around the picture with
// at least 3:1 against the picture next to it, every few pixels, over sky and ground alike.
TEST(FocusFrames, OnlyAfterAKeyAndVisibleOverSkyAndGround) {
    Harness h;
    h.startAndReachMenu();
    QWidget* canvas = h.form->Picture1;
    input::activate(h.form.get());
    canvas->setFocus();
    ASSERT_TRUE(canvas->hasFocus());
    const QImage mouseOnly = grabbed(canvas);
    EXPECT_EQ(mouseOnly.pixel(0, 200), qRgb(128, 128, 128)) << "the plain sunken border";
    EXPECT_EQ(mouseOnly.pixel(1, 200), qRgb(64, 64, 64));

    pressKey(canvas, Qt::Key_Shift);
    const QImage framed = grabbed(canvas);
    EXPECT_EQ(framed.copy(2, 2, 640, 400), h.screen()) << "the picture itself is untouched";
    const int right = h.form->width() - 1;  // the window cuts the border's outer right column off
    EXPECT_NE(framed.copy(right, 0, 1, 404), mouseOnly.copy(right, 0, 1, 404)) << "no frame on the right";
    for (int y = 2; y < 400; y += 4) {
        bool left = false, r = false;
        for (int k = 0; k < 8; ++k) {
            const int yy = std::min(y + k, 401);
            left |= contrast(framed.pixel(1, yy), framed.pixel(2, yy)) >= 3;
            r |= contrast(framed.pixel(right, yy), framed.pixel(right - 1, yy)) >= 3;
        }
        EXPECT_TRUE(left) << "left side near y " << y;
        EXPECT_TRUE(r) << "right side near y " << y;
    }

    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &click);
    EXPECT_EQ(grabbed(canvas).copy(0, 0, 2, 404), mouseOnly.copy(0, 0, 2, 404)) << "a click hides it again";
}

TEST(FocusFrames, AFocusedButtonShowsAStrongFrame) {
    Harness h;
    h.startAndReachMenu();
    QPushButton* button = h.form->DekikataCmd;
    input::activate(h.form.get());
    const QImage plain = grabbed(button);
    pressKey(button, Qt::Key_Tab);
    button->setFocus();
    const QImage framed = grabbed(button);
    const QRgb face = plain.pixel(button->width() / 2, 4);
    int strong = 0;
    for (int x = 0; x < button->width(); ++x) strong += contrast(framed.pixel(x, 1), face) >= 3;
    EXPECT_GT(strong, button->width() / 3);
}

// The question is opened and the call returns at once; the answer comes with the button.
TEST(QuitQuestion, AnswersWhenAButtonIsPressedNotBefore) {
    for (const auto& [button, code] : {std::pair{QMessageBox::Yes, kAnswerYes}, std::pair{QMessageBox::No, kAnswerNo}}) {
        QWidget parent;
        std::vector<int> answers;
        askQuitWithMessageBox(&parent, [&](int answer) { answers.push_back(answer); });
        QPointer<QMessageBox> box = parent.findChild<QMessageBox*>();
        ASSERT_TRUE(box && box->isVisible());
        EXPECT_TRUE(answers.empty());
        box->button(button)->click();
        EXPECT_EQ(answers, std::vector<int>{code});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull()) << "an answered question is gone";
    }
}

TEST(QuitQuestion, AsksInJapaneseWithYAndNAndTheDesignedAnswers) {
    const auto box = MakeQuitQuestion(nullptr);
    QAbstractButton* yes = box->button(QMessageBox::Yes);
    QAbstractButton* no = box->button(QMessageBox::No);
    ASSERT_TRUE(yes && no);
    EXPECT_EQ(yes->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(no->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(yes->shortcut()[0].key(), Qt::Key_Y);  // the box presses a button on its bare letter too
    EXPECT_EQ(no->shortcut()[0].key(), Qt::Key_N);
    EXPECT_EQ(box->defaultButton(), yes);
    EXPECT_EQ(box->escapeButton(), no);
    EXPECT_EQ(box->text(), QStringLiteral("本当に終了してよいですか？"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("ペルモラ"));
    EXPECT_EQ(box->buttons().size(), 2);
}

}  // namespace
