// A fresh folder for one test, under the system's temporary folder or a
// given one, removed with everything in it (attributes cleared first) when
// the test ends.
#pragma once

#include <string>
#include <vector>

namespace quorvane::test {

class TempFolder {
public:
    TempFolder();
    // Under `base`, which ends with "\".
    explicit TempFolder(const std::string& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending with "\".
    const std::string& path() const { return path_; }
    // path() + relative
    std::string operator/(const std::string& relative) const { return path_ + relative; }

private:
    std::string path_;
};

// Whole-file helpers for checking results byte for byte.
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& bytes);
void MakeFolder(const std::string& path);
// The names in a folder, "." and ".." left out, in the system's order.
std::vector<std::string> Names(const std::string& folder);

}  // namespace quorvane::test
