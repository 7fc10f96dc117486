#pragma once
#include "tools/mesh/RingMesh.h"

namespace MeshGen {

// Builds the ring: each band between two neighbouring loops is zipped into
// triangles by angle, starting at the seam station and going once around.
// Rows are shared within a loop except at the seam and, for halved loops, at
// the half-way point. A corner's normal is the mean of the unit normals of the
// faces around its row in the same smoothing group: a band, cut into quarter
// turns except for the outer wall. Vertex rows and normals are numbered in
// order of first use, with the documented first rows pinned in place.
RingMesh BuildRing();

} // namespace MeshGen
