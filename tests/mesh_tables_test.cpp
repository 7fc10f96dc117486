// The compiled-in ring: counts and documented rows, and a closed, consistently
// wound solid of the described shape.
#include "drawables/mesh/MeshData.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>

using namespace OBJ;

namespace {

using V3 = std::array<double, 3>;

V3 Vertex(int i) { return {meshVertices[i][0], meshVertices[i][1], meshVertices[i][2]}; }
V3 Normal(int i) { return {meshNormals[i][0], meshNormals[i][1], meshNormals[i][2]}; }
V3 Sub(const V3& a, const V3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 Cross(const V3& a, const V3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const V3& a) { return std::sqrt(Dot(a, a)); }
double Radius(const V3& a) { return std::hypot(a[0], a[1]); }

// Twice the area, pointing to the side the corners run counter-clockwise.
V3 FaceCross(const MeshFace& f)
{
    return Cross(Sub(Vertex(f.vertex[1]), Vertex(f.vertex[0])), Sub(Vertex(f.vertex[2]), Vertex(f.vertex[0])));
}

// Seam copies share a position but not a row: weld by position.
std::array<long, 3> Welded(int vertex)
{
    const V3 v = Vertex(vertex);
    return {std::lround(v[0] * 1e5), std::lround(v[1] * 1e5), std::lround(v[2] * 1e5)};
}

void ExpectRow(const float* row, std::initializer_list<double> expected)
{
    int i = 0;
    for (double e : expected)
        EXPECT_NEAR(row[i++], e, 1e-6 + std::fabs(e) * 1e-6);
}

} // namespace

TEST(MeshTables, CountsAndDocumentedRows)
{
    int covered = 0;
    for (const MeshMaterialRun& run : meshMaterialRuns) {
        EXPECT_EQ(run.material, 0);
        covered += run.faceCount;
    }
    EXPECT_EQ(covered, meshFaceCount);

    const MeshMaterial& m = meshMaterials[0];
    ExpectRow(m.ambient, {1.082353, 3.011765, 1.772549});
    ExpectRow(m.diffuse, {3, 3, 3});
    ExpectRow(m.specular, {69 / 255.0, 192 / 255.0, 113 / 255.0});
    ExpectRow(m.emission, {0, 0, 0});
    EXPECT_EQ(m.alpha, 1.0f);
    EXPECT_EQ(m.unused[0], 0x42C20305u);
    EXPECT_EQ(m.unused[1], 0xFFFFFFFFu);

    ExpectRow(meshVertices[0], {0.482628, 0.130593, -0.0612797});
    ExpectRow(meshVertices[1], {0.482628, 0.130593, 0.0612797});
    ExpectRow(meshVertices[2], {0.433293, 0.249602, -0.0612797});
    ExpectRow(meshNormals[0], {0.887067, 0.46164, 1.52092e-08});
    ExpectRow(meshNormals[1], {0.923604, 0.383348, 0.000453808});
    ExpectRow(meshNormals[2], {0.923769, 0.38295, 0});
    ExpectRow(meshTexCoords[0], {0, 0});

    const int firstFaces[4][6] = {
        {2, 1, 0, 0, 1, 2}, {7, 1, 2, 3, 1, 0}, {10, 7, 2, 4, 3, 0}, {12, 7, 10, 5, 3, 4}};
    for (int f = 0; f < 4; ++f)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(meshFaces[f].vertex[c], firstFaces[f][c]) << "face " << f;
            EXPECT_EQ(meshFaces[f].normal[c], firstFaces[f][3 + c]) << "face " << f;
        }
    // The documented normals agree with the faces around their corners.
    const V3 face0 = FaceCross(meshFaces[0]);
    const V3 face1 = FaceCross(meshFaces[1]);
    EXPECT_GT(Dot(Normal(2), face0) / Length(face0), 0.99999);
    EXPECT_GT(Dot(Normal(1), face0) / Length(face0) + Dot(Normal(1), face1) / Length(face1), 2 * 0.99999);
}

TEST(MeshTables, EveryFaceIsValidAndWoundTowardsItsNormals)
{
    std::set<int> usedVertices, usedNormals;
    for (int f = 0; f < meshFaceCount; ++f) {
        const MeshFace& face = meshFaces[f];
        for (int c = 0; c < 3; ++c) {
            ASSERT_GE(face.vertex[c], 0);
            ASSERT_LT(face.vertex[c], meshVertexCount);
            ASSERT_GE(face.normal[c], 0);
            ASSERT_LT(face.normal[c], meshNormalCount);
            ASSERT_EQ(face.texCoord[c], 0);
            usedVertices.insert(face.vertex[c]);
            usedNormals.insert(face.normal[c]);
        }
        const V3 cross = FaceCross(face);
        EXPECT_GT(Length(cross), 1e-5) << "degenerate face " << f;
        for (int c = 0; c < 3; ++c)
            EXPECT_GT(Dot(cross, Normal(face.normal[c])) / Length(cross), 0.7)
                << "face " << f << " turns away from corner " << c << "'s normal";
    }
    EXPECT_EQ(static_cast<int>(usedVertices.size()), meshVertexCount);
    EXPECT_EQ(static_cast<int>(usedNormals.size()), meshNormalCount);
    for (int n = 0; n < meshNormalCount; ++n)
        EXPECT_NEAR(Length(Normal(n)), 1.0, 1e-5) << "normal " << n;
}

TEST(MeshTables, SurfaceIsClosedAndConsistentlyWound)
{
    // Every edge, by position, borders exactly two faces which run along it in
    // opposite directions.
    std::map<std::pair<std::array<long, 3>, std::array<long, 3>>, int> directed;
    for (const MeshFace& face : meshFaces)
        for (int c = 0; c < 3; ++c)
            ++directed[{Welded(face.vertex[c]), Welded(face.vertex[(c + 1) % 3])}];
    EXPECT_EQ(directed.size(), 3u * meshFaceCount);
    for (const auto& edge : directed) {
        EXPECT_EQ(edge.second, 1) << "edge run twice the same way";
        EXPECT_EQ(directed.count({edge.first.second, edge.first.first}), 1u) << "open edge";
    }
    std::set<std::array<long, 3>> corners;
    for (int v = 0; v < meshVertexCount; ++v)
        corners.insert(Welded(v));
    // A closed ring: Euler characteristic 0.
    EXPECT_EQ(static_cast<int>(corners.size()) - 3 * meshFaceCount / 2 + meshFaceCount, 0);
}

TEST(MeshTables, ShapeIsTheBevelledRing)
{
    double maxRadius = 0, minRadius = 1, maxX = 0, maxY = 0, maxZ = 0;
    std::set<long> outerStations;
    for (int v = 0; v < meshVertexCount; ++v) {
        const V3 p = Vertex(v);
        maxRadius = std::max(maxRadius, Radius(p));
        minRadius = std::min(minRadius, Radius(p));
        maxX = std::max(maxX, std::fabs(p[0]));
        maxY = std::max(maxY, std::fabs(p[1]));
        maxZ = std::max(maxZ, std::fabs(p[2]));
        const double z = std::fabs(p[2]);
        EXPECT_TRUE(std::fabs(z - 0.0711) < 1e-6 || z <= 0.0613) << "vertex " << v << " z " << p[2];
        if (Radius(p) > 0.499)
            outerStations.insert(std::lround(std::atan2(p[1], p[0]) * 180 / M_PI / 15 + 24) % 24);
    }
    EXPECT_NEAR(maxRadius, 0.5, 1e-4);
    EXPECT_NEAR(maxX, 0.5, 1e-4);
    EXPECT_NEAR(maxY, 0.5, 1e-4);
    EXPECT_NEAR(maxZ, 0.0711, 1e-6);
    EXPECT_GE(minRadius, 0.358);
    EXPECT_LE(minRadius, 0.361 + 1e-6);
    EXPECT_EQ(outerStations.size(), 24u) << "the outer wall has 24 stations 15 degrees apart";

    // Flat faces lie at +-0.0711; nothing reaches into the hole beyond the
    // inner wall's flat sides (apothem of 0.361 over 24 segments).
    int flat = 0;
    for (const MeshFace& face : meshFaces) {
        const V3 cross = FaceCross(face);
        if (std::fabs(cross[2]) / Length(cross) > 0.9999) {
            ++flat;
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(std::fabs(Vertex(face.vertex[c])[2]), 0.0711, 1e-6);
        }
        for (int c = 0; c < 3; ++c) {
            const V3 a = Vertex(face.vertex[c]), b = Vertex(face.vertex[(c + 1) % 3]);
            const V3 mid = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, 0};
            EXPECT_GT(Radius(mid), 0.3575);
        }
    }
    EXPECT_GT(flat, 2 * 24);
}
