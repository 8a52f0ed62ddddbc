#include "ui/LibraryPictures.h"

#include "navigation/FirstFailure.h"
#include "navigation/IconLibrary.h"
#include "ui/Window.h"

namespace quorvane::win {

LibraryLoading::Microseconds CounterMicroseconds() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<LibraryLoading::Microseconds>(now.QuadPart / frequency * 1000000 +
                                                     now.QuadPart % frequency * 1000000 / frequency);
}

void LibraryPictures::Open(Platform& platform, StringGrid& grid, TreeImageList& images, const std::string& folder) {
    platform_ = &platform;
    grid_ = &grid;
    images_ = &images;
    const int rows = ListIconLibrary(platform, grid, folder);
    imageOf_.assign(static_cast<size_t>(rows), -1);
    if (images.Count() == 0 && rows > 0) images = MakeList(images.Size(), rows);
    try {
        Start();
    } catch (...) {
        errorShown_ = true;  // with the start-up's errors
        throw;
    }
}

void LibraryPictures::Start() {
    const int rows = static_cast<int>(imageOf_.size());
    loading_ = std::make_unique<LibraryLoading>(
        rows, [this](int row) { LoadRow(row); }, CounterMicroseconds, kStepBudget);
    // Every row that shows, the one cut by the bottom edge too.
    RECT client{};
    GetClientRect(grid_->hwnd(), &client);
    const RECT cell = grid_->CellRect(grid_->TopRow());
    const int height = cell.bottom - cell.top;
    const int shown = height > 0 ? (client.bottom + height - 1) / height : 1;
    loading_->LoadNow(grid_->TopRow(), grid_->TopRow() + shown);
    loading_->Advance();
}

void LibraryPictures::Rescale(TreeImageList& images, int size) {
    images = MakeList(size, imageOf_.empty() ? 4 : static_cast<int>(imageOf_.size()));
    if (!loading_) return;
    imageOf_.assign(imageOf_.size(), -1);
    try {
        Start();
    } catch (...) {
        Report(std::current_exception());
    }
}

void LibraryPictures::Report(std::exception_ptr error) {
    if (errorShown_) return;
    errorShown_ = true;
    SendMessageW(GetAncestor(grid_->hwnd(), GA_ROOT), kShowExceptionMessage, 0, reinterpret_cast<LPARAM>(&error));
}

void LibraryPictures::LoadRow(int row) {
    const int index = images_->Count();
    FirstFailure failure;
    failure.Attempt([&] { LoadLibraryRow(*platform_, *grid_, *images_, row); });
    // A bad file's row has its blank image too: one image a row.
    if (images_->Count() > index) imageOf_[static_cast<size_t>(row)] = index;
    failure.RaiseIfAny();
}

int LibraryPictures::ImageOf(int row) {
    if (!loading_ || row < 0 || row >= static_cast<int>(imageOf_.size())) return -1;
    // Scrolled into view before its turn: drawn at once, never raised
    // from a paint.
    if (!loading_->Tried(row)) loading_->LoadNow(row, row + 1);
    return imageOf_[static_cast<size_t>(row)];
}

bool LibraryPictures::Idle() {
    if (!loading_ || loading_->Done()) return false;
    try {
        return loading_->Step();
    } catch (...) {
        Report(std::current_exception());
        return !loading_->Done();
    }
}

}  // namespace quorvane::win
