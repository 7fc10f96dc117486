#include "tools/mesh/RingProfile.h"

#include <cmath>

namespace MeshGen {

namespace {
const double pi = 3.14159265358979323846;

// Outer wall bottom and top at the first station, bottom at the second.
const Vec3 fixedVertices[3] = {
    {0.482628, 0.130593, -0.0612797},
    {0.482628, 0.130593, 0.0612797},
    {0.433293, 0.249602, -0.0612797},
};
} // namespace

const std::array<EdgeLoop, Ring::LoopCount>& Profile()
{
    using namespace Ring;
    static const std::array<EdgeLoop, LoopCount> loops = {{
        {outerRadius, -wallHeight, segments, false},
        {outerRadius, wallHeight, segments, false},
        {outerRadius - bevel, faceHeight, segments, true},
        {innerRadius + bevel, faceHeight, innerEdgePoints, true},
        {innerRadius, wallHeight, segments, false},
        {innerRadius, -wallHeight, segments, false},
        {innerRadius + bevel, -faceHeight, innerEdgePoints, true},
        {outerRadius - bevel, -faceHeight, segments, true},
    }};
    return loops;
}

const Vec3& FixedVertex(int row) { return fixedVertices[row]; }

double PointAngle(int points, int p)
{
    const double start = std::atan2(fixedVertices[0].y, fixedVertices[0].x);
    if (points != Ring::segments)
        return start + 2 * pi * p / points;
    // The walls' stations are 15 degrees apart; the first two follow the
    // fixed rows, which sit a little off that grid.
    if (p % points == 0)
        return start + 2 * pi * (p / points);
    if (p == 1)
        return std::atan2(fixedVertices[2].y, fixedVertices[2].x);
    return (15.0 + 15.0 * p) * pi / 180.0;
}

Vec3 PointPosition(int loop, int p)
{
    const EdgeLoop& edge = Profile()[loop];
    const int station = p % edge.points;
    const bool outerWall = loop == Ring::OuterBottom || loop == Ring::OuterTop;
    if (outerWall && station <= 1) {
        const Vec3& fixed = FixedVertex(station == 0 ? 0 : 2);
        return Vec3{fixed.x, fixed.y, edge.z};
    }
    const double angle = PointAngle(edge.points, station);
    return Vec3{edge.radius * std::cos(angle), edge.radius * std::sin(angle), edge.z};
}

Vec3 Subtract(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalized(const Vec3& v)
{
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return Vec3{v.x / length, v.y / length, v.z / length};
}

} // namespace MeshGen
