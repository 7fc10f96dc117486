#pragma once
// The ring as the generator builds it: positions, corner normals and faces,
// in table order.
#include <vector>

namespace MeshGen {

struct Vec3 {
    double x, y, z;
};

struct Face {
    int vertex[3];
    int normal[3];
};

struct RingMesh {
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
    std::vector<Face> faces;
};

Vec3 Subtract(const Vec3& a, const Vec3& b);
Vec3 Cross(const Vec3& a, const Vec3& b);
Vec3 Normalized(const Vec3& v);

} // namespace MeshGen
