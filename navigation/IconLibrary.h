// The icon library: ".ico" files in a folder beside the program, shown as
// a one-column grid of icons, any of which can be picked as the folder icon.
#pragma once

#include <string>
#include <vector>

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

// The one-column grid as the library sees it: a text per row, which the
// grid never shows. It never has fewer than one row.
class IconGrid {
public:
    virtual ~IconGrid() = default;
    virtual int RowCount() const = 0;
    // A count below 1 leaves one row.
    virtual void SetRowCount(int rows) = 0;
    virtual std::string CellText(int row) const = 0;
    virtual void SetCellText(int row, const std::string& text) = 0;
    // A row for each text, in one go; none leaves one empty row.
    virtual void SetRows(std::vector<std::string> texts) = 0;
};

// The names alone: a row for each ".ico" file directly in `folder`, in the
// platform's order, holding its full path; no file is read. The grid is
// expected in its start state (one empty row). Returns the rows listed.
int ListIconLibrary(Platform& platform, IconGrid& grid, const std::string& folder);

// Appends the picture of the row's file to the list: always one image, a
// blank one for a file gone since the listing or not an icon, whose error
// is then raised.
void LoadLibraryRow(Platform& platform, const IconGrid& grid, ImageList& images, int row);

// The names, then every row's picture in order, so row k and image k
// belong to the same file; a bad file leaves its image blank and the scan
// goes on; the loader's first error is raised at the end. The window loads
// the pictures in idle time instead (ui/LibraryPictures).
void ScanIconLibrary(Platform& platform, IconGrid& grid, ImageList& images, const std::string& folder);

// What the library calls the icon of a row: its file's name without the
// folder and the ".ico" (in any case).
std::string LibraryIconName(const std::string& path);

// A click or key move to `row`: makes that row's file the icon of the
// editing state. The icon path is set before the file is loaded, so a
// file that fails to load still names the path while the preview keeps
// its picture.
void sgIconsSelectCell(Platform& platform, const IconGrid& grid, FolderEditState& state, int row);

}  // namespace quorvane
