// TPView: the preview window. It shows the borrowed object table as a lit
// model on its GL panel; the left button turns the model, the right button
// moves the camera, both buttons or the wheel zoom, a double click fits the
// view again and the space key toggles outline drawing. It is created once,
// hidden until ShowPreview, and closing it only hides it.
#pragma once

#include <QWidget>
#include <cstdint>

class QTimer;

#include "model/mesh_model.h"
#include "preview/camera.h"

namespace vertoko {

class TGLPanel;

class TPView : public QWidget {
    Q_OBJECT

  public:
    explicit TPView(QWidget* parent = nullptr);
    ~TPView() override;  // deletes display list 1, then the panel

    // Background and object colours as 0x00BBGGRR; repaints.
    void SetColors(std::uint32_t back, std::uint32_t obj);
    // Keeps extents, the box around the next table, and fits the camera to
    // it; no OpenGL call.
    void FitView(const Extents& extents);
    // Shows the drawing's Z axis up, in the three-quarter view of the framed
    // POV-Ray camera, or the drawing as it lies (its Z toward the viewer).
    // A change refits the camera and drops the rotation; a shown window
    // redraws its table at once, a hidden one at the next ShowPreview.
    void SetZUp(bool zUp);
    // Takes the table when newData is true (the display list is rebuilt when
    // the window shows) and shows the window.
    void ShowPreview(bool newData, std::int32_t count, MeshObject* objects);

    TGLPanel* GLPanel1 = nullptr;

    const PreviewCamera& Camera() const { return camera; }
    bool Wireframe() const { return wireframe; }
    std::int32_t LastX() const { return lastX; }
    std::int32_t LastY() const { return lastY; }
    const float* BackColor() const { return backColor; }
    const float* ObjColor() const { return objColor; }
    // Number of times the model was compiled into display list 1.
    int ModelBuilds() const { return modelBuilds; }
    // Whether the lighter model stands in while the user drags (a model of
    // more triangles than kDragTriangleBudget), and whether it is drawn now.
    bool HasDragModel() const { return hasDragModel_; }
    bool DrawsDragModel() const { return hasDragModel_ && moving_; }
    bool ZUp() const { return zUp_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void FormShow();
    void FormKeyDown(int key);
    void FormMouseWheel(std::int32_t wheelDelta);
    void GLPanel1GLPostInit();
    void GLPanel1GLDraw();
    void GLPanel1GLResize();
    void GLPanel1MouseMove(Qt::MouseButtons buttons, int x, int y);
    void GLPanel1MouseUp();
    void EndMoving();
    void GLPanel1DblClick();
    void BuildModelList();
    // The box the camera is fitted to: the model's, or its turned Z-up view.
    Extents ViewBox() const;
    // The model-view matrix of a fresh view: none, or the Z-up view's turn.
    void ResetModelView();
    void Repaint();
    bool CanDraw() const;

    std::int32_t lastX = 0;
    std::int32_t lastY = 0;
    PreviewCamera camera;
    std::int32_t objectCount = 0;
    MeshObject* objects = nullptr;
    Extents extents_ = {};  // the model's box, for fitting again and centring
    bool newData = false;
    bool wireframe = false;
    float backColor[3] = {0, 0, 0};
    float objColor[4] = {0, 0, 0, 0};
    bool waitCursor = false;
    int modelBuilds = 0;
    bool hasDragModel_ = false;
    bool moving_ = false;  // a drag or a wheel turn is under way
    QTimer* wheelEnd_ = nullptr;
    bool zUp_ = false;
    bool listZUp_ = false;  // how display list 1 was built
};

}  // namespace vertoko
