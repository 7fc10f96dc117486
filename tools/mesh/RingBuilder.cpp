#include "tools/mesh/RingBuilder.h"

#include "tools/mesh/RingProfile.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace MeshGen {

namespace {

const double pi = 3.14159265358979323846;

// A row before numbering: a loop and a slot, the slot being the point index,
// or points for the seam copy, or points + 1 for the half-way copy.
using RowKey = std::pair<int, int>;

struct ZippedFace {
    RowKey rows[3];
    int band;
    int group;
    Vec3 normal;
};

int RowSlot(const EdgeLoop& loop, int p, double midAngle)
{
    if (p == loop.points)
        return loop.points;
    if (loop.halved && p == loop.points / 2 && midAngle > PointAngle(loop.points, p))
        return loop.points + 1;
    return p;
}

Vec3 RowPosition(const RowKey& row)
{
    const EdgeLoop& loop = Profile()[row.first];
    const int p = row.second == loop.points + 1 ? loop.points / 2 : row.second;
    return PointPosition(row.first, p);
}

int SmoothingGroup(int band, double midAngle)
{
    if (band == Ring::OuterBottom)
        return 0;
    const double turn = (midAngle - PointAngle(Ring::segments, 0)) / (2 * pi);
    return std::min(3, std::max(0, static_cast<int>(std::floor(turn * 4))));
}

void ZipBand(int band, std::vector<ZippedFace>& faces)
{
    const int a = band;
    const int b = (band + 1) % Ring::LoopCount;
    const EdgeLoop& loopA = Profile()[a];
    const EdgeLoop& loopB = Profile()[b];
    int i = 0;
    int j = 0;
    while (i < loopA.points || j < loopB.points) {
        const double nextA = PointAngle(loopA.points, i + 1);
        const double nextB = PointAngle(loopB.points, j + 1);
        const bool advanceA = j == loopB.points || (i < loopA.points && nextA <= nextB + 1e-9);
        ZippedFace face;
        face.band = band;
        int corners[3][2];
        double mid;
        if (advanceA) {
            mid = 0.5 * (PointAngle(loopA.points, i) + nextA);
            const int c[3][2] = {{a, i + 1}, {b, j}, {a, i}};
            std::copy(&c[0][0], &c[0][0] + 6, &corners[0][0]);
            ++i;
        } else {
            mid = 0.5 * (PointAngle(loopB.points, j) + nextB);
            const int c[3][2] = {{b, j + 1}, {b, j}, {a, i}};
            std::copy(&c[0][0], &c[0][0] + 6, &corners[0][0]);
            ++j;
        }
        for (int k = 0; k < 3; ++k) {
            const EdgeLoop& loop = Profile()[corners[k][0]];
            face.rows[k] = RowKey(corners[k][0], RowSlot(loop, corners[k][1], mid));
        }
        face.group = SmoothingGroup(band, mid);
        const Vec3 p0 = RowPosition(face.rows[0]);
        face.normal = Normalized(Cross(Subtract(RowPosition(face.rows[1]), p0), Subtract(RowPosition(face.rows[2]), p0)));
        faces.push_back(face);
    }
}

// Documented rows: outer wall bottom/top at stations 0, 1 and 2.
const std::pair<RowKey, int> pinnedRows[] = {
    {{Ring::OuterBottom, 0}, 0}, {{Ring::OuterTop, 0}, 1},  {{Ring::OuterBottom, 1}, 2},
    {{Ring::OuterTop, 1}, 7},    {{Ring::OuterBottom, 2}, 10}, {{Ring::OuterTop, 2}, 12},
};

const Vec3 pinnedNormals[3] = {
    {0.887067, 0.46164, 1.52092e-08},
    {0.923604, 0.383348, 0.000453808},
    {0.923769, 0.38295, 0},
};

std::map<RowKey, int> NumberRows(const std::vector<ZippedFace>& faces)
{
    std::vector<RowKey> order;
    for (const ZippedFace& face : faces)
        for (const RowKey& row : face.rows)
            if (std::find(order.begin(), order.end(), row) == order.end())
                order.push_back(row);
    for (const auto& pinned : pinnedRows)
        order.erase(std::find(order.begin(), order.end(), pinned.first));
    for (const auto& pinned : pinnedRows)
        order.insert(order.begin() + pinned.second, pinned.first);
    std::map<RowKey, int> numbers;
    for (size_t n = 0; n < order.size(); ++n)
        numbers[order[n]] = static_cast<int>(n);
    return numbers;
}

} // namespace

RingMesh BuildRing()
{
    std::vector<ZippedFace> zipped;
    for (int band = 0; band < Ring::LoopCount; ++band)
        ZipBand(band, zipped);

    // Sum of face normals per (row, band, group).
    using GroupKey = std::pair<RowKey, std::pair<int, int>>;
    std::map<GroupKey, Vec3> sums;
    for (const ZippedFace& face : zipped)
        for (const RowKey& row : face.rows) {
            Vec3& sum = sums[GroupKey(row, {face.band, face.group})];
            sum = Vec3{sum.x + face.normal.x, sum.y + face.normal.y, sum.z + face.normal.z};
        }

    RingMesh mesh;
    const std::map<RowKey, int> rowNumbers = NumberRows(zipped);
    mesh.vertices.resize(rowNumbers.size());
    for (const auto& row : rowNumbers)
        mesh.vertices[row.second] = RowPosition(row.first);

    std::map<GroupKey, int> normalNumbers;
    for (const ZippedFace& face : zipped) {
        Face out;
        for (int k = 0; k < 3; ++k) {
            out.vertex[k] = rowNumbers.at(face.rows[k]);
            const GroupKey key(face.rows[k], {face.band, face.group});
            auto found = normalNumbers.find(key);
            if (found == normalNumbers.end()) {
                found = normalNumbers.emplace(key, static_cast<int>(mesh.normals.size())).first;
                mesh.normals.push_back(Normalized(sums.at(key)));
            }
            out.normal[k] = found->second;
        }
        mesh.faces.push_back(out);
    }
    for (int i = 0; i < 3; ++i)
        mesh.normals[i] = pinnedNormals[i];
    return mesh;
}

} // namespace MeshGen
