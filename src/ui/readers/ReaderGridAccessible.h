#pragma once

namespace qozel {

class ReaderGrid;

// Makes the reader table a table to assistive technology, its 448 cells
// named by reader and column header, each a cell or a button that can be
// pressed. Installed once, by the first table.
void InstallReaderGridAccessibility();

// Tells assistive technology that the table's current cell moved.
void NotifyReaderGridFocus(ReaderGrid& grid);

} // namespace qozel
