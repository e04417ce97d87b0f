#pragma once
// TSTLPreviewWidget: the 3D viewport of the STL export dialog. It draws the meshes of a
// TPreviewScene with OpenGL (two directional lights, lit two-sided materials, the clear
// acrylic preset see-through) and turns drags and wheel turns into the scene's camera
// moves: drag to orbit, right-drag to pan, wheel to zoom.
#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLWidget>

#include <functional>
#include <memory>

namespace quillon {

class TPreviewScene;
struct TPreviewMesh;
struct TPreviewMaterial;

class TSTLPreviewWidget : public QOpenGLWidget, protected QOpenGLFunctions {
  Q_OBJECT
 public:
  TSTLPreviewWidget(TPreviewScene &scene, QWidget *parent = nullptr);
  ~TSTLPreviewWidget() override;

  // The meshes changed: their buffers are uploaded again at the next paint.
  void meshesChanged();
  // Called after each camera move by the mouse (the dialog writes its camera line).
  std::function<void()> OnCameraMoved;

 protected:
  void initializeGL() override;
  void resizeGL(int w, int h) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

 private:
  struct TGpuMesh;
  void upload(const TPreviewMesh &mesh, TGpuMesh &gpu);
  void draw(const TPreviewMesh &mesh, TGpuMesh &gpu, const TPreviewMaterial &material);

  TPreviewScene &FScene;
  std::unique_ptr<QOpenGLShaderProgram> FProgram;
  std::unique_ptr<TGpuMesh> FMeshGpu, FRecessGpu, FTextGpu;
  bool FDirty = true;
};

}  // namespace quillon
