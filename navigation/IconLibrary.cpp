#include "navigation/IconLibrary.h"

#include <utility>
#include <vector>

#include "folder_settings/IconFile.h"
#include "navigation/FirstFailure.h"
#include "navigation/FolderTreeLogic.h"
#include "platform/Utf.h"

namespace quorvane {

int ListIconLibrary(Platform& platform, IconGrid& grid, const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';

    std::vector<std::string> paths;
    for (const FolderEntry& entry : platform.ListFolder(prefix + "*.*")) {
        if (AsciiLower(PathExtension(entry.name)) != ".ico") continue;
        // A folder named like an icon gives no image; listing it would put
        // every later row out of line with its image.
        if (entry.attributes & attr::kDirectory) continue;
        paths.push_back(prefix + entry.name);
    }
    // The rows at once: a grid grown row by row redraws its scroll bar
    // each time, which thousands of icons make a wait of its own.
    const int rows = static_cast<int>(paths.size());
    grid.SetRows(std::move(paths));
    return rows;
}

void LoadLibraryRow(Platform& platform, const IconGrid& grid, ImageList& images, int row) {
    const int before = images.Count();
    FirstFailure failure;
    failure.Attempt([&] { AddIconFromFile(platform, grid.CellText(row), images); });
    if (images.Count() == before) images.AppendIcon(IconFile());
    failure.RaiseIfAny();
}

void ScanIconLibrary(Platform& platform, IconGrid& grid, ImageList& images, const std::string& folder) {
    const int rows = ListIconLibrary(platform, grid, folder);
    FirstFailure failure;
    for (int row = 0; row < rows; ++row) failure.Attempt([&] { LoadLibraryRow(platform, grid, images, row); });
    failure.RaiseIfAny();
}

std::string LibraryIconName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (AsciiLower(PathExtension(name)) == ".ico") name.resize(name.size() - 4);
    return name;
}

void sgIconsSelectCell(Platform& platform, const IconGrid& grid, FolderEditState& state, int row) {
    const std::string path = grid.CellText(row);
    if (path.empty()) return;
    state.SetIconPath(path);
    state.SetIconPicture(IconFile::Load(platform, path));
}

}  // namespace quorvane
