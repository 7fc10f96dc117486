#include "tools/pictures/Canvas.h"
#include "tools/pictures/ClosingPictures.h"

namespace Pictures {

void WriteClosingPictures(const std::string& dataDir)
{
    ClosingArt::WriteSkylines(dataDir + "/flat");
    ClosingArt::WriteBoxBackgrounds(dataDir + "/kasser");
    ClosingArt::WriteBoxFaces(dataDir + "/kasser");
    ClosingArt::WriteGreetings(dataDir + "/kasser");
    ClosingArt::WriteEndPictures(dataDir + "/end");
}

} // namespace Pictures
