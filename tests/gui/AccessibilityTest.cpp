// What a screen reader reads of the main window: every control's object
// taken as a client takes it (AccessibleObjectFromWindow, which sends
// WM_GETOBJECT), in process, from the real window.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/WinText.h"
#include "tests/gui/GuiSupport.h"
#include "tests/host/IconBuilder.h"

namespace quorvane::test {
namespace {

struct Releaser {
    void operator()(IAccessible* object) const { object->Release(); }
};
using Object = std::unique_ptr<IAccessible, Releaser>;

Object ObjectOf(HWND control) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    return Object(object);
}

VARIANT Child(long id) {
    VARIANT v{};
    v.vt = VT_I4, v.lVal = id;
    return v;
}

// A text property, or a number one (-1 for none), of the control or a child.
std::string Read(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child = 0) {
    BSTR text = nullptr;
    (object.*get)(Child(child), &text);
    const std::string result = text ? win::Narrow(text) : std::string();
    SysFreeString(text);
    return result;
}
long Read(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long child = 0) {
    VARIANT number;
    VariantInit(&number);
    (object.*get)(Child(child), &number);
    return number.vt == VT_I4 ? number.lVal : -1;
}
long Number(const VARIANT& v) { return v.vt == VT_I4 ? v.lVal : -1; }

constexpr auto kName = &IAccessible::get_accName;
constexpr auto kValue = &IAccessible::get_accValue;
constexpr auto kRole = &IAccessible::get_accRole;
constexpr auto kState = &IAccessible::get_accState;

// The list items' focus and selection events, in order.
std::vector<std::pair<DWORD, long>> events;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child > 0) events.emplace_back(event, child);
}

class Accessibility : public MainWindowTest {
protected:
    void SetUp() override {
        MakeFolder(temp / "Icons");
        for (const char* name : {"Star.ico", "Folder red.ico", "Music.ICO"}) {
            WriteBytes(temp / (std::string("Icons\\") + name), BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000u}));
        }
        Create();
        form->Show(SW_SHOW);
        Pump(form.get());
    }

    win::ComApartment com_;
};

TEST_F(Accessibility, EveryControlIsNamedByWhatItDoesAndThePicturesTellTheirFiles) {
    // Those that take the focus, in the tab order, then those that do not.
    const std::pair<HWND, const char*> controls[] = {
        {form->TreeView, "Папки"}, {form->sgIcons.hwnd(), "Библиотека иконок"}, {form->btnExit, "Выход"},
        {form->btnApply, "Применить"}, {form->btnBrowseIcon, "Выбрать иконку"},
        {form->btnRestoreIcon, "Восстановить иконку"}, {form->btnBrowseTextColor, "Выбрать цвет текста"},
        {form->btnBrowseBckGrColor, "Выбрать цвет фона"}, {form->btnRestoreTextColor, "Восстановить цвет текста"},
        {form->btnRestoreBckGrColor, "Восстановить цвет фона"}, {form->btnBrowseImage, "Выбрать рисунок"},
        {form->chboxCopyImage, "Копировать в папку"}, {form->btnRestoreImage, "Восстановить рисунок"},
        {form->SpeedButton1.hwnd(), "О программе"}, {form->Image.hwnd(), "Рисунок"}, {form->imgIcon.hwnd(), "Иконка"},
    };
    std::set<std::string> names;
    for (const auto& [control, name] : controls) {
        const Object object = ObjectOf(control);
        ASSERT_TRUE(object) << name;
        EXPECT_EQ(Read(*object, kName), name);
        names.insert(Read(*object, kName));
    }
    EXPECT_EQ(names.size(), std::size(controls));

    // The rest is the standard object's: a disabled restore button is unavailable.
    form->SetRestoreIconEnabled(false);
    EXPECT_TRUE(Read(*ObjectOf(form->btnRestoreIcon), kState) & STATE_SYSTEM_UNAVAILABLE);
    const Object about = ObjectOf(form->SpeedButton1.hwnd());
    EXPECT_EQ(Read(*about, kRole), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(Read(*about, &IAccessible::get_accDefaultAction), "Нажать");
    EXPECT_EQ(Read(*about, &IAccessible::get_accKeyboardShortcut), "F1");
    MSG click;  // the default action clicks it once the caller is answered
    EXPECT_EQ(about->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
    EXPECT_TRUE(PeekMessageW(&click, form->SpeedButton1.hwnd(), BM_CLICK, BM_CLICK, PM_REMOVE));

    // The picture boxes say in words what they show; the colour labels
    // keep their captions and tell their colours.
    const Object picture = ObjectOf(form->Image.hwnd());
    EXPECT_EQ(Read(*picture, kRole), ROLE_SYSTEM_GRAPHIC);
    EXPECT_EQ(Read(*picture, kValue), "пусто");
    const std::string bmp = temp / "фото.bmp";
    WriteBytes(bmp, SolidBmp(8, 8, 0x00FF00));
    dialogs.openAnswers = {bmp};
    Click(form->btnBrowseImage);
    EXPECT_EQ(Read(*picture, kValue), bmp);
    form->sgIcons.SelectCell(1);
    EXPECT_EQ(Read(*ObjectOf(form->imgIcon.hwnd()), kValue), form->sgIcons.CellText(1));
    form->SetTextBackgroundColor(RGB(255, 128, 0));
    EXPECT_EQ(Read(*ObjectOf(form->lblBckGrColor), kValue), "красный 255, зелёный 128, синий 0");
}

TEST_F(Accessibility, TheIconLibraryIsAListOfNamedIconsWithTheCurrentOneSelected) {
    win::StringGrid& grid = form->sgIcons;
    const Object list = ObjectOf(grid.hwnd());
    EXPECT_EQ(Read(*list, kRole), ROLE_SYSTEM_LIST);
    long count = 0;
    ASSERT_EQ(list->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 3);
    std::set<std::string> names;
    for (long child = 1; child <= count; ++child) {
        EXPECT_EQ(Read(*list, kRole, child), ROLE_SYSTEM_LISTITEM);
        names.insert(Read(*list, kName, child));
    }
    EXPECT_EQ(names, (std::set<std::string>{"Star", "Folder red", "Music"}));

    // A key press: exactly the new row is selected and focused, and the
    // reader is told.
    events.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, RecordEvent,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    SetFocus(grid.hwnd());
    PostMessageW(grid.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    Pump(form.get());
    UnhookWinEvent(hook);
    ASSERT_EQ(grid.Row(), 1);
    for (long child = 1; child <= count; ++child) {
        const long state = Read(*list, kState, child);
        EXPECT_EQ(state & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
                  child == 2 ? STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED : 0) << child;
    }
    VARIANT found;
    ASSERT_EQ(list->get_accFocus(&found), S_OK);
    EXPECT_EQ(Number(found), 2);
    for (const DWORD event : {DWORD{EVENT_OBJECT_FOCUS}, DWORD{EVENT_OBJECT_SELECTION}}) {
        EXPECT_NE(std::find(events.begin(), events.end(), std::pair{event, 2L}), events.end()) << event;
    }

    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(list->accLocation(&left, &top, &width, &height, Child(3)), S_OK);  // and what is there
    ASSERT_EQ(list->accHitTest(left + width / 2, top + height / 2, &found), S_OK);
    EXPECT_EQ(Number(found), 3);
}

TEST_F(Accessibility, AnObjectHeldPastTheWindowsEndAnswersAnErrorAndTouchesNothing) {
    // Asked for again and again, one object: each answer's references go with it.
    Object first = ObjectOf(form->sgIcons.hwnd());
    for (int i = 0; i < 10; ++i) ObjectOf(form->sgIcons.hwnd());
    EXPECT_EQ(first->AddRef(), 3u);  // the grid's, `first`'s and this one
    first->Release();
    Object system = ObjectOf(form->btnRestoreImage);
    Object own = ObjectOf(form->Image.hwnd());
    form.reset();
    for (IAccessible* held : {first.get(), system.get(), own.get()}) {
        BSTR name = nullptr;
        EXPECT_EQ(held->get_accName(Child(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(held->accDoDefaultAction(Child(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    }
}

}  // namespace
}  // namespace quorvane::test
