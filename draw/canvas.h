#pragma once
// The 640 x 400 drawing canvas with its two layers. The persistent image keeps what is drawn while
// the persistent layer is selected; the screen image is what the pupil sees: the persistent image
// plus whatever was drawn on the overlay since the last refresh. Both are drawn at the device scale
// the canvas is shown at (see Surface); coordinates are canvas pixels at every scale. Every drawing
// since the last background is kept, so that a new scale draws the same picture again.
//
// One image holds the screen; the persistent layer is that image but where the overlay has drawn
// since the last refresh, whose persistent pixels are kept aside (and drawn on by persistent
// drawing) until the refresh puts them back. At the largest scales an image is tens of megabytes.

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "draw/readings.h"
#include "draw/ruby.h"
#include "draw/surface.h"

class Canvas {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 400;
    enum class Layer { Persistent, Overlay };

    Canvas();

    void selectPersistent() { layer_ = Layer::Persistent; }
    void selectOverlay() { layer_ = Layer::Overlay; }
    Layer layer() const { return layer_; }

    // Device pixels per canvas pixel (at least 1); both images are drawn again at the new scale.
    void setScale(double scale);
    double scale() const { return screen_.scale; }

    void refresh();                          // wipes the overlay
    void setBackground(const QImage& picture);  // clears both layers to the picture

    // Coordinates are canvas pixels; colours are QBColor indices.
    void line(float x1, float y1, float x2, float y2, int colour);
    void boxOutline(float x1, float y1, float x2, float y2, int colour);  // filled if fill is solid
    void filledBox(float x1, float y1, float x2, float y2, int colour);
    void ellipse(float x, float y, float r, int colour, float aspect);    // filled if fill is solid
    void text(const QString& text, float x, float y, int colour, int sizePoints);
    // A line of text, on its box if it has one, in the canvas's bold or regular face, with the ruby
    // the choice shows. With ruby, a caption moves down by the least that keeps it clear of the
    // captions already on the canvas, and inside the canvas.
    void caption(Caption caption);

    // Every caption on the canvas is laid out again, and later ones by the new choice.
    void setRuby(RubyChoice choice);
    RubyChoice ruby() const { return ruby_; }

    void setFillSolid(bool solid) { fillSolid_ = solid; }
    bool fillSolid() const { return fillSolid_; }
    void setFillColour(int colour) { fillColour_ = colour; }
    void setBold(bool bold) { bold_ = bold; }
    bool bold() const { return bold_; }

    // canvas = colour XOR (mask AND NOT canvas) over the rectangle `source` of a packed sprite sheet
    // (see PackedSpriteSheet), placed with its top-left corner at `at`, clipped at the canvas edge.
    void maskedCopy(const QImage& packedSheet, const QRect& source, QPoint at);

    QImage persistentImage() const;
    const QImage& screenImage() const { return screen_.image; }

    // The texts written on the screen image now, in the order they were drawn. A refresh drops those
    // written on the overlay, a new background drops all, and a filled box that covers a text whole
    // hides it (until the next refresh if only the overlay covers persistent text).
    QStringList visibleTexts() const;
    // Every canvas pixel each of those texts covers, with its box and its ruby.
    std::vector<QRect> visibleTextExtents() const;

    // Called whenever the screen image changes (the view repaints).
    std::function<void()> changed;
    // Called whenever the list of visible texts may have changed.
    std::function<void()> textsChanged;

private:
    struct Drawing {
        std::function<void(Surface&)> draw;
        QRect bounds;  // the canvas pixels it may touch
        std::optional<Caption> caption;  // laid out again for a new ruby choice
        std::optional<QRect> covers;     // the texts it hides
    };
    struct Drawn {
        Layer layer;
        Drawing drawing;
    };
    struct Patch {  // persistent pixels under the overlay
        QRect area;   // device pixels
        QImage pixels;
    };

    void paint(std::function<void(Surface&)> draw, QRect bounds);
    void paint(Drawing drawing);
    Drawing placeCaption(const Caption& caption);
    void replay(Drawing& drawing, Layer layer);
    void draw(Layer layer, const Drawing& drawing);
    void keepAside(const QRect& area);
    void putBack();
    void drawAgain();
    void notify();
    void noteText(const QString& text, const QRect& area, const QRect& extent);
    void coverTexts(const QRect& area);
    void notifyTexts();

    struct WrittenText {
        QString text;
        QRect area;    // as the screen reader has always been told it
        QRect extent;  // with its box and ruby
        Layer layer;
        bool coveredByOverlay = false;
    };
    std::vector<WrittenText> texts_;

    QImage background_;                    // at 1x
    qint64 backgroundKey_ = 0;             // the picture it was made from
    std::vector<Drawing> persistentLog_;   // drawn into the persistent layer before the last refresh
    std::vector<Drawn> sinceRefresh_;      // drawn into either layer since
    Surface screen_;
    std::vector<Patch> under_;
    QRegion kept_;                          // the union of the patches' areas
    mutable QImage persistentCache_;        // the persistent image while patches are aside, once asked for
    std::pair<qint64, double> enlargedKey_{0, 0};  // the background and scale `enlarged_` holds
    QImage enlarged_;
    Layer layer_ = Layer::Overlay;
    bool fillSolid_ = false;
    int fillColour_ = 0;
    bool bold_ = false;
    RubyChoice ruby_;
    bool replaying_ = false;
};

// Whole-pixel rectangle covering (x1, y1)-(x2, y2) inclusive, corners in any order.
QRect pixelRect(float x1, float y1, float x2, float y2);
