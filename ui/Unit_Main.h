// The main window: the folder tree, the settings column and the icon
// column. It holds the whole editing state in its controls and presents the
// program's messages.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/FolderTreeView.h"
#include "ui/LibraryPictures.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/StringGrid.h"
#include "ui/TreeImageList.h"
#include "ui/Window.h"

namespace quorvane {

class TAboutBox;

// The member that stands for a control of each kind: the window's own
// controls are objects, the system's are their handles.
template <ControlKind> struct ControlMember { using type = HWND; };
template <> struct ControlMember<ControlKind::kPanel> { using type = win::Panel; };
template <> struct ControlMember<ControlKind::kSplitter> { using type = win::Splitter; };
template <> struct ControlMember<ControlKind::kSpeedButton> { using type = win::SpeedButton; };
template <> struct ControlMember<ControlKind::kPicture> { using type = win::PictureBox; };
template <> struct ControlMember<ControlKind::kGrid> { using type = win::StringGrid; };

class TfrmMain : public win::Window, public FolderEditState, public Messages {
public:
    struct Options {
        // Dots per inch the layout is scaled to; 0 takes the screen's, or
        // where the window opens on a monitor of another scale, the
        // monitor's.
        int dpi = 0;
        // What the system says of that monitor's DPI, for the tests; 0 asks it.
        int monitorDpi = 0;
        // Names the program (title) and the folder of the icon library;
        // empty takes this process's executable.
        std::string executablePath;
        // The window standing for the program on the taskbar, if any.
        HWND owner = nullptr;
        // Closing the window ends the message loop.
        bool quitOnClose = true;
    };

    // Creates the window and all its controls, hidden.
    TfrmMain(HINSTANCE instance, Platform& platform, win::Dialogs& dialogs, const Options& options);
    ~TfrmMain() override;

    void SetAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

    // Centres the window on the screen, runs FormShow and shows it.
    void Show(int showCommand);
    // Tab and Shift+Tab move the focus along the window's tab order; Enter
    // presses the focused push button; the keyboard shows the focus
    // rectangles. Returns true when it handled the message.
    bool PreTranslateMessage(const MSG& msg);
    // The next control in the tab order after `from` (backward: before).
    HWND NextTabStop(HWND from, bool backward) const;
    // A step of the work left for idle time; true while some remains.
    bool Idle() { return libraryPictures_.Idle(); }

    const std::string& Title() const { return title_; }
    int Dpi() const { return dpi_; }
    int TreeWidth() const { return treeWidth_; }
    // A control by its name, or null.
    HWND Control(std::string_view name) const;
    // The hint a control shows, empty for none.
    std::string Hint(HWND control) const;
    FolderTree& Tree() { return *tree_; }
    const win::TColorDialog& ColorDialogState() const { return ColorDialog; }

    // Event handlers.
    void FormShow();
    void TreeViewClick();
    void btnBrowseImageClick();
    void btnRestoreImageClick();
    void btnBrowseTextColorClick();
    void btnRestoreTextColorClick();
    void btnBrowseBckGrColorClick();
    void btnRestoreBckGrColorClick();
    void btnBrowseIconClick();
    void btnRestoreIconClick();
    void btnApplyClick();
    void btnExitClick();
    void SpeedButton1Click();
    void sgIconsDrawCell(HDC dc, int column, int row, const RECT& cell, win::StringGrid::DrawState state);
    void sgIconsSelectCell(int column, int row, bool& allow);

    // FolderEditState over the controls.
    std::string FolderPath() const override;
    void SetFolderPath(const std::string& path) override;
    std::string PicturePath() const override { return picturePath_; }
    void SetPicturePath(const std::string& path) override { picturePath_ = path; }
    std::string PictureHint() const override { return pictureHint_; }
    void SetPictureHint(const std::string& hint) override;
    const TJPEGImage* Picture() const override;
    void SetPicture(const TJPEGImage& picture) override;
    void ClearPicture() override { Image.Clear(); }
    std::string IconPath() const override { return iconPath_; }
    void SetIconPath(const std::string& path) override;
    void SetIconPicture(const IconFile& icon) override;
    void ClearIconPicture() override { imgIcon.Clear(); }
    Color TextColor() const override { return textColor_; }
    void SetTextColor(Color color) override;
    Color TextBackgroundColor() const override { return textBackgroundColor_; }
    void SetTextBackgroundColor(Color color) override;
    bool CopyPicture() const override;
    bool RestoreImageEnabled() const override;
    void SetRestoreImageEnabled(bool enabled) override;
    bool RestoreIconEnabled() const override;
    void SetRestoreIconEnabled(bool enabled) override;

    // Messages: the information message.
    void ShowInformation(const std::string& text) override;

    // The controls, by the names the rest of the program knows them by: one
    // member for each row of the form description.
#define QUORVANE_FORM_MEMBER(name, kind, ...) ControlMember<ControlKind::kind>::type name{};
    QUORVANE_MAIN_FORM(QUORVANE_FORM_MEMBER)
#undef QUORVANE_FORM_MEMBER
    HWND hintWindow = nullptr;
    std::unique_ptr<win::TreeImageList> TreeImageList;
    std::unique_ptr<win::TreeImageList> imglstDefaultIcons;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowException(const std::exception_ptr& error) override;

private:
    // Control ids follow the form description's order.
    static constexpr int kFirstControlId = 100;

    void CreateImageLists();
    void CreateControls();
    // A control of its row's kind made at its place; returns its handle.
    template <typename Member>
    HWND Make(Member& control, const ControlRow& row, HWND parent, const LayoutRect& rect, int id);
    void WireControls();
    void DescribeControls();
    void CreateHints();
    void ApplyFonts();
    void ApplyLayout();
    // Fonts, sizes, images and layout for another DPI; `suggested` is the
    // window rectangle the system proposes, if any.
    void ChangeDpi(int dpi, const RECT* suggested);
    void OnCommand(int id);
    void OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnColorStatic(HDC dc, HWND control);
    void FillDriveList();

    HINSTANCE instance_;
    Platform& platform_;
    win::Dialogs& dialogs_;
    int dpi_;
    std::string title_;
    std::string executableFolder_;
    bool quitOnClose_;
    int treeWidth_ = 0;
    int iconSize_ = 0;

    win::UniqueFont font_;
    win::UniqueFont boldFont_;
    std::unique_ptr<win::FolderTreeView> tree_;
    win::LibraryPictures libraryPictures_;
    win::TOpenPictureDialog OpenPictureDialog;
    win::TOpenPictureDialog opdlgIcon;
    win::TColorDialog ColorDialog;
    TAboutBox* aboutBox_ = nullptr;
    std::array<HWND, form::kControlCount> handles_{};
    std::vector<HWND> tabOrder_;
    HWND lastFocus_ = nullptr;

    // The editing state that is not a control's own property.
    std::string picturePath_;
    std::string pictureHint_;
    std::string iconPath_;
    std::string folderHint_;
    Color textColor_;
    Color textBackgroundColor_;
    std::wstring hintBuffer_;
};

// A colour of the GUI as RGB: a system colour reference gives the system
// colour's current value.
COLORREF ResolveColor(Color color);

}  // namespace quorvane
