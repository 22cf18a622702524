#include "SimInstallation.h"

#include "TestImages.h"

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

} // namespace qozel::sim
