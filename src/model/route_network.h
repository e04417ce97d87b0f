#pragma once
// The route network: the shortest way between two points along the drawn shapes, over
// lines, arcs, Beziers and the other outlines, changing from one shape to another where
// their ends meet or where they intersect.
//
// A network is made per query: it is built from the start point outward (vertices where
// shapes meet, joints along one shape between two vertices), then a label-correcting
// search with a first-in first-out queue gives every reached vertex its distance from the
// start and the joint by which it was reached. The caller walks those joints back from
// the end vertex and asks each one for the piece of shape it covers.
//
// Points are millimetres. Two points are the same point when they are equal after
// rounding both coordinates to 0.01 (isSamePoint with tolerance 0); "closer than 0.05"
// is a straight distance below 0.05.
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;
class TShapeList;
class TIntersection;
class TIntersections;

// Where the network touches one shape.
class TConnectionPointInfo {
 public:
  TConnectionPointInfo() = default;

  // Path = APath, Point = Pt; IsStartPt becomes true when Pt is closer than 0.05 to
  // APath's StartPt, otherwise IsEndPt becomes true when it is closer than 0.05 to its
  // EndPt. Flags are only ever set, never cleared.
  void SetPoint(TQN_Path *APath, TPointF Pt);
  // Path, Intersection and Point; the flags are untouched.
  void SetPoint(TQN_Path *APath, TIntersection *AIntersection, TPointF Pt);
  TConnectionPointInfo Clone() const { return *this; }

  TQN_Path *FPath = nullptr;  // not owned
  bool FIsStartPt = false;
  bool FIsEndPt = false;
  TIntersection *FIntersection = nullptr;  // not owned
  TPointF FPoint{-10000.0f, -10000.0f};
};

// An edge of the network: one shape between two connection points.
class TJointInfo {
 public:
  TJointInfo() = default;

  // Path = Pt2's Path; point 0 = Pt1, point 1 = Pt2.
  void SetJoint(const TConnectionPointInfo &Pt1, const TConnectionPointInfo &Pt2);
  // APath is this joint's shape and Pt is closer than 0.05 to one of its two points.
  bool hasPoint(const TQN_Path *APath, TPointF Pt) const;
  // The point of connection point 1 when pt is the same point as that of point 0;
  // otherwise the point of connection point 0.
  TPointF getOpponent(TPointF pt) const;
  // A copy of the joint's shape (every field copied) whose outline is only the piece
  // between the joint's two points.
  std::unique_ptr<TQN_Path> getActualPath() const;

  TQN_Path *FPath = nullptr;  // not owned
  float FLength = 0.0f;       // along the shape between the two points
  TConnectionPointInfo FPoints[2];
};

// A node of the network.
class TRouteVertex {
 public:
  TRouteVertex() = default;

  TPointF FPoint;                     // stored rounded to two decimals
  std::vector<TJointInfo *> FJoints;  // the joints that end here (not owned)
  float FMinDist = 0.0f;              // best known distance from the start; 0: unreached
  TJointInfo *FMinDistJoint = nullptr;
  TRouteVertex *FMinDistFromVertex = nullptr;
};

struct TRouteQueuePair {
  TRouteVertex *Vertex = nullptr;
  TJointInfo *Joint = nullptr;
};

class TVertexNetwork {
 public:
  // An empty network over these lists (not owned; they must outlive the network). The
  // look-up tables over them are made when first needed and kept until the next
  // dpConnect or clearAll, so the lists must not change in between.
  TVertexNetwork(const TShapeList &APathList, const TIntersections &AIntersections);
  ~TVertexNetwork();
  TVertexNetwork(const TVertexNetwork &) = delete;
  TVertexNetwork &operator=(const TVertexNetwork &) = delete;

  // Builds the network from rp1 and runs the search. False when rp1 and rp2 are the same
  // point, or when no vertex lies at rp2 after building (then no search runs).
  bool dpConnect(TPointF rp1, TPointF rp2);

  // The first vertex (creation order) at the same point as Pt, or null.
  TRouteVertex *GetVertex(TPointF Pt) const;
  // A new vertex at Pt rounded to two decimals (halves away from zero), appended.
  TRouteVertex *addVertex(TPointF Pt);

  // The steps of dpConnect.
  // Builds outward from pt: a joint along each shape that meets pt, then the same from
  // each joint's far end, depth first (with a work stack, so long chains of shapes do
  // not exhaust the call stack). A joint stops at goalPt when goalPt lies on an
  // intersection of its shape, and at the first intersection of its shape on the way.
  void dpConnectAddJoints(TPointF pt, TPointF goalPt);
  void addToQueue(TRouteVertex *AVertex, const TJointInfo *excludeJoint, TPointF excludePoint);
  void dpProcessQueue(TPointF excludePoint);
  // The connection points at Pt (new, owned by the caller): ends of shapes closer than
  // 0.05 and intersections at the same point; failing both, shapes whose outline passes
  // within 0.1.
  std::vector<TConnectionPointInfo> searchEdgeAndIntersections(TPointF Pt);
  // The first joint of Joints along APath with a point at pt1 and one at pt2, or null.
  TJointInfo *findJoint(const TQN_Path *APath, TPointF pt1, TPointF pt2) const;
  float calcPathLen(const TQN_Path *APath, TPointF FromPt, TPointF ToPt, float &Len2FromPt, float &Len2ToPt) const;
  bool hasIntersectionGoal(const TQN_Path *APath, TPointF FromPt, TPointF ToPt, TPointF GoalPt) const;
  // Where a joint along APath from FromPt towards ToPt stops: at the first intersection
  // of APath met on the way (so that crossings become vertices and a route can change
  // shapes there), or at ToPt when it meets none. The way is the one calcPathLen
  // measures: straight along a LINE, along the outline otherwise (the shorter way round
  // on a closed outline; from a point round to itself, towards the nearer intersection).
  // Intersections closer than 0.05 to FromPt or ToPt do not count.
  TPointF firstIntersectionOnTheWay(const TQN_Path *APath, TPointF FromPt, TPointF ToPt);
  // Lists every joint at both of its end vertices.
  void checkJoints();

  // The shapes (not pieces) along the best way into vtx, from vtx back to the start.
  std::vector<TQN_Path *> getActualPathList(const TRouteVertex *vtx) const;

  // Frees every joint and vertex and empties the queue. StartVertex and EndVertex must
  // not be used until the next dpConnect.
  void clearAll();

  // Diagnostic entry points; they do nothing.
  void debug_print_route(TPointF Pt) const;
  void debug_print_all_vertex() const;

  // The vertices in creation order.
  int Count() const { return static_cast<int>(FVertices.size()); }
  TRouteVertex *operator[](int i) const { return FVertices.at(static_cast<std::size_t>(i)).get(); }
  TRouteVertex *Items(int i) const { return (*this)[i]; }

  const std::deque<TRouteQueuePair> &VertexQueue() const { return FVertexQueue; }
  // Every joint in creation order, owned by the network.
  const std::vector<std::unique_ptr<TJointInfo>> &Joints() const { return FJoints; }
  TRouteVertex *StartVertex() const { return FStartVertex; }
  TRouteVertex *EndVertex() const { return FEndVertex; }

 private:
  struct PairHash {
    std::size_t operator()(const std::pair<const void *, const void *> &p) const noexcept;
  };
  struct Lookups;  // spatial look-ups over the shapes and the intersections

  static std::uint64_t pointKey(TPointF p);
  Lookups &lookups();
  void appendJoint(TRouteVertex *V, std::unique_ptr<TJointInfo> J);

  std::deque<TRouteQueuePair> FVertexQueue;
  const TShapeList &FPathList;
  std::vector<std::unique_ptr<TJointInfo>> FJoints;
  const TIntersections &FIntersections;
  TRouteVertex *FStartVertex = nullptr;
  TRouteVertex *FEndVertex = nullptr;
  std::vector<std::unique_ptr<TRouteVertex>> FVertices;

  // Look-up tables giving the same answers as scanning the lists in order.
  std::unordered_map<std::uint64_t, TRouteVertex *> FVertexAt;  // first vertex per rounded point
  struct JointCells;  // the joints by shape and by the places of their two points
  std::unique_ptr<JointCells> FJointCells;
  std::unordered_set<std::pair<const void *, const void *>, PairHash> FQueued;
  std::unique_ptr<Lookups> FLookups;
};

}  // namespace quillon
