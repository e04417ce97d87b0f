#include "stl/preview_scene.h"

#include <QMatrix4x4>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace quillon {

namespace {

constexpr double kDegToRad = M_PI / 180.0;

QVector3D corner(const TVec3 &v) { return {float(v.X), float(v.Y), float(v.Z)}; }

// ARGB with every colour channel multiplied by f, rounded, alpha 255.
std::uint32_t scaled(std::uint32_t color, double f) {
  const auto channel = [&](int shift) {
    const long v = std::lround(double((color >> shift) & 0xFF) * f);
    return std::uint32_t(std::clamp<long>(v, 0, 255)) << shift;
  };
  return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// The looks of the material presets.
struct TPresetLook {
  double AmbientFactor;
  std::uint32_t Specular;
  float Shininess;
  std::uint32_t Emissive;
  float Opacity;
};
constexpr TPresetLook kPresetLooks[] = {
    {0.16, 0, 1, 0, 1},                              // leather, brown
    {0.55, 0x30FFFFFF, 8, 0xFF181818, 1},            // leather, black
    {0.30, 0xA0FFFFFF, 64, 0, 1},                    // acrylic, glossy
    {0.45, 0x80FFFFFF, 32, 0, 0.65f},                // acrylic, clear
    {0.50, 0xFFFFFFFF, 96, 0xFF303030, 1},           // metallic
    {0.25, 0, 1, 0, 1},                              // matte
};
constexpr TPresetLook kOtherLook = {0.20, 0, 1, 0, 1};

}  // namespace

QVector3D lightDirection(float ax, float ay, float az) {
  QMatrix4x4 m;
  m.rotate(az, 0, 0, 1);
  m.rotate(ay, 0, 1, 0);
  m.rotate(ax, 1, 0, 0);
  return m.map(QVector3D(0, 0, 1)).normalized();
}

TPreviewScene::TPreviewScene() {
  FLight1 = {0xFF808080, lightDirection(35, -25, 0)};
  FLight2 = {0xFF383C44, lightDirection(-20, 150, 0)};
  FMaterial.Specular = 0;
  FMaterial.Shininess = 1;
  FTextMaterial = {0xFF3060E0, 0xFF102060, 0, 0, 1};
  FRecessMaterial.Specular = 0;
  FRecessMaterial.Shininess = 1;
  FTextMesh.Visible = false;
  FRecessMesh.Visible = false;
}

void TPreviewScene::FillPreviewMesh(const TTriangleList *triangles, TPreviewMesh &mesh, const TPreviewBBox &box,
                                    float scale, float zFactor) {
  mesh.Vertices.clear();
  mesh.Normals.clear();
  mesh.Indices.clear();
  if (!triangles || triangles->empty()) return;
  const QVector3D c = scale > 0 ? box.Centre() : QVector3D();
  const std::size_t n = triangles->size();
  mesh.Vertices.reserve(3 * n);
  mesh.Normals.reserve(3 * n);
  mesh.Indices.reserve(3 * n);
  const auto place = [&](const TVec3 &v) {
    if (scale <= 0) return corner(v);
    return QVector3D(float((v.X - c.x()) * scale), float((v.Y - c.y()) * scale),
                     float((v.Z - c.z()) * scale * zFactor));
  };
  for (const TTriangle3D &t : *triangles) {
    const QVector3D a = place(t.A), b = place(t.B), cc = place(t.C);
    QVector3D normal = QVector3D::crossProduct(b - a, cc - a);
    const float length = normal.length();
    normal = length > 1e-9f ? normal / length : QVector3D(0, 0, 1);
    for (const QVector3D &p : {a, b, cc}) {
      mesh.Indices.push_back(std::uint32_t(mesh.Vertices.size()));
      mesh.Vertices.push_back(p);
      mesh.Normals.push_back(normal);
    }
  }
}

void TPreviewScene::FillPreviewMeshAndBBox(const TTriangleList *triangles, TPreviewMesh &mesh, TPreviewBBox &box,
                                           float scale, float zFactor) {
  box = TPreviewBBox();
  if (triangles)
    for (const TTriangle3D &t : *triangles)
      for (const TVec3 *v : {&t.A, &t.B, &t.C}) {
        const QVector3D p = corner(*v);
        if (!box.Valid) {
          box.Min = box.Max = p;
          box.Valid = true;
          continue;
        }
        box.Min = QVector3D(std::min(box.Min.x(), p.x()), std::min(box.Min.y(), p.y()), std::min(box.Min.z(), p.z()));
        box.Max = QVector3D(std::max(box.Max.x(), p.x()), std::max(box.Max.y(), p.y()), std::max(box.Max.z(), p.z()));
      }
  FillPreviewMesh(triangles, mesh, box, scale, zFactor);
}

void TPreviewScene::SplitRecessTriangles(const TTriangleList *triangles, TTriangleList &main, TTriangleList &recess) {
  main.clear();
  recess.clear();
  if (!triangles || triangles->empty()) return;
  double zmin = triangles->front().A.Z, zmax = zmin;
  for (const TTriangle3D &t : *triangles)
    for (const TVec3 *v : {&t.A, &t.B, &t.C}) {
      zmin = std::min(zmin, v->Z);
      zmax = std::max(zmax, v->Z);
    }
  const double margin = (zmax - zmin) * 0.02;
  if (margin <= 0) {
    main = *triangles;
    return;
  }
  for (const TTriangle3D &t : *triangles) {
    const double ux = t.B.X - t.A.X, uy = t.B.Y - t.A.Y, uz = t.B.Z - t.A.Z;
    const double vx = t.C.X - t.A.X, vy = t.C.Y - t.A.Y, vz = t.C.Z - t.A.Z;
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double meanZ = (t.A.Z + t.B.Z + t.C.Z) / 3;
    const bool floor = length > 0 && std::abs(nz) / length > 0.95 && meanZ > zmin + margin && meanZ < zmax - margin;
    (floor ? recess : main).push_back(t);
  }
}

void TPreviewScene::UpdatePreviewMesh(const TTriangleList &triangles) {
  TTriangleList main, recess;
  SplitRecessTriangles(&triangles, main, recess);
  FillPreviewMesh(&main, FMesh, FBBox, FSceneScale, 1);
  FMesh.Visible = true;
  FillPreviewMesh(&recess, FRecessMesh, FBBox, FSceneScale, 1);
  FRecessMesh.Visible = !recess.empty();
}

void TPreviewScene::UpdateTextMesh(const TTriangleList *triangles) {
  if (triangles && !triangles->empty()) {
    FillPreviewMesh(triangles, FTextMesh, FBBox, FSceneScale, 1);
    FTextMesh.Visible = true;
  } else {
    FTextMesh.Visible = false;
  }
}

void TPreviewScene::FrameBoundingBox() {
  if (!FBBox.Valid) return;
  const QVector3D size = FBBox.Size();
  float m = std::max({size.x(), size.y(), size.z()});
  if (m < 0.001f) m = 1;
  FSceneScale = kFramedSize / m;
  const float f = FFieldOfView < 1 ? 30.0f : FFieldOfView;
  FCameraDistance = std::max(5.0f, float(kFramedSize / (2 * std::tan(f / 2 * kDegToRad)) * 1.1));
  FYaw = 180;
  FPitch = -35;
  FPanX = 0;
  FPanY = 0;
  UpdateCamera();
}

void TPreviewScene::UpdateCamera() {
  const double yaw = FYaw * kDegToRad, pitch = FPitch * kDegToRad, d = FCameraDistance;
  FCameraTarget = QVector3D(FPanX, FPanY, 0);
  FCameraPosition = QVector3D(float(FPanX + d * std::sin(yaw) * std::cos(pitch)), float(FPanY + d * std::sin(pitch)),
                              float(d * std::cos(yaw) * std::cos(pitch)));
  FCameraPlaced = true;
}

void TPreviewScene::ApplyMaterial(std::uint32_t color, int preset) {
  const TPresetLook &look = preset >= 0 && preset < int(std::size(kPresetLooks)) ? kPresetLooks[preset] : kOtherLook;
  FMaterial.Diffuse = color | 0xFF000000u;
  FMaterial.Ambient = scaled(color, look.AmbientFactor);
  FRecessMaterial.Diffuse = scaled(color, 0.6);
  FRecessMaterial.Ambient = scaled(color, look.AmbientFactor * 0.6);
  for (TPreviewMaterial *m : {&FMaterial, &FRecessMaterial}) {
    m->Specular = look.Specular;
    m->Shininess = look.Shininess;
    m->Emissive = look.Emissive;
  }
  FMesh.Opacity = look.Opacity;
}

void TPreviewScene::ViewportMouseDown(QPointF pos, bool rightButton) {
  FMouseDown = true;
  FMouseRight = rightButton;
  FMouseStart = pos;
  FStartYaw = FYaw;
  FStartPitch = FPitch;
  FStartPanX = FPanX;
  FStartPanY = FPanY;
}

void TPreviewScene::ViewportMouseMove(QPointF pos) {
  if (!FMouseDown) return;
  const double dx = pos.x() - FMouseStart.x(), dy = pos.y() - FMouseStart.y();
  if (FMouseRight) {
    const double k = FCameraDistance / 500.0;
    FPanX = float(FStartPanX - dx * k);
    FPanY = float(FStartPanY - dy * k);
  } else {
    FYaw = float(FStartYaw + 0.4 * dx);
    FPitch = std::clamp(float(FStartPitch - 0.4 * dy), -85.0f, 85.0f);
  }
  UpdateCamera();
}

void TPreviewScene::ViewportMouseUp() { FMouseDown = false; }

void TPreviewScene::ViewportMouseWheel(int delta) {
  FCameraDistance = std::clamp(float(FCameraDistance * std::pow(0.9, delta / 120.0)), 0.5f, 5000.0f);
  UpdateCamera();
}

QString TPreviewScene::CameraStatus(float viewportWidth, float viewportHeight) const {
  float zmin = FLT_MAX, zmax = -FLT_MAX;
  for (const QVector3D &v : FMesh.Vertices) {
    zmin = std::min(zmin, v.z());
    zmax = std::max(zmax, v.z());
  }
  const QVector3D size = FBBox.Size();
  return QString::asprintf(
      "mm=%.1fx%.1fx%.1f  scale=%.3f  scnZ=%.2f..%.2f  vp=%.0fx%.0f  cam.dist=%.1f  fov=%.1f\u00B0  yaw=%.0f  "
      "UDC=%s  CamOK=%s",
      double(size.x()), double(size.y()), double(size.z()), double(FSceneScale), double(zmin), double(zmax),
      double(viewportWidth), double(viewportHeight), double(FCameraDistance), double(FFieldOfView), double(FYaw),
      "False", FCameraPlaced ? "True" : "False");
}

}  // namespace quillon
