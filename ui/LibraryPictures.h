// The icon column's pictures over the message loop. The library's names
// come first, at start-up; the pictures of the rows on screen are loaded
// before the first paint, any row drawn before its turn when it is drawn,
// and the rest in idle time, in steps of a few milliseconds on the one
// thread, so neither the first window nor the input waits for the library.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "navigation/LibraryLoading.h"
#include "platform/Platform.h"
#include "ui/StringGrid.h"
#include "ui/TreeImageList.h"

namespace quorvane::win {

class LibraryPictures {
public:
    // What one idle step may spend, leaving the message loop free again
    // within about 10 ms.
    static constexpr LibraryLoading::Microseconds kStepBudget = 8000;

    // Lists the library's names into the grid and loads the rows on
    // screen. A bad file among those is raised here, with the rest of the
    // start-up's errors; one further down waits for the idle pass.
    void Open(Platform& platform, StringGrid& grid, TreeImageList& images, const std::string& folder);

    // The image that draws the row, loaded now if it was not yet: -1 for
    // none (a row without a file, before Open).
    int ImageOf(int row);

    // One step of the idle pass. The library's first error goes to the
    // grid's window, once. Returns whether pictures remain to be loaded.
    bool Idle();

    // Every picture at another size (the DPI changed): the list made anew,
    // the rows on screen loaded at once and the rest by the idle pass, as
    // at start-up. An error already shown is not shown again.
    void Rescale(TreeImageList& images, int size);

private:
    // The list's room, in parts: room for every row in one block of a
    // large library at a high DPI (20,000 icons at 144 DPI, 185 MB) may not
    // be found in a 32-bit process, and start-up would fail; and a list
    // that grows copies itself each time, holding two of it for a moment.
    // So the pictures live in parts of a few thousand, each made whole
    // and grown in steps of a few hundred.
    static constexpr int kPart = 2048;
    static constexpr int kGrowth = 256;
    static TreeImageList MakeList(int size, int rows) {
        return TreeImageList(size, rows < kPart ? rows : kPart, kGrowth, kPart);
    }

    void LoadRow(int row);
    // A new pass over every row, the rows on screen loaded now.
    void Start();
    // The library's error in the error box, the first time only.
    void Report(std::exception_ptr error);

    Platform* platform_ = nullptr;
    StringGrid* grid_ = nullptr;
    TreeImageList* images_ = nullptr;
    // Rows load out of order, so image k need not be row k's.
    std::vector<int> imageOf_;
    std::unique_ptr<LibraryLoading> loading_;
    bool errorShown_ = false;
};

// Microseconds from the performance counter.
LibraryLoading::Microseconds CounterMicroseconds();

}  // namespace quorvane::win
