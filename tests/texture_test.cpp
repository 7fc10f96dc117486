// Picture loading through the registry: one GL name per file name, every
// format the decoder knows brought to RGBA, and bad files turned into errors.
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "platform/Platform.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

using TestSupport::Texel;

namespace {

// A minimal PNG encoder (stored deflate blocks), so that tests can produce
// the palette and grey layouts that the Cairo helper does not write.
class PngFile {
public:
    enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, RgbAlpha = 6 };

    PngFile(int width, int height, ColourType type) : width(width), height(height), type(type) {}

    // Raw samples of one row, without the filter byte.
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;      // RGB triples
    std::vector<uint8_t> transparency; // tRNS entries of the palette

    std::string Encode() const
    {
        std::string out("\x89PNG\r\n\x1a\n", 8);
        std::string header;
        AppendBigEndian(header, static_cast<uint32_t>(width));
        AppendBigEndian(header, static_cast<uint32_t>(height));
        header += std::string{8, static_cast<char>(type), 0, 0, 0};
        AppendChunk(out, "IHDR", header);
        if (!palette.empty())
            AppendChunk(out, "PLTE", std::string(palette.begin(), palette.end()));
        if (!transparency.empty())
            AppendChunk(out, "tRNS", std::string(transparency.begin(), transparency.end()));
        AppendChunk(out, "IDAT", ZlibStored(FilteredRows()));
        AppendChunk(out, "IEND", "");
        return out;
    }

private:
    static void AppendBigEndian(std::string& out, uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((value >> shift) & 0xFF);
    }

    static uint32_t Crc(const std::string& bytes)
    {
        uint32_t crc = 0xFFFFFFFFu;
        for (unsigned char byte : bytes) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return crc ^ 0xFFFFFFFFu;
    }

    static void AppendChunk(std::string& out, const char* kind, const std::string& data)
    {
        AppendBigEndian(out, static_cast<uint32_t>(data.size()));
        const std::string body = std::string(kind) + data;
        out += body;
        AppendBigEndian(out, Crc(body));
    }

    static std::string ZlibStored(const std::string& data)
    {
        std::string out("\x78\x01", 2);
        size_t at = 0;
        do {
            const size_t size = std::min<size_t>(data.size() - at, 65535);
            const bool last = at + size == data.size();
            out += static_cast<char>(last ? 1 : 0);
            out += static_cast<char>(size & 0xFF);
            out += static_cast<char>(size >> 8);
            out += static_cast<char>(~size & 0xFF);
            out += static_cast<char>((~size >> 8) & 0xFF);
            out.append(data, at, size);
            at += size;
        } while (at < data.size());
        uint32_t a = 1, b = 0;
        for (unsigned char byte : data) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        AppendBigEndian(out, (b << 16) | a);
        return out;
    }

    std::string FilteredRows() const
    {
        std::string data;
        for (const auto& row : rows) {
            data += '\0';
            data.append(row.begin(), row.end());
        }
        return data;
    }

    int width;
    int height;
    ColourType type;
};

// The uploaded level 0 of the bound texture, read back from GL.
struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> texels;

    Texel At(int x, int y) const
    {
        const uint8_t* p = &texels[(static_cast<size_t>(y) * width + x) * 4];
        return Texel{p[0], p[1], p[2], p[3]};
    }
};

TextureImage ReadBoundTexture()
{
    TextureImage image;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.texels.resize(static_cast<size_t>(image.width) * image.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.texels.data());
    return image;
}

GLint BoundTexture()
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ExpectTexel(const TextureImage& image, int x, int y, Texel expected)
{
    const Texel got = image.At(x, y);
    EXPECT_EQ(int(got.r), int(expected.r)) << "red at " << x << "," << y;
    EXPECT_EQ(int(got.g), int(expected.g)) << "green at " << x << "," << y;
    EXPECT_EQ(int(got.b), int(expected.b)) << "blue at " << x << "," << y;
    EXPECT_EQ(int(got.a), int(expected.a)) << "alpha at " << x << "," << y;
}

class TextureTest : public TestSupport::GlTest {
protected:
    TestSupport::TestData data;

    // Loads `path` as the show does (mipmapped) and reads level 0 back.
    TextureImage Load(const std::string& path)
    {
        Drawables::Texture texture(path.c_str(), *graphics, false, true);
        EXPECT_EQ(BoundTexture(), static_cast<GLint>(texture.id));
        return ReadBoundTexture();
    }

    // A 4 x 2 palette picture: top row red, green, blue, white; bottom row
    // the same colours from the right.
    PngFile PalettePicture() const
    {
        PngFile png(4, 2, PngFile::Palette);
        png.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
        png.rows = {{0, 1, 2, 3}, {3, 2, 1, 0}};
        return png;
    }

    // Writes a BMP of the given masks byte by byte: 32-bit pictures with a
    // version 4 header and bit fields (alpha included), 24-bit ones plain.
    // Not through SDL_SaveBMP: classic SDL 1.2 saves every picture as 24-bit
    // BGR, blending away the alpha it was meant to carry, so the file would
    // depend on the SDL under test.
    void WriteBmp(const std::string& path, int bits, Uint32 r, Uint32 g, Uint32 b, Uint32 a,
                  const std::vector<Uint32>& pixels, int width, int height)
    {
        const bool fields = bits == 32;
        const int infoSize = fields ? 108 : 40;
        const int bytes = bits / 8;
        const int pitch = (width * bytes + 3) / 4 * 4;
        const int offset = 14 + infoSize;
        std::string file;
        auto put = [&file](Uint32 value, int size) {
            for (int i = 0; i < size; ++i)
                file += static_cast<char>(value >> (8 * i));
        };
        file += "BM";
        put(static_cast<Uint32>(offset + pitch * height), 4);
        put(0, 4);
        put(static_cast<Uint32>(offset), 4);
        put(static_cast<Uint32>(infoSize), 4);
        put(static_cast<Uint32>(width), 4);
        put(static_cast<Uint32>(height), 4); // positive: rows bottom up
        put(1, 2);
        put(static_cast<Uint32>(bits), 2);
        put(fields ? 3 : 0, 4); // BI_BITFIELDS or BI_RGB
        put(static_cast<Uint32>(pitch * height), 4);
        put(2835, 4); // 72 dpi
        put(2835, 4);
        put(0, 4);
        put(0, 4);
        if (fields) {
            for (Uint32 mask : {r, g, b, a})
                put(mask, 4);
            put(0x73524742, 4); // 'sRGB'
            file.append(48, '\0');
        }
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x)
                put(pixels[static_cast<size_t>(y) * width + x], bytes);
            file.append(static_cast<size_t>(pitch - width * bytes), '\0');
        }
        data.WriteText(path, file);
    }
};

const Texel red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255};

TEST_F(TextureTest, PicturesWithoutAlphaBecomeOpaqueRgba)
{
    PngFile rgb(2, 2, PngFile::Rgb);
    rgb.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30}};
    data.WriteText("rgb.png", rgb.Encode());
    TextureImage image = Load("rgb.png");
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    ExpectTexel(image, 0, 0, red);
    ExpectTexel(image, 1, 0, green);
    ExpectTexel(image, 0, 1, blue);
    ExpectTexel(image, 1, 1, Texel{10, 20, 30, 255});

    data.WriteText("palette.png", PalettePicture().Encode());
    image = Load("palette.png");
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    const Texel rowColours[4] = {red, green, blue, white};
    for (int x = 0; x < 4; ++x) {
        ExpectTexel(image, x, 0, rowColours[x]);
        ExpectTexel(image, x, 1, rowColours[3 - x]);
    }

    PngFile grey(2, 1, PngFile::Grey);
    grey.rows = {{0x40, 0xC0}};
    data.WriteText("grey.png", grey.Encode());
    image = Load("grey.png");
    ExpectTexel(image, 0, 0, Texel{0x40, 0x40, 0x40, 255});
    ExpectTexel(image, 1, 0, Texel{0xC0, 0xC0, 0xC0, 255});
}

TEST_F(TextureTest, AlphaOfThePictureIsKept)
{
    PngFile greyAlpha(2, 1, PngFile::GreyAlpha);
    greyAlpha.rows = {{0x80, 0x20, 0xFF, 0xFF}};
    data.WriteText("greyalpha.png", greyAlpha.Encode());
    TextureImage image = Load("greyalpha.png");
    ExpectTexel(image, 0, 0, Texel{0x80, 0x80, 0x80, 0x20});
    ExpectTexel(image, 1, 0, white);

    PngFile rgba(2, 1, PngFile::RgbAlpha);
    rgba.rows = {{1, 2, 3, 4, 250, 251, 252, 253}};
    data.WriteText("rgba.png", rgba.Encode());
    image = Load("rgba.png");
    ExpectTexel(image, 0, 0, Texel{1, 2, 3, 4});
    ExpectTexel(image, 1, 0, Texel{250, 251, 252, 253});

    // One transparent palette entry stays transparent.
    PngFile keyed = PalettePicture();
    keyed.transparency = {255, 0};
    data.WriteText("keyed.png", keyed.Encode());
    image = Load("keyed.png");
    ExpectTexel(image, 0, 0, red);
    EXPECT_EQ(int(image.At(1, 0).a), 0);
    EXPECT_EQ(int(image.At(2, 1).a), 0);
    ExpectTexel(image, 3, 0, white);
}

TEST_F(TextureTest, OtherFileLayoutsKeepTheirColours)
{
    // The decoder recognises files by content; a BMP in any layout must give
    // the same RGBA bytes as a PNG, whatever the surface's masks.
    const std::vector<Uint32> bgra = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0xFF102030};
    WriteBmp("bgra.bmp", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, bgra, 2, 2);
    TextureImage image = Load("bgra.bmp");
    ExpectTexel(image, 0, 0, red);
    ExpectTexel(image, 1, 0, green);
    ExpectTexel(image, 0, 1, Texel{0, 0, 255, image.At(0, 1).a});
    ExpectTexel(image, 1, 1, Texel{0x10, 0x20, 0x30, 255});

    const std::vector<Uint32> bgr = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030};
    WriteBmp("bgr.bmp", 24, 0xFF0000, 0x00FF00, 0x0000FF, 0, bgr, 2, 2);
    image = Load("bgr.bmp");
    ExpectTexel(image, 0, 0, red);
    ExpectTexel(image, 1, 0, green);
    ExpectTexel(image, 0, 1, blue);
    ExpectTexel(image, 1, 1, Texel{0x10, 0x20, 0x30, 255});

    // An odd width gives padded rows in the decoded 24-bit surface.
    PngFile odd(3, 3, PngFile::Rgb);
    odd.rows.assign(3, {9, 8, 7, 9, 8, 7, 9, 8, 7});
    data.WriteText("odd.png", odd.Encode());
    Drawables::Texture plain("odd.png", *graphics, false, false);
    image = ReadBoundTexture();
    ASSERT_EQ(image.width, 3);
    for (int i = 0; i < 9; ++i)
        ExpectTexel(image, i % 3, i / 3, Texel{9, 8, 7, 255});
}

TEST_F(TextureTest, SizesThatAreNotPowersOfTwoAreRescaledForMipmaps)
{
    data.WriteSolid("npot.png", 5, 3, Texel{40, 80, 120, 255});
    const TextureImage image = Load("npot.png");
    EXPECT_EQ(image.width & (image.width - 1), 0) << image.width;
    EXPECT_EQ(image.height & (image.height - 1), 0) << image.height;
    ExpectTexel(image, 0, 0, Texel{40, 80, 120, 255});
    ExpectTexel(image, image.width - 1, image.height - 1, Texel{40, 80, 120, 255});
}

TEST_F(TextureTest, LoadingLeavesTexturingOffAndTheNewTextureBound)
{
    data.WriteSolid("a.png", 4, 4, Texel{1, 2, 3, 255});
    data.WriteSolid("b.png", 4, 4, Texel{4, 5, 6, 255});
    Drawables::Texture first("a.png", *graphics, true, true);
    glEnable(GL_TEXTURE_2D); // as a scene might leave it
    Drawables::Texture second("b.png", *graphics, false, false);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(BoundTexture(), static_cast<GLint>(second.id));
    EXPECT_NE(first.id, second.id);

    GLint wrap = 0, minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(minFilter, GL_LINEAR);

    // Drawing a texture binds it.
    graphics->Draw(first);
    EXPECT_EQ(BoundTexture(), static_cast<GLint>(first.id));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(TextureTest, SameFileTwiceSharesOneTextureWithTheLastFlags)
{
    data.WriteSolid("same.png", 4, 4, Texel{7, 7, 7, 255});
    Drawables::Texture first("same.png", *graphics, false, true);
    Drawables::Texture second("same.png", *graphics, true, false);
    EXPECT_EQ(first.id, second.id);
    EXPECT_EQ(graphics->textures.size(), 1u);
    EXPECT_EQ(graphics->textures.at("same.png"), first.id);

    // Keys are the names as given, not normalised paths.
    Drawables::Texture third("./same.png", *graphics, false, true);
    EXPECT_NE(third.id, first.id);

    graphics->Draw(first);
    GLint wrap = 0, minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST_F(TextureTest, UnnamedTexturesAreFreshAndUnregistered)
{
    const GLuint a = graphics->AllocateTexture(nullptr);
    const GLuint b = graphics->AllocateTexture(nullptr);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(graphics->textures.empty());
}

TEST_F(TextureTest, MissingFileThrowsAMessageNamingItAndStaysRegistered)
{
    try {
        Drawables::Texture texture("data/nowhere.png", *graphics, false, true);
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Couldn't open data/nowhere.png: ", 0), 0u) << error.what();
    }
    ASSERT_EQ(graphics->textures.count("data/nowhere.png"), 1u);
    EXPECT_NE(graphics->textures.at("data/nowhere.png"), 0u);
}

TEST_F(TextureTest, DamagedFilesThrowInsteadOfCrashing)
{
    data.WritePicture("whole.png", 64, 64, [](int x, int y) {
        return Texel{static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 4), 9, 255};
    });
    const std::string whole = ReadFile(data.Root() + "/whole.png");
    ASSERT_GT(whole.size(), 100u);
    data.WriteText("truncated.png", whole.substr(0, whole.size() / 2));
    data.WriteText("headeronly.png", whole.substr(0, 40));
    data.WriteText("empty.png", "");
    data.WriteText("garbage.png", std::string(300, '\x5a'));
    std::string flipped = whole;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x55);
    data.WriteText("flipped.png", flipped);

    // A header that claims a huge picture over a few bytes of data.
    PngFile huge(1, 1, PngFile::Rgb);
    huge.rows = {{1, 2, 3}};
    std::string claim = huge.Encode();
    const std::string bigHeader = PngFile(200000, 200000, PngFile::Rgb).Encode().substr(8, 25);
    claim.replace(8, 25, bigHeader);
    data.WriteText("huge.png", claim);

    for (const char* name :
         {"truncated.png", "headeronly.png", "empty.png", "garbage.png", "flipped.png", "huge.png"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW({ Drawables::Texture damaged(name, *graphics, false, true); }, std::exception);
        EXPECT_EQ(graphics->textures.count(name), 1u);
    }
    // The registry still serves good files afterwards.
    Drawables::Texture good("whole.png", *graphics, false, true);
    ExpectTexel(ReadBoundTexture(), 1, 2, Texel{4, 8, 9, 255});
}

// The debug lines go to stderr once RUVO_DEBUG is seen by the first
// diagnostic of the process, so they are checked in a child process.
class CountsInText : public ::testing::MatcherInterface<const std::string&> {
public:
    explicit CountsInText(std::vector<std::pair<std::string, int>> expected) : expected(std::move(expected)) {}

    bool MatchAndExplain(const std::string& text, ::testing::MatchResultListener* listener) const override
    {
        bool ok = true;
        for (const auto& [needle, count] : expected) {
            int found = 0;
            for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
                ++found;
            if (found != count) {
                *listener << "\"" << needle << "\" occurs " << found << " times; ";
                ok = false;
            }
        }
        return ok;
    }
    void DescribeTo(std::ostream* os) const override
    {
        for (const auto& [needle, count] : expected)
            *os << "\"" << needle << "\" " << count << " times; ";
    }

private:
    std::vector<std::pair<std::string, int>> expected;
};

::testing::Matcher<const std::string&> Counts(std::vector<std::pair<std::string, int>> expected)
{
    return ::testing::MakeMatcher(new CountsInText(std::move(expected)));
}

void LoadSameFileTwiceWithDebugOutput()
{
    setenv("RUVO_DEBUG", "1", 1);
    {
        TestSupport::TestData data;
        data.WriteSolid("data/twice.png", 4, 4, Texel{1, 1, 1, 255});
        Adapter::Graphics graphics(TestSupport::TestWindow());
        Drawables::Texture first("data/twice.png", graphics, false, true);
        Drawables::Texture second("data/twice.png", graphics, false, true);
        graphics.AllocateTexture(nullptr);
        graphics.AllocateTexture(nullptr);
        if (first.id != second.id)
            std::_Exit(3);
    }
    std::exit(0);
}

TEST(TextureDebugLines, OneNewAndOneReuseLinePerFileAndNoneForUnnamed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LoadSameFileTwiceWithDebugOutput(), ::testing::ExitedWithCode(0),
                Counts({{"Graphics::AllocateTexture - New texture data/twice.png\n", 1},
                        {"Graphics::AllocateTexture - Reuse texture data/twice.png\n", 1},
                        {"Graphics::AllocateTexture - ", 2}}));
}

} // namespace

TEST_F(TextureTest, ClampedPicturesKeepTheirEdgeColourUnderLinearFiltering)
{
    // A sample exactly at a corner, as the ring mesh takes it, is the corner
    // texel itself: nothing of the border colour is blended in.
    data.WriteSolid("corner.png", 16, 16, Texel{255, 255, 255, 255});
    Drawables::Texture corner("corner.png", *graphics, false, true);
    graphics->Draw(Drawables::Enable(GL_TEXTURE_2D)).Draw(Drawables::Color(1, 1, 1, 1)).Draw(corner);
    TestSupport::DrawQuadSampling(0, 0);
    graphics->Draw(Drawables::Disable(GL_TEXTURE_2D));
    const TestSupport::Rgba centre = TestSupport::ReadPixel(512, 384);
    EXPECT_EQ(centre.r, 255);
    EXPECT_EQ(centre.a, 255);
}
