#pragma once
// The ring mesh, compiled in as constant tables (MeshData.cpp is written by
// ruvo-meshgen). Indices count from 0.
#include <cstdint>

namespace OBJ {

struct MeshMaterial {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float alpha; // fourth component of all four colours
    std::uint32_t unused[2];
};

// Corners 1, 2, 3: indices into meshVertices, meshNormals, meshTexCoords.
struct MeshFace {
    std::int16_t vertex[3];
    std::int16_t normal[3];
    std::int16_t texCoord[3];
};

// Consecutive faces drawn with one material.
struct MeshMaterialRun {
    std::int32_t material;
    std::int32_t faceCount;
};

const int meshMaterialCount = 1;
const int meshFaceCount = 376;
const int meshVertexCount = 200;
const int meshNormalCount = 434;
const int meshTexCoordCount = 1;
const int meshMaterialRunCount = 1;

extern const MeshMaterial meshMaterials[meshMaterialCount];
extern const MeshFace meshFaces[meshFaceCount];
extern const float meshVertices[meshVertexCount][3];
extern const float meshNormals[meshNormalCount][3];
extern const float meshTexCoords[meshTexCoordCount][2];
extern const MeshMaterialRun meshMaterialRuns[meshMaterialRunCount];

} // namespace OBJ
