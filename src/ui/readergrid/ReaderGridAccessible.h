#pragma once

namespace qozel {

class ReaderGrid;
struct ReaderCellLook;

// Makes the reader table a table to assistive technology: its 448 cells
// named by what they show under their column headers, each a cell or a
// button that can be pressed, the selected reader's cells selected and the
// lit marks checked. Installed once, by the first table.
void InstallReaderGridAccessibility();

// Tells assistive technology what changed in a cell that looked `before`;
// nothing while no assistive technology listens.
void NotifyReaderCellChanged(ReaderGrid& grid, int row, int column, const ReaderCellLook& before);

// Tells assistive technology that the table's current cell moved.
void NotifyReaderGridFocus(ReaderGrid& grid);

} // namespace qozel
