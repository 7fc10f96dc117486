#pragma once
// Writers of the closing scenes' pictures, one per scene folder.
#include <string>

namespace Pictures {
namespace ClosingArt {

// Size of the white, opaque block in the top-left corner of the lit front
// skyline (the texel the city's rings are tinted by).
constexpr int CornerBlock = 8;

// The fourteen invented groups greeted by the box scene, in picture order.
constexpr int GreetingCount = 14;
extern const char* const GreetingNames[GreetingCount];

void WriteSkylines(const std::string& flatDir);     // cityBack, cityFront and their lit versions
void WriteBoxBackgrounds(const std::string& boxDir); // baggrund, baggrund-inv, flash
void WriteBoxFaces(const std::string& boxDir);       // kasse1 to kasse3
void WriteGreetings(const std::string& boxDir);      // greetings1 to greetings14
void WriteEndPictures(const std::string& endDir);    // baggrund, text

} // namespace ClosingArt
} // namespace Pictures
