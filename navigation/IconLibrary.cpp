#include "navigation/IconLibrary.h"

#include "folder_settings/IconFile.h"
#include "navigation/FirstFailure.h"
#include "navigation/FolderTreeLogic.h"
#include "platform/Utf.h"

namespace quorvane {

void ScanIconLibrary(Platform& platform, IconGrid& grid, ImageList& images, const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';

    FirstFailure failure;
    for (const FolderEntry& entry : platform.ListFolder(prefix + "*.*")) {
        if (AsciiLower(PathExtension(entry.name)) != ".ico") continue;
        // A folder named like an icon gives no image; listing it would put
        // every later row out of line with its image.
        if (entry.attributes & attr::kDirectory) continue;
        const std::string path = prefix + entry.name;
        grid.SetCellText(grid.RowCount() - 1, path);
        const int before = images.Count();
        failure.Attempt([&] { AddIconFromFile(platform, path, images); });
        // A file gone since the listing or not an icon: a blank image keeps
        // the rows in line, and the scan goes on.
        if (images.Count() == before) images.AppendIcon(IconFile());
        grid.SetRowCount(grid.RowCount() + 1);
    }
    grid.SetRowCount(grid.RowCount() - 1);
    failure.RaiseIfAny();
}

void sgIconsSelectCell(Platform& platform, const IconGrid& grid, FolderEditState& state, int row) {
    const std::string path = grid.CellText(row);
    if (path.empty()) return;
    state.SetIconPath(path);
    state.SetIconPicture(IconFile::Load(platform, path));
}

}  // namespace quorvane
