#pragma once
// The 3D preview of the STL export as values: the three meshes' vertex, normal and index
// buffers, their lit materials, the two lights, the orbiting camera and its mouse rules,
// and the camera line of the status bar. The dialog's viewport widget draws exactly what
// this holds; the builds and tests drive it without a window.
//
// Scene frame: x to the right, y downward, z away from the viewer. A model point (x, y, z)
// in millimetres is shown at ((x - cx)·s, (y - cy)·s, (z - cz)·s·k) with c the centre of
// the framed box, s the scene scale and k the z factor, so the model's largest side
// measures 18 scene units.
#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector3D>

#include <cstdint>
#include <vector>

#include "stl/regions.h"

namespace quillon {

struct TPreviewBBox {
  bool Valid = false;
  QVector3D Min, Max;
  QVector3D Centre() const { return (Min + Max) / 2; }
  QVector3D Size() const { return Max - Min; }
};

// One mesh: three vertices per triangle, not shared, each with its triangle's normal.
struct TPreviewMesh {
  std::vector<QVector3D> Vertices;
  std::vector<QVector3D> Normals;
  std::vector<std::uint32_t> Indices;
  bool Visible = true;
  float Opacity = 1;
};

// A lit material; colours are ARGB.
struct TPreviewMaterial {
  std::uint32_t Diffuse = 0xFFFFFFFF;
  std::uint32_t Ambient = 0xFF202020;
  std::uint32_t Specular = 0;
  std::uint32_t Emissive = 0;
  float Shininess = 1;
};

// A directional light: its colour and the direction it shines in (scene frame).
struct TPreviewLight {
  std::uint32_t Color = 0xFFFFFFFF;
  QVector3D Direction;
};

// The direction of a light turned by the rotation angles (degrees, about x, then y, then
// z) from shining along +z.
QVector3D lightDirection(float ax, float ay, float az);

class TPreviewScene {
 public:
  TPreviewScene();

  // The background of the viewport.
  static constexpr std::uint32_t kBackground = 0xFF101015;
  // The largest side of a framed model, in scene units.
  static constexpr float kFramedSize = 18;

  // Mesh buffers of the triangles: centred on the box and scaled by `scale` when it is
  // above 0, taken unchanged otherwise; z also multiplied by zFactor.
  static void FillPreviewMesh(const TTriangleList *triangles, TPreviewMesh &mesh, const TPreviewBBox &box,
                              float scale, float zFactor);
  // Measures the triangles' box into `box`, then fills the mesh as FillPreviewMesh.
  static void FillPreviewMeshAndBBox(const TTriangleList *triangles, TPreviewMesh &mesh, TPreviewBBox &box,
                                     float scale, float zFactor);
  // Sets apart the horizontal floors that lie inside the thickness (text recesses).
  static void SplitRecessTriangles(const TTriangleList *triangles, TTriangleList &main, TTriangleList &recess);

  // The base in the main mesh, its recess floors in the recess mesh (shown only when
  // there are any).
  void UpdatePreviewMesh(const TTriangleList &triangles);
  // The separate text bodies in the text mesh, shown when there are any.
  void UpdateTextMesh(const TTriangleList *triangles);
  // Frames the camera on FBBox: scene scale, distance and a view from above the top face.
  // Nothing while the box is not valid.
  void FrameBoundingBox();
  // Places the camera and its target from yaw, pitch, distance and pan.
  void UpdateCamera();
  // The looks of the materials from the colour (ARGB) and the preset index.
  void ApplyMaterial(std::uint32_t color, int preset);

  // Dragging and the wheel; positions in viewport pixels.
  void ViewportMouseDown(QPointF pos, bool rightButton);
  void ViewportMouseMove(QPointF pos);
  void ViewportMouseUp();
  void ViewportMouseWheel(int delta);
  bool MouseDown() const { return FMouseDown; }

  // The camera line of the status bar for a viewport of that size.
  QString CameraStatus(float viewportWidth, float viewportHeight) const;

  TPreviewMesh FMesh, FRecessMesh, FTextMesh;
  TPreviewMaterial FMaterial, FRecessMaterial, FTextMaterial;
  TPreviewLight FLight1, FLight2;
  float FYaw = 180, FPitch = -15, FCameraDistance = 100, FPanX = 0, FPanY = 0;
  float FFieldOfView = 30;
  QVector3D FCameraPosition, FCameraTarget;
  bool FCameraPlaced = false;
  TPreviewBBox FBBox;
  float FSceneScale = 0;

 private:
  bool FMouseDown = false;
  bool FMouseRight = false;
  QPointF FMouseStart;
  float FStartYaw = 0, FStartPitch = 0, FStartPanX = 0, FStartPanY = 0;
};

}  // namespace quillon
