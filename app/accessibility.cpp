#include "app/accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>

#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/riloform.h"
#include "draw/canvas.h"

namespace {

QAccessibleInterface* programRoles(const QString&, QObject* object) {
    if (auto* form = dynamic_cast<RiloForm*>(object)) return new QAccessibleWidget(form, QAccessible::Window);
    if (auto* view = dynamic_cast<CanvasWidget*>(object)) return new QAccessibleWidget(view, QAccessible::Graphic);
    if (auto* chart = dynamic_cast<ChartWindow*>(object)) return new QAccessibleWidget(chart, QAccessible::Window);
    return nullptr;
}

// Qt sends DescriptionChanged with the new text, which a screen reader speaks for the object it is on.
void setDescription(QWidget* widget, const QString& description) {
    if (widget->accessibleDescription() == description) return;
    widget->setAccessibleDescription(description);
}

}  // namespace

void InstallAccessibleRoles() {
    static const bool installed = [] {
        QAccessible::installFactory(programRoles);
        return true;
    }();
    Q_UNUSED(installed);
}

QString ActivityName(int sceneMode) {
    switch (sceneMode) {
    case kSceneTitle: return QStringLiteral("タイトル");
    case kSceneDekikata: return QStringLiteral("雲のでき方");
    case kSceneYama: return QStringLiteral("山の雲");
    case kSceneZensen: return QStringLiteral("前線");
    case kSceneTukuru: return QStringLiteral("雲をつくってみよう");
    default: return {};
    }
}

CanvasNarration::CanvasNarration(QWidget* view, Canvas& canvas) : QObject(view), view_(view), canvas_(canvas) {
    canvas_.textsChanged = [this] { tellSoon(); };
    view_->setAccessibleName(ActivityName(kSceneTitle));
}

void CanvasNarration::activityStarted(int sceneMode) {
    cloud_ = false;
    parcelNews_.clear();
    view_->setAccessibleName(ActivityName(sceneMode));
    tellSoon();
}

void CanvasNarration::parcelDrawn(bool cloud) {
    if (cloud == cloud_)
        parcelNews_.clear();
    else
        parcelNews_ = cloud ? QStringLiteral("雲ができました") : QStringLiteral("雲が消えました");
    cloud_ = cloud;
    tellSoon();
}

QString CanvasNarration::description() const {
    QStringList parts = canvas_.visibleTexts();
    if (!parcelNews_.isEmpty()) parts.prepend(parcelNews_);
    return parts.join(QLatin1Char(' '));
}

void CanvasNarration::tellSoon() {
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(this, [this] { tell(); }, Qt::QueuedConnection);
}

void CanvasNarration::tell() {
    pending_ = false;
    const QString now = description();
    if (now == view_->accessibleDescription()) return;
    setDescription(view_, now);
    if (told) told(now);
}

void DescribeArrows(const QLabel* readout, QPushButton* up, QPushButton* down) {
    setDescription(up, readout->text());
    setDescription(down, readout->text());
}
