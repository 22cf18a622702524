#include "SimInstallation.h"

#include "TestImageMaker.h"
#include "TestImages.h"

#include <algorithm>

namespace qozel::sim {
namespace {

// Readers on the bus: one of each type with an image (version 3), a type
// without one, all a version behind; a module with a V70 and a V75 attached.
void FillBus(ManagerModel& manager)
{
    struct Row {
        std::uint16_t nr;
        std::uint16_t type;
    };
    const Row rows[] = {{0x0101, 70}, {0x0102, 72}, {0x0103, 75}, {0x0104, 76}, {0x0105, 78}, {0x0106, 71}};
    std::uint8_t address = 1;
    for (const Row& row : rows)
        manager.AddReader(row.nr, row.type, 2).address = address++;
    manager.AddModule(0x0107, 70, 75).address = address;
}

} // namespace

SimInstallation::SimInstallation(bool useTestImages) : SimDevices(clock)
{
    if (useTestImages)
        UseTestImages();
    FillBus(*manager);
    PlugAll();
}

void SimInstallation::RunCarriedFirmware()
{
    arkan->identity.soft = TestImageVersion(ImageSlot::Arkan);
    programmer->identity.soft = TestImageVersion(ImageSlot::Programmer);
    manager->soft = TestImageVersion(ImageSlot::Manager);
    for (auto& reader : manager->bus)
        reader->soft = 3;
}

void SimInstallation::AddReadersUpTo(std::size_t count)
{
    std::uint8_t address = 1;
    for (const auto& reader : manager->bus)
        address = std::max<std::uint8_t>(address, static_cast<std::uint8_t>(reader->address + 1));
    for (std::uint16_t nr = 0x0200; manager->bus.size() < count; ++nr)
        manager->AddReader(nr, 70, 3).address = address++;
}

} // namespace qozel::sim
