// Writes the test firmware images (header values of the product's images,
// deterministic filler payloads) into a directory, under the file names the
// build looks for. For tests and the simulated installation only.
//
//   qozel_make_test_images <directory>
#include "TestImageMaker.h"

#include "devices/firmware/ImageCheck.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: qozel_make_test_images <directory>\n";
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    for (const auto& layout : qozel::sim::kTestImageLayouts) {
        const auto image = qozel::sim::MakeTestImage(layout);
        const auto path = directory / qozel::kImageSlots[static_cast<std::size_t>(layout.slot)].fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!out) {
            std::cerr << "qozel_make_test_images: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
