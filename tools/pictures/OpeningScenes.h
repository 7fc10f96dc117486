#pragma once
// The opening scenes' picture writers and the pieces they share.
#include "tools/pictures/Paint.h"

#include <string>

namespace Pictures {

struct ScenePalette {
    Colour top, bottom; // sky gradient
    Colour lightA, lightB; // the two hues of light and haze
};

// The common ground of a full-screen backdrop: gradient, haze, big lights
// and bokeh. Scenes paint their own motif over it and then call FinishBackdrop.
void PaintBackdrop(Canvas& canvas, const ScenePalette& palette, unsigned seed);
void FinishBackdrop(Canvas& canvas, unsigned seed);

// Writes `background` as baggrund.png and a bright version as flash.png in `dir`.
void SaveWithFlash(Canvas& background, const std::string& dir, Colour flashTint);

void WriteLoadingPicture(const std::string& dataDir);
void WriteLogoPictures(const std::string& dataDir);
void WriteParticlePictures(const std::string& dataDir);
void WriteCylinderPictures(const std::string& dataDir);
void WriteBallPictures(const std::string& dataDir);
void WriteDrinkPictures(const std::string& dataDir);

} // namespace Pictures
