// The canvas at chosen moments of every activity, pixel for pixel against reference images that a
// person has looked at. A difference is a fault in the drawing, unless the picture was changed on
// purpose: then look at the new frames and rewrite the references with `make golden`.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImageWriter>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <functional>

#include "harness.h"

#include "app/chartwindow.h"
#include "app/rubycontrols.h"
#include "draw/fonts.h"

namespace {

// The references were rasterised with this face, by FreeType through fontconfig.
const QStringList kReferenceFace = {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")};

struct Moment {
    const char* name;
    std::function<void(Harness&)> play;
    bool drawsText = true;  // pictures alone are drawn alike everywhere; text depends on the rasteriser
    QImage (*frame)(Harness&) = nullptr;  // what is compared; the canvas's screen image if none
    double scale = 1;  // the canvas's device scale for the frame
    RubyChoice ruby{};  // ふりがな from the start
};

void PrintTo(const Moment& moment, std::ostream* os) { *os << moment.name; }

std::function<void(Harness&)> lessonAtStep(QPushButton* RiloForm::*button, int step) {
    return [=](Harness& h) {
        h.startAndReachMenu();
        (h.form.get()->*button)->click();
        while (h.state().StepCount < step && h.clock->fireNext()) {
        }
    };
}

void simulatorReady(Harness& h) {
    h.startAndReachMenu();
    h.form->TukuruCmd->click();
    h.runUntilStopped();
}

// The saturated-vapour chart as its window shows it at 1x, opened once the simulator is ready and
// then after a season preset, if any, and the parcel lifted by `ups` steps.
QImage chartFrame(Harness& h) { return h.form->chart().window()->chart(); }
std::function<void(Harness&)> chartAfter(QPushButton* RiloForm::*preset, int ups) {
    return [=](Harness& h) {
        simulatorReady(h);
        h.form->chart().action->trigger();
        if (preset) (h.form.get()->*preset)->click();
        for (int i = 0; i < ups; ++i) h.form->TTakasaUpCmd->click();
    };
}

const Moment kMoments[] = {
    {"TownTitleFinished", [](Harness& h) { h.startAndReachMenu(); }},
    {"MountainScene",
     [](Harness& h) {
         h.startAndReachMenu();
         h.form->YamaCmd->click();  // the backdrop alone, before the first step
     },
     false},
    {"DekikataRisingAir", lessonAtStep(&RiloForm::DekikataCmd, 20)},
    {"DekikataRain", lessonAtStep(&RiloForm::DekikataCmd, 41)},
    {"DekikataEnd", lessonAtStep(&RiloForm::DekikataCmd, 54)},
    {"YamaSummitCloud", lessonAtStep(&RiloForm::YamaCmd, 15)},
    {"YamaLeeSide", lessonAtStep(&RiloForm::YamaCmd, 23)},
    {"YamaEnd", lessonAtStep(&RiloForm::YamaCmd, 24)},
    {"ZensenWarmFront", lessonAtStep(&RiloForm::ZensenCmd, 16)},
    {"ZensenColdFront", lessonAtStep(&RiloForm::ZensenCmd, 49)},
    {"ZensenEnd", lessonAtStep(&RiloForm::ZensenCmd, 60)},
    {"SimulatorReady", simulatorReady, false},
    {"SimulatorCloudAt900m",
     [](Harness& h) {
         simulatorReady(h);
         for (int i = 0; i < 9; ++i) h.form->TTakasaUpCmd->click();
     },
     false},
    {"SimulatorSpring",
     [](Harness& h) {
         simulatorReady(h);
         h.form->THaruCmd->click();
     }},
    {"ChartCloudAt900m", chartAfter(nullptr, 9), true, chartFrame},
    {"ChartWinterAt1000m", chartAfter(&RiloForm::THuyuCmd, 10), true, chartFrame},
    // Drawn at the resolution shown: at 2x sprites and backdrop in exact 2 x 2 blocks, text at 2x;
    // at an XGA screen's full-screen scale pictures averaged, text as sharp.
    {"DekikataRainAt2x", lessonAtStep(&RiloForm::DekikataCmd, 41), true, nullptr, 2},
    {"TownTitleFinishedAtXga", [](Harness& h) { h.startAndReachMenu(); }, true, nullptr, 1024.0 / 643},
    // Ruby over every kanji: the second caption moved down clear of the first's box; over the front
    // lesson's unlearned kanji; and over the panel, grown to hold it.
    {"DekikataSunCaptionsRuby", lessonAtStep(&RiloForm::DekikataCmd, 3), true, nullptr, 1, {RubyMode::All, 4}},
    {"ZensenWarmFrontRuby", lessonAtStep(&RiloForm::ZensenCmd, 16), true, nullptr, 1, {RubyMode::ByGrade, 4}},
    {"SimulatorPanelRuby", simulatorReady, true, [](Harness& h) { return h.form->grab().toImage(); }, 1,
     {RubyMode::All, 4}},
};

// Qt draws text taller than 64 px (the title's heading) as outlines from a FreeType face that every
// size of the face shares, and those outlines shift by 1/64 px with what the process drew before.
// Loading and unloading a font makes Qt drop every cached font engine, so each frame is drawn as by
// a program that has just started. False if the face's file was not found.
bool startWithFreshFontCache() {
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::FontsLocation)) {
        QDirIterator files(dir, {QStringLiteral("ipagp.ttf")}, QDir::Files, QDirIterator::Subdirectories);
        if (files.hasNext())
            return QFontDatabase::removeApplicationFont(QFontDatabase::addApplicationFont(files.next()));
    }
    return false;
}

bool writingReferences() { return qEnvironmentVariableIntValue("PERUMORA_WRITE_GOLDEN") == 1; }

QString referencePath(const char* name) { return QStringLiteral(PERUMORA_GOLDEN_DIR "/%1.png").arg(name); }

// A frame of at most 256 colours is stored paletted; it decodes to the very same pixels.
bool writeCompact(const QImage& frame, const QString& path) {
    QSet<QRgb> seen;
    for (int y = 0; y < frame.height() && seen.size() <= 256; ++y)
        for (int x = 0; x < frame.width(); ++x) seen.insert(frame.pixel(x, y));
    QList<QRgb> palette(seen.begin(), seen.end());
    std::sort(palette.begin(), palette.end());  // the same bytes on every run
    const QImage stored = palette.size() <= 256 ? frame.convertToFormat(QImage::Format_Indexed8, palette) : frame;
    QImageWriter writer(path, "png");
    writer.setQuality(0);  // the strongest compression
    return writer.write(stored) && QImage(path).convertToFormat(QImage::Format_RGB32) == frame;
}

// The reference, greyed and lightened, with every differing pixel in red.
QImage differenceImage(const QImage& reference, const QImage& actual, int& count, QRect& bounds) {
    QImage diff(reference.size(), QImage::Format_RGB32);
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x) {
            const bool differs = reference.pixel(x, y) != actual.pixel(x, y);
            const int grey = 160 + qGray(reference.pixel(x, y)) * 95 / 255;
            diff.setPixel(x, y, differs ? qRgb(255, 0, 0) : qRgb(grey, grey, grey));
            if (differs) {
                ++count;
                bounds |= QRect(x, y, 1, 1);
            }
        }
    return diff;
}

struct Golden : ::testing::TestWithParam<Moment> {
    void compareWithReference(bool textMayDiffer);
    void writeReference(const QImage& frame, const QString& reference);
};

// The references were rasterised by FreeType through fontconfig; other systems draw text otherwise,
// so there a frame with text that differs is reported as skipped, with the number of its pixels
// that differ, and only the frames without text must match.
TEST_P(Golden, FrameMatchesItsReference) {
#ifdef Q_OS_LINUX
    compareWithReference(false);
#else
    compareWithReference(GetParam().drawsText);
#endif
}

void Golden::compareWithReference(bool textMayDiffer) {
    const QString face = QFontInfo(japaneseGothic(24, false)).family();
    if (GetParam().drawsText && !kReferenceFace.contains(face)) {
        const QString why = QStringLiteral("needs the font face IPAPGothic (IPA Pゴシック, Debian package "
                                           "fonts-ipafont-gothic, installed by make deps); "
                                           "text here is drawn with \"%1\"")
                                .arg(face);
        if (writingReferences()) FAIL() << "cannot write references: " << why.toStdString();
        GTEST_SKIP() << why.toStdString();
    }

    const bool freshFonts = startWithFreshFontCache();
    const Moment& moment = GetParam();
    Harness h;
    h.form->canvas.setScale(moment.scale);
    h.form->ruby().setChoice(moment.ruby);
    moment.play(h);
    const QImage actual = (moment.frame ? moment.frame(h) : h.screen()).convertToFormat(QImage::Format_RGB32);
    const QString reference = referencePath(moment.name);
    if (writingReferences()) {
        writeReference(actual, reference);
        return;
    }

    const QString outDir = QStringLiteral(PERUMORA_GOLDEN_OUT);
    QDir().mkpath(outDir);
    const QString actualPath = QStringLiteral("%1/%2-actual.png").arg(outDir, moment.name);
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    if (expected.isNull()) {
        actual.save(actualPath);
        FAIL() << "no reference " << reference.toStdString() << "; this run's frame is " << actualPath.toStdString();
    }
    ASSERT_EQ(expected.size(), actual.size());
    if (expected == actual) return;

    int count = 0;
    QRect bounds;
    const QString diffPath = QStringLiteral("%1/%2-difference.png").arg(outDir, moment.name);
    differenceImage(expected, actual, count, bounds).save(diffPath);
    actual.save(actualPath);
    if (textMayDiffer)
        GTEST_SKIP() << count << " pixels differ, within x " << bounds.left() << "-" << bounds.right() << ", y "
                     << bounds.top() << "-" << bounds.bottom() << ": the references' text was rasterised on "
                     << "Linux (FreeType through fontconfig) and this platform draws text differently; this "
                     << "run's frame: " << actualPath.toStdString();
    ADD_FAILURE() << count << " pixels differ from " << reference.toStdString() << ", within x " << bounds.left()
                  << "-" << bounds.right() << ", y " << bounds.top() << "-" << bounds.bottom()
                  << "\n  this run's frame: " << actualPath.toStdString()
                  << "\n  differences (red): " << diffPath.toStdString()
                  << (freshFonts ? "" : "\n  (ipagp.ttf not found: the font cache was not emptied, so large text "
                                        "may differ after other tests; run this test on its own)");
}

void Golden::writeReference(const QImage& frame, const QString& reference) {
    ASSERT_TRUE(writeCompact(frame, reference)) << "could not write " << reference.toStdString();
    std::printf("wrote %s\n", qPrintable(reference));
}

// Pictures keep their pixels at a whole scale, the raster operations of the sprites included: every
// k x k block of the backdrop with its houses and trees is the reference's pixel at 1x.
TEST(GoldenAtScale, PicturesAtWholeScalesAreExactBlocksOfTheReference) {
    const QImage reference = QImage(referencePath("MountainScene")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    for (int k : {2, 3}) {
        Harness h;
        h.form->canvas.setScale(k);
        std::find_if(std::begin(kMoments), std::end(kMoments), [](const Moment& m) {
            return std::string_view(m.name) == "MountainScene";
        })->play(h);
        const QImage frame = h.screen();
        ASSERT_EQ(frame.size(), reference.size() * k);
        int wrong = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) wrong += frame.pixel(x, y) != reference.pixel(x / k, y / k);
        EXPECT_EQ(wrong, 0) << "at " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, Golden, ::testing::ValuesIn(kMoments),
                         [](const ::testing::TestParamInfo<Moment>& info) { return std::string(info.param.name); });

}  // namespace
