// Feeds arbitrary firmware image files to the check the build runs on them.
// An image the check accepts must be one the upgrade can send: complete for
// its block count, offered to its type, and every block and final entry the
// upgrade may send lying inside the file.
//
// Random bytes are seldom exactly as long as their block count asks, so
// most inputs give a header and a size near the one it asks for.
#include "devices/firmware/ImageCheck.h"

#include "FuzzInput.h"

#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

// Blocks past what the largest allowed file holds, so that the size limit is reached.
constexpr std::size_t kBlockCountRange = kMaxImageFileSize / FirmwareImage::kBlockSize + 16;

Bytes ImageFile(Input& in)
{
    Bytes header = in.Take(FirmwareImage::kHeaderSize);
    header.resize(FirmwareImage::kHeaderSize);
    const std::size_t blocks = (header[4] | header[5] << 8) % kBlockCountRange;
    header[4] = static_cast<std::uint8_t>(blocks);
    header[5] = static_cast<std::uint8_t>(blocks >> 8);
    const std::size_t miss = in.Byte() % 8;
    Bytes file = header;
    file.resize(FirmwareImage::SizeFor(blocks) + miss - 4); // 4 short to 3 over
    return file;
}

// Where the bytes read are summed, so that the reads are not optimised away.
volatile unsigned touched;

void CheckAccepted(Bytes file, const ImageSlotInfo& slot)
{
    const FirmwareImage image(file);
    if (!image.complete() || image.version() == 0 || image.VersionFor(image.type()) != image.version() ||
        (slot.typeWord != 0 && image.type() != slot.typeWord) || file.size() > kMaxImageFileSize)
        std::abort();
    // Touches every byte the upgrade sends, so that one outside the file is caught.
    unsigned sum = 0;
    for (std::size_t n = 0; n < image.blockCount() + FirmwareImage::kFinalGroups; ++n)
        for (const std::uint8_t b : image.block(n))
            sum += b;
    for (unsigned b = 0; b < 256; ++b)
        for (const std::uint8_t e : image.finalEntry(static_cast<std::uint8_t>(b)))
            sum += e;
    touched = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Input in{data + 1, size - 1};
    const Bytes file = data[0] % 4 == 0 ? in.Take(in.size) : ImageFile(in);
    for (const ImageSlotInfo& slot : kImageSlots)
        if (CheckImage(file, slot).empty())
            CheckAccepted(file, slot);
    return 0;
}
