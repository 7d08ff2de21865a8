#include "preview/pview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTimer>
#include <QWheelEvent>

#include "preview/drag_model.h"
#include "preview/gl_panel.h"
// GL last: its headers pull in X11 macros.
#include "platform/gl_loader.h"
#include "preview/preview_scene.h"

namespace vertoko {

TPView::TPView(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Pre View"));
    move(634, 104);
    resize(403, 347);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);

    // FormCreate: the panel fills the client area; its window and context
    // come into being at the first showing.
    GLPanel1 = new TGLPanel(this);
    GLPanel1->setGeometry(rect());
    GLPanel1->setFocusPolicy(Qt::NoFocus);
    GLPanel1->OnGLDraw = [this](TGLPanel*) { GLPanel1GLDraw(); };
    GLPanel1->OnGLResize = [this](TGLPanel*) { GLPanel1GLResize(); };
    GLPanel1->OnMouseMove = [this](TGLPanel*, Qt::MouseButtons buttons, Qt::KeyboardModifiers,
                                   int x, int y) { GLPanel1MouseMove(buttons, x, y); };
    GLPanel1->OnDblClick = [this](TGLPanel*) { GLPanel1DblClick(); };
    GLPanel1->OnMouseUp = [this](TGLPanel*) { GLPanel1MouseUp(); };
    // The wheel has no release: full detail comes back once it rests.
    wheelEnd_ = new QTimer(this);
    wheelEnd_->setSingleShot(true);
    wheelEnd_->setInterval(250);
    connect(wheelEnd_, &QTimer::timeout, this, [this] { EndMoving(); });
    GLPanel1->OnGLPostInit = [this](TGLPanel*) { GLPanel1GLPostInit(); };
}

TPView::~TPView() {
    // FormDestroy
    if (CanDraw()) {
        GLPanel1->MakeCurrent();
        FglDeleteLists(kModelList, 1);
        FglDeleteLists(kDragList, 1);
    }
    delete GLPanel1;
    GLPanel1 = nullptr;
    if (waitCursor) QGuiApplication::restoreOverrideCursor();
}

bool TPView::CanDraw() const {
    return hOpenGL != nullptr && qGuiApp != nullptr && GLPanel1 != nullptr &&
           GLPanel1->HasContext();
}

void TPView::Repaint() {
    if (GLPanel1) GLPanel1->update();
}

void TPView::SetColors(std::uint32_t back, std::uint32_t obj) {
    ColorToFloats(back, backColor);
    ColorToFloats(obj, objColor);
    Repaint();
}

void TPView::FitView(const Extents& extents) {
    extents_ = extents;
    vertoko::FitView(camera, ViewBox());
}

Extents TPView::ViewBox() const { return zUp_ ? ZUpViewBox(extents_) : extents_; }

void TPView::SetZUp(bool zUp) {
    if (zUp == zUp_) return;
    zUp_ = zUp;
    vertoko::FitView(camera, ViewBox());
    // A shown window holds the main window's current table; a hidden one
    // may hold a freed one and waits for ShowPreview to hand it the table.
    if (!isVisible()) return;
    BuildModelList();
    GLPanel1GLResize();
    Repaint();
}

void TPView::ResetModelView() {
    FglMatrixMode(GL_MODELVIEW);
    FglLoadIdentity();
    if (zUp_) {
        FglRotatef(kZUpTilt, 1.0f, 0.0f, 0.0f);
        FglRotatef(kZUpTurn, 0.0f, 1.0f, 0.0f);
    }
}

void TPView::ShowPreview(bool newDataFlag, std::int32_t count, MeshObject* table) {
    // A list built the other way up is built again from the table given.
    if (listZUp_ != zUp_) newDataFlag = true;
    if (newDataFlag) {
        if (!waitCursor) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            waitCursor = true;
        }
        objectCount = count;
        objects = table;
        GLPanel1GLResize();
    }
    newData = newDataFlag;
    if (isVisible()) {
        // Already shown: no show event follows, so take the new table here
        // rather than leave the old model and the hourglass behind.
        if (newData) FormShow();
        raise();
        activateWindow();
        return;
    }
    show();
}

void TPView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPView::FormShow() {
    if (newData) BuildModelList();
    if (waitCursor) {
        QGuiApplication::restoreOverrideCursor();
        waitCursor = false;
    }
    Repaint();
}

void TPView::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
}

void TPView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (GLPanel1) GLPanel1->setGeometry(rect());
}

void TPView::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    FormKeyDown(event->key());
    // The key is not consumed.
    QWidget::keyPressEvent(event);
}

void TPView::FormKeyDown(int key) {
    if (key != Qt::Key_Space) return;
    wireframe = !wireframe;
    if (CanDraw()) {
        GLPanel1->MakeCurrent();
        FglPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
    }
    Repaint();
}

void TPView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0) FormMouseWheel(delta);
    QWidget::wheelEvent(event);
}

void TPView::FormMouseWheel(std::int32_t wheelDelta) {
    if (!ZoomCamera(camera, WheelZoomDelta(camera, wheelDelta))) return;
    moving_ = true;
    wheelEnd_->start();
    GLPanel1GLResize();
    Repaint();
}

void TPView::GLPanel1GLPostInit() {
    if (!CanDraw()) return;
    SetupSceneLights(objColor);
}

void TPView::GLPanel1GLDraw() {
    if (!CanDraw()) return;
    DrawScene(backColor, objColor, DrawsDragModel() ? kDragList : kModelList);
}

void TPView::GLPanel1GLResize() {
    if (!CanDraw()) return;
    GLPanel1->MakeCurrent();
    const int w = GLPanel1->SurfaceWidth();
    const int h = GLPanel1->SurfaceHeight();
    FglViewport(0, 0, w, h);
    FglMatrixMode(GL_PROJECTION);
    FglLoadIdentity();
    // A panel without height keeps the aspect of a square.
    const double aspect = h > 0 ? static_cast<double>(w) / h : 1.0;
    FgluPerspective(40.0, aspect, 0.1, camera.farPlane);
    FgluLookAt(camera.eyeX, camera.eyeY, camera.eyeZ, camera.eyeX, camera.eyeY, camera.eyeZ - 1.0,
               0.0, 1.0, 0.0);
    FglMatrixMode(GL_MODELVIEW);
    FglClearColor(backColor[0], backColor[1], backColor[2], 0.0f);
}

void TPView::GLPanel1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    const std::int32_t dx = x - lastX;
    const std::int32_t dy = y - lastY;
    const DragMode mode = DragModeFor(buttons & Qt::LeftButton, buttons & Qt::RightButton);
    // A release outside the window may not come here; the next move
    // without buttons ends the drag as well.
    if (mode == DragMode::Idle && moving_ && !wheelEnd_->isActive()) EndMoving();
    if (mode != DragMode::Idle) moving_ = true;
    switch (mode) {
        case DragMode::Idle:
            lastX = x;
            lastY = y;
            return;
        case DragMode::Rotate:
            if (CanDraw()) {
                GLPanel1->MakeCurrent();
                GLdouble m[16];
                FglMatrixMode(GL_MODELVIEW);
                FglGetDoublev(GL_MODELVIEW_MATRIX, m);
                FglLoadIdentity();
                FglRotatef(static_cast<GLfloat>(dy), 1.0f, 0.0f, 0.0f);
                FglRotatef(static_cast<GLfloat>(dx), 0.0f, 1.0f, 0.0f);
                FglMultMatrixd(m);
            }
            break;
        case DragMode::Move:
            MoveCamera(camera, dx, dy);
            GLPanel1GLResize();
            break;
        case DragMode::Zoom:
            if (!ZoomCamera(camera, static_cast<float>(ZoomAmount(dx, dy)) * camera.step)) return;
            GLPanel1GLResize();
            break;
    }
    Repaint();
    lastX = x;
    lastY = y;
}

void TPView::GLPanel1MouseUp() {
    if (moving_) EndMoving();
}

void TPView::EndMoving() {
    wheelEnd_->stop();
    moving_ = false;
    // Full detail again, as the window drew before the drag.
    if (hasDragModel_) Repaint();
}

void TPView::GLPanel1DblClick() {
    vertoko::FitView(camera, ViewBox());
    if (CanDraw()) {
        GLPanel1->MakeCurrent();
        ResetModelView();
    }
    GLPanel1GLResize();
    Repaint();
}

void TPView::BuildModelList() {
    if (!CanDraw()) return;
    GLPanel1->MakeCurrent();
    vertoko::BuildModelList(objectCount, objects, extents_.center, zUp_);
    ResetModelView();
    listZUp_ = zUp_;
    ++modelBuilds;
    // A model light enough to drag as it is needs no stand-in.
    hasDragModel_ = FannedTriangleCount(objectCount, objects) > kDragTriangleBudget;
    if (hasDragModel_)
        BuildDragList(MakeDragMesh(objectCount, objects, extents_.center, kDragTriangleBudget),
                      zUp_);
}

}  // namespace vertoko
