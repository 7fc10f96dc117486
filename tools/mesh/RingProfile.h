#pragma once
// The cross-section of the ring: eight edge loops around the z axis, listed
// counter-clockwise in the (radius, z) plane so that every band between two
// neighbouring loops faces out of the solid.
#include "tools/mesh/RingMesh.h"

#include <array>

namespace MeshGen {

struct EdgeLoop {
    double radius;
    double z;
    int points;  // evenly spaced, except the two first stations of the walls
    bool halved; // stored as two half rings (a second copy of its half-way point)
};

namespace Ring {
const double outerRadius = 0.5;
const double innerRadius = 0.361;
const double wallHeight = 0.0612797; // |z| of the walls' edges
const double faceHeight = 0.0711;    // |z| of the flat faces
const double bevel = faceHeight - wallHeight; // 45 degree bevels
const int segments = 24;
// A closed ring of 376 triangles has 188 distinct corners, four short of
// eight 24-point loops; the inner edges of the flat faces take the
// difference (22 points), where the eye does not catch it.
const int innerEdgePoints = 22;

enum LoopId { OuterBottom, OuterTop, TopOuterEdge, TopInnerEdge, InnerTop, InnerBottom, BottomInnerEdge,
              BottomOuterEdge, LoopCount };
} // namespace Ring

// The loops in profile order; band b joins loop b and loop b + 1 (cyclic).
const std::array<EdgeLoop, Ring::LoopCount>& Profile();

// Angle in radians of point p (0 .. points, the last being the first again
// one turn on) of a loop with the given number of points.
double PointAngle(int points, int p);

// Position of point p of loop l.
Vec3 PointPosition(int loop, int p);

// The first table rows are fixed: the outer wall at the first two stations.
const Vec3& FixedVertex(int row);

} // namespace MeshGen
