#include "devices/firmware/ImageCheck.h"
#include "devices/firmware/ImageData.h"

#include "TestImageMaker.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qozel {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

const ImageSlotInfo& SlotInfo(ImageSlot slot) { return kImageSlots[static_cast<std::size_t>(slot)]; }

TEST(ImageCheck, TheTestImagesHaveTheSizesOfTheirBlockCounts)
{
    const std::size_t sizes[] = {14576, 29656, 13016, 24976, 131576, 26016, 27576, 26016, 54616};
    for (std::size_t i = 0; i < sim::kTestImageLayouts.size(); ++i) {
        const auto& layout = sim::kTestImageLayouts[i];
        const Image image = sim::MakeTestImage(layout);
        EXPECT_EQ(image.size(), sizes[i]);
        EXPECT_EQ(CheckImage(image, SlotInfo(layout.slot)), "") << SlotInfo(layout.slot).fileName;
    }
}

TEST(ImageCheck, EveryBrokenHeaderOrSizeIsRejected)
{
    const ImageSlotInfo& arkan = SlotInfo(ImageSlot::Arkan);
    const Image good = sim::MakeTestImage(0x010E, 4, 24);
    auto broken = [&](auto change) {
        Image image = good;
        change(image);
        return CheckImage(image, arkan);
    };
    EXPECT_NE(broken([](Image& i) { i[1] = 0xAA; }), "") << "another device's type word";
    EXPECT_NE(broken([](Image& i) { std::swap(i[0], i[1]); }), "") << "type word little-endian";
    EXPECT_NE(broken([](Image& i) { i[2] = 0; }), "") << "version 0";
    EXPECT_NE(broken([](Image& i) { i[6] = 1; }), "") << "disable word";
    EXPECT_NE(broken([](Image& i) { i[7] = 0x80; }), "") << "disable word, high byte";
    EXPECT_NE(broken([](Image& i) { i.pop_back(); }), "") << "one byte short";
    EXPECT_NE(broken([](Image& i) { i.push_back(0); }), "") << "one byte over";
    EXPECT_NE(broken([](Image& i) { i.resize(16 + 24 * 520); }), "") << "no final-entry table";
    EXPECT_NE(broken([](Image& i) { i[4] = 25; }), "") << "block count disagrees with the size";
    EXPECT_NE(broken([](Image& i) { i.resize(15); }), "") << "shorter than a header";
    EXPECT_NE(CheckImage(sim::MakeTestImage(0x010E, 4, 0), arkan), "") << "no blocks";
    EXPECT_NE(CheckImage(sim::MakeTestImage(0x010E, 4, 600), arkan), "") << "too large to carry";
}

TEST(ImageCheck, TheKeyboardReaderSlotTakesAnyRealDeviceType)
{
    const ImageSlotInfo& kb = SlotInfo(ImageSlot::KbReader);
    EXPECT_EQ(CheckImage(sim::MakeTestImage(0x001F, 1, 3), kb), "");
    EXPECT_NE(CheckImage(sim::MakeTestImage(0x0000, 1, 3), kb), "");
    EXPECT_NE(CheckImage(sim::MakeTestImage(0xFFFF, 1, 3), kb), "");
}

TEST(CompiledImages, TheGeneratedFilesArriveByteForByte)
{
    for (const auto& layout : sim::kTestImageLayouts) {
        const auto data = sim::TestImageData(layout.slot);
        const Image expected = sim::MakeTestImage(layout);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), expected.begin(), expected.end()))
            << SlotInfo(layout.slot).fileName;
    }
    const auto kb = sim::TestImageData(ImageSlot::KbReader);
    EXPECT_EQ(Image(kb.begin(), kb.end()), Image(16, 0));
}

TEST(CompiledImages, TestImagesReachTheSlotsOnlyWhenAskedAndComeBackWhole)
{
#ifdef QOZEL_PRODUCT_WITHOUT_IMAGES
    for (std::size_t i = 0; i < kImageSlotCount; ++i) {
        const auto data = BuiltInImageData(static_cast<ImageSlot>(i));
        EXPECT_EQ(Image(data.begin(), data.end()), Image(16, 0)) << i;
    }
#endif
    sim::UseTestImages();
    FirmwareImage& reader72 = BuiltInImage(ImageSlot::Reader72);
    EXPECT_EQ(reader72.VersionFor(72), 3);
    EXPECT_EQ(reader72.blockCount(), 249);
    reader72.Disable();
    EXPECT_EQ(reader72.VersionFor(72), 0);
    EXPECT_EQ(ReaderImageForType(72)->VersionFor(72), 0);
    sim::UseTestImages();
    EXPECT_EQ(ReaderImageForType(72)->VersionFor(72), 3);
    EXPECT_EQ(ReaderImageForType(71), nullptr);
    EXPECT_EQ(BuiltInImage(ImageSlot::KbReader).VersionFor(0), 0);
}

// The build tool that compiles image files in.
class EmbedTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("qozel-embed-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "images");
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(const std::string& name, const Image& bytes)
    {
        std::ofstream out(dir / "images" / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const fs::path& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int Run()
    {
        const std::string command = std::string("\"") + QOZEL_EMBED_TOOL + "\" \"" + (dir / "out.cpp").string() +
                                    "\" \"" + (dir / "out.d").string() + "\" h.h ns::Fn \"" +
                                    (dir / "images").string() + "\" 2> \"" + (dir / "log").string() + "\"";
        return std::system(command.c_str());
    }

    fs::path dir;
};

TEST_F(EmbedTool, ABadFileStopsTheBuildAndNamesItsFault)
{
    Write("arkan.img", sim::MakeTestImage(0x010E, 4, 24));
    Image disabled = sim::MakeTestImage(0x0046, 3, 44);
    disabled[6] = 1;
    Write("reader70.img", disabled);
    EXPECT_NE(Run(), 0);
    EXPECT_FALSE(fs::exists(dir / "out.cpp"));
    const std::string log = Read(dir / "log");
    EXPECT_NE(log.find("reader70.img"), std::string::npos) << log;
    EXPECT_NE(log.find("disable word"), std::string::npos) << log;
}

TEST_F(EmbedTool, GoodFilesAreCompiledInAndMissingOnesLeaveEmptyHeaders)
{
    Write("arkan.img", sim::MakeTestImage(0x010E, 4, 24));
    Write("unrelated.txt", Image(3, 1));
    ASSERT_EQ(Run(), 0) << Read(dir / "log");
    const std::string source = Read(dir / "out.cpp");
    EXPECT_NE(source.find("std::uint8_t slot0[14576] = {\n1,14,4,0,24,0,0,0,"), std::string::npos);
    EXPECT_NE(source.find("std::uint8_t slot1[16] = {"), std::string::npos);
    EXPECT_NE(source.find("std::uint8_t slot9[16] = {"), std::string::npos);
    EXPECT_EQ(source.find("const"), std::string::npos) << "images must stay writable";
    const std::string deps = Read(dir / "out.d");
    EXPECT_NE(deps.find("arkan.img"), std::string::npos);
    EXPECT_EQ(deps.find("unrelated"), std::string::npos);
}

} // namespace
} // namespace qozel
