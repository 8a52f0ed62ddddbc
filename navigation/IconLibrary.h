// The icon library: ".ico" files in a folder beside the program, shown as
// a one-column grid of icons, any of which can be picked as the folder icon.
#pragma once

#include <string>

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
};

// Fills the grid (expected in its start state: one empty row) and the
// image list from the ".ico" files directly in `folder`, in the platform's
// order; row k and image k always belong to the same file. A file that is
// not an icon gets a blank image and the scan goes on; the loader's first
// error is raised at the end.
void ScanIconLibrary(Platform& platform, IconGrid& grid, ImageList& images, const std::string& folder);

// A click or key move to `row`: makes that row's file the icon of the
// editing state. The icon path is set before the file is loaded, so a
// file that fails to load still names the path while the preview keeps
// its picture.
void sgIconsSelectCell(Platform& platform, const IconGrid& grid, FolderEditState& state, int row);

}  // namespace quorvane
