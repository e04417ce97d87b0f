// The 3D preview as values: mesh buffers, the framing of the camera, the mouse rules, the
// material looks and the recess floors set apart.
#include <gtest/gtest.h>

#include <cmath>

#include "stl/preview_scene.h"

namespace quillon::test {

namespace {

TTriangle3D tri(TVec3 a, TVec3 b, TVec3 c) { return {a, b, c}; }

// A box-shaped list: two triangles at z = 0 and two at z = h spanning w x d, enough to
// give the bounding box its size.
TTriangleList slabCaps(double w, double d, double h) {
  return {tri({0, 0, 0}, {w, 0, 0}, {w, d, 0}), tri({0, 0, 0}, {w, d, 0}, {0, d, 0}),
          tri({0, 0, h}, {w, d, h}, {w, 0, h}), tri({0, 0, h}, {0, d, h}, {w, d, h})};
}

std::uint32_t rgbOf(int r, int g, int b) { return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b); }

}  // namespace

TEST(PreviewScene, FramingA100By50By5ModelAndATinyOne) {
  TPreviewScene scene;
  const TTriangleList model = slabCaps(100, 50, 5);
  TPreviewMesh measured;
  TPreviewScene::FillPreviewMeshAndBBox(&model, measured, scene.FBBox, 0, 1);
  ASSERT_TRUE(scene.FBBox.Valid);
  EXPECT_EQ(scene.FBBox.Size(), QVector3D(100, 50, 5));
  EXPECT_EQ(measured.Vertices[1], QVector3D(100, 0, 0));  // unscaled without a scale
  scene.FrameBoundingBox();
  EXPECT_NEAR(scene.FSceneScale, 0.18, 1e-6);
  EXPECT_NEAR(scene.FCameraDistance, 18 / (2 * std::tan(15 * M_PI / 180)) * 1.1, 1e-3);
  EXPECT_NEAR(scene.FCameraDistance, 36.9, 0.05);
  EXPECT_EQ(scene.FYaw, 180);
  EXPECT_EQ(scene.FPitch, -35);
  // The camera stands above (negative y) and on the side of negative z, facing z = 0.
  EXPECT_LT(scene.FCameraPosition.y(), 0);
  EXPECT_LT(scene.FCameraPosition.z(), 0);
  EXPECT_NEAR(scene.FCameraPosition.x(), 0, 1e-4);

  // Shown centred and scaled: the largest side measures 18 scene units.
  scene.UpdatePreviewMesh(model);
  float minX = 1e9f, maxX = -1e9f;
  for (const QVector3D &v : scene.FMesh.Vertices) {
    minX = std::min(minX, v.x());
    maxX = std::max(maxX, v.x());
  }
  EXPECT_NEAR(minX, -9, 1e-5);
  EXPECT_NEAR(maxX, 9, 1e-5);

  TPreviewScene tiny;
  const TTriangleList dot = slabCaps(0.0005, 0.0002, 0.0001);
  TPreviewScene::FillPreviewMeshAndBBox(&dot, measured, tiny.FBBox, 0, 1);
  tiny.FrameBoundingBox();
  EXPECT_FLOAT_EQ(tiny.FSceneScale, 18);

  TPreviewScene none;
  none.FrameBoundingBox();  // no box: nothing changes
  EXPECT_EQ(none.FSceneScale, 0);
  EXPECT_FALSE(none.FCameraPlaced);
}

TEST(PreviewScene, MeshBuffersHaveThreeVerticesPerTriangleWithItsNormal) {
  const TTriangleList list = {tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({0, 0, 0}, {0, 0, 0}, {0, 0, 0})};
  TPreviewMesh mesh;
  TPreviewBBox box;
  box.Valid = true;
  box.Min = {0, 0, 0};
  box.Max = {2, 2, 2};
  TPreviewScene::FillPreviewMesh(&list, mesh, box, 2, 0.5f);
  ASSERT_EQ(mesh.Vertices.size(), 6u);
  ASSERT_EQ(mesh.Indices.size(), 6u);
  for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(mesh.Indices[i], i);
  EXPECT_EQ(mesh.Vertices[1], QVector3D(0, -2, -1));  // ((1-1)*2, (0-1)*2, (0-1)*2*0.5)
  EXPECT_EQ(mesh.Normals[0], QVector3D(0, 0, 1));
  EXPECT_EQ(mesh.Normals[4], QVector3D(0, 0, 1));  // degenerate: the fallback normal
  TPreviewScene::FillPreviewMesh(nullptr, mesh, box, 2, 1);
  EXPECT_TRUE(mesh.Vertices.empty());
  EXPECT_TRUE(mesh.Indices.empty());
}

TEST(PreviewScene, DraggingAndTheWheelMoveTheCameraWithinTheirLimits) {
  TPreviewScene scene;
  scene.FPitch = -35;
  scene.ViewportMouseDown({200, 400}, false);
  scene.ViewportMouseMove({200, 100});  // 300 px up
  EXPECT_FLOAT_EQ(scene.FPitch, 85);
  scene.ViewportMouseMove({200, 0});  // 400 px up: held at the limit
  EXPECT_FLOAT_EQ(scene.FPitch, 85);
  scene.ViewportMouseMove({250, 400});
  EXPECT_FLOAT_EQ(scene.FYaw, 200);
  EXPECT_FLOAT_EQ(scene.FPitch, -35);
  scene.ViewportMouseUp();
  scene.ViewportMouseMove({0, 0});  // no drag: nothing moves
  EXPECT_FLOAT_EQ(scene.FYaw, 200);

  scene.FCameraDistance = 50;
  scene.ViewportMouseDown({10, 10}, true);
  scene.ViewportMouseMove({110, 10});
  EXPECT_FLOAT_EQ(scene.FPanX, -10);
  EXPECT_FLOAT_EQ(scene.FCameraTarget.x(), -10);
  scene.ViewportMouseUp();

  scene.FCameraDistance = 10;
  for (int i = 0; i < 5; ++i) scene.ViewportMouseWheel(-120);
  EXPECT_NEAR(scene.FCameraDistance, 10 * std::pow(0.9, -5), 1e-4);
  EXPECT_NEAR(scene.FCameraDistance, 16.9, 0.05);
  for (int i = 0; i < 200; ++i) scene.ViewportMouseWheel(1200);
  EXPECT_FLOAT_EQ(scene.FCameraDistance, 0.5f);
  for (int i = 0; i < 200; ++i) scene.ViewportMouseWheel(-1200);
  EXPECT_FLOAT_EQ(scene.FCameraDistance, 5000);
}

TEST(PreviewScene, MaterialPresetsSetTheLooksAndTheRecessFloorsShowDarker) {
  struct TCase {
    int preset;
    double ambient;
    std::uint32_t specular;
    float shininess;
    std::uint32_t emissive;
    float opacity;
  };
  const TCase cases[] = {{0, 0.16, 0, 1, 0, 1},          {1, 0.55, 0x30FFFFFF, 8, 0xFF181818, 1},
                         {2, 0.30, 0xA0FFFFFF, 64, 0, 1}, {3, 0.45, 0x80FFFFFF, 32, 0, 0.65f},
                         {4, 0.50, 0xFFFFFFFF, 96, 0xFF303030, 1}, {5, 0.25, 0, 1, 0, 1},
                         {-1, 0.20, 0, 1, 0, 1},         {9, 0.20, 0, 1, 0, 1}};
  TPreviewScene scene;
  for (const TCase &c : cases) {
    scene.ApplyMaterial(0x80C86432, c.preset);  // R 200, G 100, B 50; the alpha is not used
    EXPECT_EQ(scene.FMaterial.Diffuse, 0xFFC86432u) << c.preset;
    EXPECT_EQ(scene.FMaterial.Ambient,
              rgbOf(int(std::lround(200 * c.ambient)), int(std::lround(100 * c.ambient)), int(std::lround(50 * c.ambient))))
        << c.preset;
    EXPECT_EQ(scene.FRecessMaterial.Diffuse, rgbOf(120, 60, 30)) << c.preset;
    EXPECT_EQ(scene.FMaterial.Specular, c.specular) << c.preset;
    EXPECT_EQ(scene.FRecessMaterial.Shininess, c.shininess) << c.preset;
    EXPECT_EQ(scene.FMaterial.Emissive, c.emissive) << c.preset;
    EXPECT_FLOAT_EQ(scene.FMesh.Opacity, c.opacity) << c.preset;
  }
  EXPECT_EQ(scene.FTextMaterial.Diffuse, 0xFF3060E0u);  // the text bodies keep their blue
}

TEST(PreviewScene, HorizontalFloorsInsideTheThicknessAreSetApart) {
  TTriangleList list = slabCaps(10, 10, 2);
  // A recess floor at z = 1.5 (horizontal, inside), a wall (vertical) and a floor just
  // inside the margin at z = 1.99 (2 % of 2 is 0.04: not inside).
  list.push_back(tri({1, 1, 1.5}, {2, 1, 1.5}, {2, 2, 1.5}));
  list.push_back(tri({0, 0, 0}, {0, 0, 2}, {0, 5, 2}));
  list.push_back(tri({1, 1, 1.99}, {2, 1, 1.99}, {2, 2, 1.99}));
  TTriangleList main, recess;
  TPreviewScene::SplitRecessTriangles(&list, main, recess);
  ASSERT_EQ(recess.size(), 1u);
  EXPECT_EQ(recess[0].A.Z, 1.5);
  EXPECT_EQ(main.size(), 6u);

  TPreviewScene scene;
  scene.UpdatePreviewMesh(list);
  EXPECT_TRUE(scene.FRecessMesh.Visible);
  EXPECT_EQ(scene.FRecessMesh.Vertices.size(), 3u);
  scene.UpdatePreviewMesh(slabCaps(10, 10, 2));
  EXPECT_FALSE(scene.FRecessMesh.Visible);

  // A flat list has no thickness: everything stays in the main part.
  const TTriangleList flat = {tri({0, 0, 1}, {1, 0, 1}, {1, 1, 1})};
  TPreviewScene::SplitRecessTriangles(&flat, main, recess);
  EXPECT_EQ(main.size(), 1u);
  EXPECT_TRUE(recess.empty());
}

TEST(PreviewScene, TheCameraLineNamesSizeScaleDepthAndCamera) {
  TPreviewScene scene;
  const TTriangleList model = slabCaps(100, 50, 5);
  TPreviewMesh measured;
  TPreviewScene::FillPreviewMeshAndBBox(&model, measured, scene.FBBox, 0, 1);
  scene.FrameBoundingBox();
  scene.UpdatePreviewMesh(model);
  EXPECT_EQ(scene.CameraStatus(620, 600),
            QStringLiteral("mm=100.0x50.0x5.0  scale=0.180  scnZ=-0.45..0.45  vp=620x600  cam.dist=36.9  "
                           "fov=30.0\u00B0  yaw=180  UDC=False  CamOK=True"));
}

}  // namespace quillon::test
