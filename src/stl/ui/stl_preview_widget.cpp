#include "stl/ui/stl_preview_widget.h"

#include <QMatrix4x4>
#include <QMouseEvent>
#include <QWheelEvent>

#include "shell/guarded_call.h"
#include "stl/preview_scene.h"

namespace quillon {

namespace {

// Positions and normals in the scene frame (y down, z away from the viewer) become the
// OpenGL frame (y up, z toward the viewer) by a half turn about x: no mirror image.
const QMatrix4x4 kSceneToGl(1, 0, 0, 0,  //
                            0, -1, 0, 0,  //
                            0, 0, -1, 0,  //
                            0, 0, 0, 1);

QVector3D rgb(std::uint32_t argb) {
  return {float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f, float(argb & 0xFF) / 255.0f};
}
// A colour weighted by its alpha (the specular colours of the presets use it as strength).
QVector3D weighted(std::uint32_t argb) { return rgb(argb) * (float((argb >> 24) & 0xFF) / 255.0f); }

const char *kVertexShader = R"(
attribute highp vec3 position;
attribute highp vec3 normal;
uniform highp mat4 model;
uniform highp mat4 viewProjection;
varying highp vec3 worldPosition;
varying highp vec3 worldNormal;
void main() {
  vec4 p = model * vec4(position, 1.0);
  worldPosition = p.xyz;
  worldNormal = (model * vec4(normal, 0.0)).xyz;
  gl_Position = viewProjection * p;
}
)";

const char *kFragmentShader = R"(
varying highp vec3 worldPosition;
varying highp vec3 worldNormal;
uniform highp vec3 eye;
uniform mediump vec3 diffuse;
uniform mediump vec3 ambient;
uniform mediump vec3 specular;
uniform mediump vec3 emissive;
uniform mediump float shininess;
uniform mediump float opacity;
uniform highp vec3 lightDirection[2];
uniform mediump vec3 lightColor[2];
void main() {
  vec3 n = normalize(worldNormal);
  vec3 toEye = normalize(eye - worldPosition);
  if (dot(n, toEye) < 0.0) n = -n;  // two-sided
  vec3 color = emissive + ambient;
  for (int i = 0; i < 2; ++i) {
    vec3 toLight = -normalize(lightDirection[i]);
    float lambert = max(dot(n, toLight), 0.0);
    color += lightColor[i] * diffuse * lambert;
    if (lambert > 0.0) {
      vec3 halfway = normalize(toLight + toEye);
      color += lightColor[i] * specular * pow(max(dot(n, halfway), 0.0), shininess);
    }
  }
  gl_FragColor = vec4(min(color, vec3(1.0)), opacity);
}
)";

}  // namespace

struct TSTLPreviewWidget::TGpuMesh {
  QOpenGLBuffer Vertices{QOpenGLBuffer::VertexBuffer};
  QOpenGLBuffer Normals{QOpenGLBuffer::VertexBuffer};
  int Count = 0;
};

TSTLPreviewWidget::TSTLPreviewWidget(TPreviewScene &scene, QWidget *parent) : QOpenGLWidget(parent), FScene(scene) {
  setObjectName(QStringLiteral("FViewport"));
  setMinimumSize(200, 200);
}

TSTLPreviewWidget::~TSTLPreviewWidget() {
  makeCurrent();
  for (auto *gpu : {FMeshGpu.get(), FRecessGpu.get(), FTextGpu.get()})
    if (gpu) {
      gpu->Vertices.destroy();
      gpu->Normals.destroy();
    }
  FProgram.reset();
  doneCurrent();
}

void TSTLPreviewWidget::meshesChanged() {
  FDirty = true;
  update();
}

void TSTLPreviewWidget::initializeGL() {
  initializeOpenGLFunctions();
  FProgram = std::make_unique<QOpenGLShaderProgram>();
  FProgram->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader);
  FProgram->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader);
  FProgram->bindAttributeLocation("position", 0);
  FProgram->bindAttributeLocation("normal", 1);
  if (!FProgram->link()) qWarning("Quillon: the STL preview's shaders did not link: %s", qPrintable(FProgram->log()));
  FMeshGpu = std::make_unique<TGpuMesh>();
  FRecessGpu = std::make_unique<TGpuMesh>();
  FTextGpu = std::make_unique<TGpuMesh>();
  FDirty = true;
}

void TSTLPreviewWidget::resizeGL(int, int) {}

void TSTLPreviewWidget::upload(const TPreviewMesh &mesh, TGpuMesh &gpu) {
  for (QOpenGLBuffer *b : {&gpu.Vertices, &gpu.Normals}) {
    if (!b->isCreated()) b->create();
    b->bind();
  }
  gpu.Vertices.bind();
  gpu.Vertices.allocate(mesh.Vertices.data(), int(mesh.Vertices.size() * sizeof(QVector3D)));
  gpu.Normals.bind();
  gpu.Normals.allocate(mesh.Normals.data(), int(mesh.Normals.size() * sizeof(QVector3D)));
  gpu.Normals.release();
  gpu.Count = int(mesh.Vertices.size());
}

void TSTLPreviewWidget::draw(const TPreviewMesh &mesh, TGpuMesh &gpu, const TPreviewMaterial &material) {
  if (!mesh.Visible || gpu.Count == 0) return;
  FProgram->setUniformValue("diffuse", rgb(material.Diffuse));
  FProgram->setUniformValue("ambient", rgb(material.Ambient));
  FProgram->setUniformValue("specular", weighted(material.Specular));
  FProgram->setUniformValue("emissive", rgb(material.Emissive));
  FProgram->setUniformValue("shininess", material.Shininess);
  FProgram->setUniformValue("opacity", mesh.Opacity);
  const bool seeThrough = mesh.Opacity < 1;
  if (seeThrough) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
  }
  gpu.Vertices.bind();
  FProgram->enableAttributeArray(0);
  FProgram->setAttributeBuffer(0, GL_FLOAT, 0, 3);
  gpu.Normals.bind();
  FProgram->enableAttributeArray(1);
  FProgram->setAttributeBuffer(1, GL_FLOAT, 0, 3);
  glDrawArrays(GL_TRIANGLES, 0, gpu.Count);
  gpu.Normals.release();
  if (seeThrough) {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
  }
}

void TSTLPreviewWidget::paintGL() {
  const QVector3D background = rgb(TPreviewScene::kBackground);
  glClearColor(background.x(), background.y(), background.z(), 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!FProgram || !FProgram->isLinked() || !FScene.FCameraPlaced) return;
  if (FDirty) {
    upload(FScene.FMesh, *FMeshGpu);
    upload(FScene.FRecessMesh, *FRecessGpu);
    upload(FScene.FTextMesh, *FTextGpu);
    FDirty = false;
  }
  glEnable(GL_DEPTH_TEST);
  QMatrix4x4 projection;
  const float aspect = height() > 0 ? float(width()) / float(height()) : 1.0f;
  projection.perspective(FScene.FFieldOfView, aspect, 0.05f, 20000.0f);
  QMatrix4x4 view;
  const QVector3D eye = kSceneToGl.map(FScene.FCameraPosition);
  view.lookAt(eye, kSceneToGl.map(FScene.FCameraTarget), QVector3D(0, 1, 0));
  FProgram->bind();
  FProgram->setUniformValue("model", kSceneToGl);
  FProgram->setUniformValue("viewProjection", projection * view);
  FProgram->setUniformValue("eye", eye);
  const QVector3D directions[2] = {kSceneToGl.map(FScene.FLight1.Direction), kSceneToGl.map(FScene.FLight2.Direction)};
  const QVector3D colors[2] = {rgb(FScene.FLight1.Color), rgb(FScene.FLight2.Color)};
  FProgram->setUniformValueArray("lightDirection", directions, 2);
  FProgram->setUniformValueArray("lightColor", colors, 2);
  // The opaque meshes first, so that a see-through main mesh shows them.
  draw(FScene.FRecessMesh, *FRecessGpu, FScene.FRecessMaterial);
  draw(FScene.FTextMesh, *FTextGpu, FScene.FTextMaterial);
  draw(FScene.FMesh, *FMeshGpu, FScene.FMaterial);
  FProgram->release();
}

void TSTLPreviewWidget::mousePressEvent(QMouseEvent *event) {
  guarded(editorUiOf(this), "ViewportMouseDown",
          [&] { FScene.ViewportMouseDown(event->position(), event->button() == Qt::RightButton); });
}

void TSTLPreviewWidget::mouseMoveEvent(QMouseEvent *event) {
  guarded(editorUiOf(this), "ViewportMouseMove", [&] {
    if (!FScene.MouseDown()) return;
    FScene.ViewportMouseMove(event->position());
    if (OnCameraMoved) OnCameraMoved();
    update();
  });
}

void TSTLPreviewWidget::mouseReleaseEvent(QMouseEvent *) {
  guarded(editorUiOf(this), "ViewportMouseUp", [&] { FScene.ViewportMouseUp(); });
}

void TSTLPreviewWidget::wheelEvent(QWheelEvent *event) {
  guarded(editorUiOf(this), "ViewportMouseWheel", [&] {
    FScene.ViewportMouseWheel(event->angleDelta().y());
    if (OnCameraMoved) OnCameraMoved();
    update();
  });
  event->accept();
}

}  // namespace quillon
