#include "print/printer_picker_win32.h"

// winspool.h needs the types of windows.h first.
#include <winspool.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "print/printer_filter.h"
#include "print/printer_picker_model.h"
#include "print/printer_picker_paint_win32.h"
#include "print/printer_picker_template.h"

// The picker runs modally on the test's thread, as it does on the application's UI thread. A
// driver thread finds the dialog, acts on it the way a user's input arrives (posted mouse and key
// messages, button clicks) and reads its controls. Two safety nets keep a broken dialog from
// hanging the run: the driver closes a dialog its script left open, and a timer on the dialog's
// own thread ends it if even that fails.
namespace Printing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr UINT kWatchdogMs = 15000;
constexpr UINT kMarkerMessage = WM_APP + 7;
constexpr wchar_t kMarkerClass[] = L"OrbisPickerTestMarker";

std::atomic<long> markersHandled{0};
std::atomic<bool> watchdogFired{false};

template <typename Condition>
bool WaitFor(Condition done, std::chrono::milliseconds limit = 5000ms) {
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::u16string ToU16(const wchar_t* text, int length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text),
                          static_cast<std::size_t>(length > 0 ? length : 0));
}

std::u16string WindowText(HWND window) {
    std::array<wchar_t, 256> text{};
    return ToU16(text.data(), GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
}

std::u16string ClassOf(HWND window) {
    std::array<wchar_t, 64> name{};
    return ToU16(name.data(), GetClassNameW(window, name.data(), static_cast<int>(name.size())));
}

// The picker's dialog among the top-level windows of a thread.
HWND FindPicker(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM result) -> BOOL {
            if (ClassOf(window) != u"#32770" || WindowText(window) != u"Select Printer") {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND dialog = FindPicker(GetCurrentThreadId())) {
        watchdogFired = true;
        EndDialog(dialog, 0);
    }
}

LRESULT CALLBACK MarkerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMarkerMessage) {
        markersHandled = static_cast<long>(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window on the dialog's thread. Posted messages leave a thread's queue in order,
// so once a marker posted here has been handled, so has everything posted to the dialog before.
class MarkerWindow {
  public:
    MarkerWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = MarkerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kMarkerClass;
        RegisterClassW(&windowClass);
        handle_ = CreateWindowExW(0, kMarkerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    MarkerWindow(const MarkerWindow&) = delete;
    MarkerWindow& operator=(const MarkerWindow&) = delete;
    ~MarkerWindow() {
        if (handle_ != nullptr) DestroyWindow(handle_);
    }
    HWND get() const { return handle_; }

  private:
    HWND handle_ = nullptr;
};

class PickerDriver {
  public:
    PickerDriver(HWND dialog, HWND marker) : dialog_(dialog), marker_(marker) {}

    HWND dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    HWND List() const { return Control(PickerControl::kList); }
    bool IsOpen() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }

    void Post(HWND target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        PostMessageW(target, message, wParam, lParam);
    }
    LRESULT Send(HWND target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(target, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
        return static_cast<LRESULT>(result);
    }
    void PressKey(HWND target, UINT key) const {
        Post(target, WM_KEYDOWN, key, 1);
        Post(target, WM_KEYUP, key, 0xC0000001);
    }
    // The button's own click: it presses, releases and notifies the dialog.
    void Click(int buttonId) const { Post(Control(buttonId), BM_CLICK); }
    void DoubleClickItem(int index) const {
        RECT item{};
        Send(List(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        Post(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        Post(List(), WM_LBUTTONUP, 0, at);
        Post(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Post(List(), WM_LBUTTONUP, 0, at);
    }
    // True once the dialog's thread has handled everything posted so far.
    bool Settle() {
        const long marker = ++markersPosted_;
        Post(marker_, kMarkerMessage, static_cast<WPARAM>(marker));
        return WaitFor([&] { return markersHandled >= marker; });
    }

    int Selection() const { return static_cast<int>(Send(List(), LB_GETCURSEL)); }
    std::vector<std::u16string> ListedNames() const {
        std::vector<std::u16string> names;
        const auto count = Send(List(), LB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            std::array<wchar_t, 256> text{};
            const auto length = Send(List(), LB_GETTEXT, static_cast<WPARAM>(i),
                                     reinterpret_cast<LPARAM>(text.data()));
            names.push_back(ToU16(text.data(), static_cast<int>(length)));
        }
        return names;
    }
    // The control holding the dialog's focus. A window of another test process on the same X
    // display may have taken the activation, leaving the dialog's thread without any focus; the
    // dialog then gets it back by activation, which returns the focus to the control that had it.
    HWND FocusedWindow() const {
        HWND focus = nullptr;
        WaitFor(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info);
                focus = info.hwndFocus;
                if (focus == nullptr) SetForegroundWindow(dialog_);
                return focus != nullptr;
            },
            2000ms);
        return focus;
    }

  private:
    HWND dialog_;
    HWND marker_;
    long markersPosted_ = 0;
};

using Script = std::function<void(PickerDriver&)>;

struct PickerRun {
    std::u16string chosen;
    bool opened = false;
    bool leftOpen = false;  // the script ended without closing the dialog
    bool timedOut = false;  // not even a close request ended it
};

// Test processes may run side by side on one X display; their dialogs would take the activation
// from one another. One picker at a time across them.
class DisplayTurn {
  public:
    DisplayTurn() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\OrbisPrinterPickerTests")) {
        if (mutex_ == nullptr) return;
        const DWORD waited = WaitForSingleObject(mutex_, 60000);
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    DisplayTurn(const DisplayTurn&) = delete;
    DisplayTurn& operator=(const DisplayTurn&) = delete;
    ~DisplayTurn() {
        if (owned_) ReleaseMutex(mutex_);
        if (mutex_ != nullptr) CloseHandle(mutex_);
    }

  private:
    HANDLE mutex_;
    bool owned_ = false;
};

PickerRun RunPicker(const std::function<std::u16string()>& show, const Script& script) {
    const DisplayTurn turn;
    MarkerWindow marker;
    markersHandled = 0;
    watchdogFired = false;
    std::atomic<bool> returned{false};
    PickerRun run;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = FindPicker(uiThread);
                return returned || (dialog != nullptr && IsWindowVisible(dialog));
            },
            10000ms);
        if (returned || dialog == nullptr) return;
        run.opened = true;
        PickerDriver picker(dialog, marker.get());
        script(picker);
        if (!WaitFor([&] { return returned.load(); }, 3000ms)) {
            run.leftOpen = true;
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, kWatchdogMs, Watchdog);
    run.chosen = show();
    returned = true;
    KillTimer(nullptr, timer);
    driver.join();
    run.timedOut = watchdogFired;
    return run;
}

PickerRun RunPickerFor(std::vector<PrinterEntry> printers, const Script& script,
                       HWND owner = nullptr) {
    return RunPicker([&] { return ShowPrinterPickerFor(owner, printers); }, script);
}

void ExpectClosedByTheScript(const PickerRun& run) {
    EXPECT_TRUE(run.opened) << "the dialog never showed";
    EXPECT_FALSE(run.leftOpen) << "the dialog stayed open";
    EXPECT_FALSE(run.timedOut) << "the dialog did not even close on request";
}

// Already in the picker's order: the default printer first, then ordinal order of names (upper
// case before lower case, Arabic last).
std::vector<PrinterEntry> OfficePrinters() {
    return {
        {u"Reception Laser", u"USB001", u"Laser Class Driver", true},
        {u"Zebra Label", u"IP_10.0.0.5", u"ZDesigner", false},
        {u"brother HL-L2350", u"WSD-7f2a", u"Brother Laser", false},
        {u"طابعة المكتب", u"LPT1:", u"Generic / Text Only", false},
    };
}

LOGFONTW FontOf(const PickerDriver& picker, int controlId) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(picker.Send(picker.Control(controlId), WM_GETFONT));
    if (handle != nullptr) GetObjectW(handle, sizeof font, &font);
    return font;
}

TEST(PrinterPickerDialog, OpensCentredWithTheGivenPrintersInOrderAndTheFirstSelected) {
    const PickerRun run = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        EXPECT_EQ(ClassOf(picker.dialog()), u"#32770");
        EXPECT_EQ(picker.ListedNames(),
                  (std::vector<std::u16string>{u"Reception Laser", u"Zebra Label",
                                               u"brother HL-L2350", u"طابعة المكتب"}));
        EXPECT_EQ(picker.Selection(), 0);
        EXPECT_EQ(picker.FocusedWindow(), picker.List());

        const LONG listStyle = GetWindowLongW(picker.List(), GWL_STYLE);
        EXPECT_NE(listStyle & LBS_OWNERDRAWFIXED, 0);
        EXPECT_NE(listStyle & LBS_HASSTRINGS, 0);
        EXPECT_NE(listStyle & LBS_NOTIFY, 0);
        EXPECT_EQ(picker.Send(picker.List(), LB_GETITEMHEIGHT, 0), PickerLook::kItemHeight);

        EXPECT_TRUE(IsWindowVisible(picker.List()));
        EXPECT_TRUE(IsWindowVisible(picker.Control(PickerControl::kPrint)));
        EXPECT_TRUE(IsWindowVisible(picker.Control(PickerControl::kCancel)));
        EXPECT_FALSE(IsWindowVisible(picker.Control(PickerControl::kEmptyMessage)));
        EXPECT_EQ(WindowText(picker.Control(PickerControl::kTitle)), u"Select a physical printer:");

        const LOGFONTW title = FontOf(picker, PickerControl::kTitle);
        EXPECT_EQ(title.lfHeight, PickerLook::kTitleFont.height);
        EXPECT_EQ(title.lfWeight, PickerLook::kTitleFont.weight);
        EXPECT_EQ(ToU16(title.lfFaceName, lstrlenW(title.lfFaceName)), PickerLook::kFontFace);
        const LOGFONTW message = FontOf(picker, PickerControl::kEmptyMessage);
        EXPECT_EQ(message.lfHeight, PickerLook::kItemFont.height);
        EXPECT_EQ(message.lfWeight, PickerLook::kItemFont.weight);

        RECT frame{};
        GetWindowRect(picker.dialog(), &frame);
        EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
        EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
        picker.Click(PickerControl::kCancel);
    });
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"");
}

TEST(PrinterPickerDialog, DisablesItsOwnerWhileOpenAndClosingTheWindowCancels) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    const PickerRun run = RunPickerFor(
        OfficePrinters(),
        [owner](PickerDriver& picker) {
            EXPECT_EQ(GetWindow(picker.dialog(), GW_OWNER), owner);
            EXPECT_FALSE(IsWindowEnabled(owner));
            picker.Post(picker.dialog(), WM_CLOSE);
        },
        owner);
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"");
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST(PrinterPickerDialog, PrintReturnsTheSelectedEntry) {
    const PickerRun first = RunPickerFor(
        OfficePrinters(), [](PickerDriver& picker) { picker.Click(PickerControl::kPrint); });
    ExpectClosedByTheScript(first);
    EXPECT_EQ(first.chosen, u"Reception Laser");

    // The arrow key moves the selection in the focused list; that alone closes nothing.
    const PickerRun next = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        picker.PressKey(picker.List(), VK_DOWN);
        ASSERT_TRUE(picker.Settle());
        EXPECT_EQ(picker.Selection(), 1);
        EXPECT_TRUE(picker.IsOpen());
        picker.Click(PickerControl::kPrint);
    });
    ExpectClosedByTheScript(next);
    EXPECT_EQ(next.chosen, u"Zebra Label");

    const PickerRun arabic = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        picker.Send(picker.List(), LB_SETCURSEL, 3);
        picker.Click(PickerControl::kPrint);
    });
    ExpectClosedByTheScript(arabic);
    EXPECT_EQ(arabic.chosen, u"طابعة المكتب");
}

TEST(PrinterPickerDialog, ASinglePrinterIsPreselectedAndPrintReturnsIt) {
    const PickerRun run =
        RunPickerFor({{u"Front Desk", u"USB002", u"Driver", false}}, [](PickerDriver& picker) {
            EXPECT_EQ(picker.Selection(), 0);
            picker.Click(PickerControl::kPrint);
        });
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"Front Desk");
}

TEST(PrinterPickerDialog, DoubleClickingAnEntryReturnsItAtOnce) {
    const PickerRun mouse =
        RunPickerFor(OfficePrinters(), [](PickerDriver& picker) { picker.DoubleClickItem(2); });
    ExpectClosedByTheScript(mouse);
    EXPECT_EQ(mouse.chosen, u"brother HL-L2350");

    // The notification exactly as the list sends it to its dialog.
    const PickerRun notified = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        picker.Send(picker.List(), LB_SETCURSEL, 1);
        picker.Post(picker.dialog(), WM_COMMAND, MAKEWPARAM(PickerControl::kList, LBN_DBLCLK),
                    reinterpret_cast<LPARAM>(picker.List()));
    });
    ExpectClosedByTheScript(notified);
    EXPECT_EQ(notified.chosen, u"Zebra Label");
}

TEST(PrinterPickerDialog, EscapeAndTheCancelButtonReturnNothing) {
    const PickerRun escape = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        ASSERT_EQ(picker.FocusedWindow(), picker.List());
        picker.PressKey(picker.List(), VK_ESCAPE);
    });
    ExpectClosedByTheScript(escape);
    EXPECT_EQ(escape.chosen, u"");

    // A selection made before cancelling is not returned.
    const PickerRun cancel = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        picker.Send(picker.List(), LB_SETCURSEL, 2);
        picker.Click(PickerControl::kCancel);
    });
    ExpectClosedByTheScript(cancel);
    EXPECT_EQ(cancel.chosen, u"");
}

TEST(PrinterPickerDialog, EnterOnTheFocusedListKeepsTheDialogOpen) {
    const PickerRun run = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        ASSERT_EQ(picker.FocusedWindow(), picker.List());
        picker.PressKey(picker.List(), VK_RETURN);
        ASSERT_TRUE(picker.Settle());
        EXPECT_TRUE(picker.IsOpen());
        EXPECT_EQ(picker.Selection(), 0);
        // The command Enter turns into is not the picker's.
        picker.Post(picker.dialog(), WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(picker.Settle());
        EXPECT_TRUE(picker.IsOpen());
        picker.Click(PickerControl::kCancel);
    });
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"");
}

TEST(PrinterPickerDialog, WithoutPrintersShowsTheMessageAndOnlyCancelWorks) {
    const PickerRun run = RunPickerFor({}, [](PickerDriver& picker) {
        EXPECT_FALSE(IsWindowVisible(picker.List()));
        EXPECT_FALSE(IsWindowVisible(picker.Control(PickerControl::kPrint)));
        EXPECT_TRUE(IsWindowVisible(picker.Control(PickerControl::kCancel)));
        const HWND message = picker.Control(PickerControl::kEmptyMessage);
        EXPECT_TRUE(IsWindowVisible(message));
        EXPECT_EQ(WindowText(message), u"No physical printers found.\nPlease connect a printer.");
        EXPECT_EQ(picker.Send(picker.List(), LB_GETCOUNT), 0);

        // Neither a Print command (its button is hidden) nor Enter ends it.
        picker.Post(picker.dialog(), WM_COMMAND, MAKEWPARAM(PickerControl::kPrint, BN_CLICKED),
                    reinterpret_cast<LPARAM>(picker.Control(PickerControl::kPrint)));
        picker.PressKey(picker.dialog(), VK_RETURN);
        ASSERT_TRUE(picker.Settle());
        EXPECT_TRUE(picker.IsOpen());
        picker.Click(PickerControl::kCancel);
    });
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"");
}

// Pixels are read back from the window surfaces; painting happens when the dialog's thread is
// idle, so each check waits for its colour to appear.
COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

std::string Describe(int r, int g, int b) {
    return "RGB(" + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b) + ")";
}

::testing::AssertionResult Shows(HWND window, int x, int y, Rgb expected) {
    COLORREF seen = CLR_INVALID;
    const bool ok =
        WaitFor([&] { return (seen = PixelAt(window, x, y)) == ToColorRef(expected); }, 3000ms);
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at (" << x << "," << y << ") expected "
           << Describe(expected.r, expected.g, expected.b) << " but saw "
           << Describe(GetRValue(seen), GetGValue(seen), GetBValue(seen));
}

PixelRect CardOf(const PickerDriver& picker, int index) {
    RECT item{};
    picker.Send(picker.List(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(&item));
    return PickerLook::CardRect({item.left, item.top, item.right, item.bottom});
}

TEST(PrinterPickerDialog, PaintsTheDarkCardsBadgeAndButtons) {
    const PickerRun run = RunPickerFor(OfficePrinters(), [](PickerDriver& picker) {
        const HWND list = picker.List();
        const PixelRect selected = CardOf(picker, 0);
        const int selectedMiddle = (selected.top + selected.bottom) / 2;
        EXPECT_TRUE(Shows(list, selected.left + 6, selectedMiddle, PickerLook::Card(true).fill));
        // Between the cards, the list's own background.
        EXPECT_TRUE(
            Shows(list, selected.left + 20, selected.bottom + 2, PickerLook::kListBackground));
        const PixelRect badge = PickerLook::BadgeRect(selected);
        EXPECT_TRUE(Shows(list, badge.left + 2, (badge.top + badge.bottom) / 2,
                          PickerLook::Badge(true).fill));
        const PixelRect other = CardOf(picker, 1);
        EXPECT_TRUE(Shows(list, other.left + 6, (other.top + other.bottom) / 2,
                          PickerLook::Card(false).fill));

        RECT button{};
        GetClientRect(picker.Control(PickerControl::kPrint), &button);
        EXPECT_TRUE(Shows(picker.Control(PickerControl::kPrint), 4, button.bottom / 2,
                          PickerLook::PrintButton(false).fill));
        EXPECT_TRUE(Shows(picker.Control(PickerControl::kCancel), 4, button.bottom / 2,
                          PickerLook::CancelButton(false).fill));
        EXPECT_TRUE(Shows(picker.dialog(), 3, 3, PickerLook::kDialogBackground));
        RECT title{};
        GetClientRect(picker.Control(PickerControl::kTitle), &title);
        EXPECT_TRUE(Shows(picker.Control(PickerControl::kTitle), title.right - 2, title.bottom / 2,
                          PickerLook::kDialogBackground));

        // After moving down, the first card shows unselected and the second selected.
        picker.PressKey(list, VK_DOWN);
        ASSERT_TRUE(picker.Settle());
        EXPECT_TRUE(Shows(list, selected.left + 6, selectedMiddle, PickerLook::Card(false).fill));
        EXPECT_TRUE(Shows(list, badge.left + 2, (badge.top + badge.bottom) / 2,
                          PickerLook::Badge(false).fill));
        EXPECT_TRUE(Shows(list, other.left + 6, (other.top + other.bottom) / 2,
                          PickerLook::Card(true).fill));
        picker.Click(PickerControl::kCancel);
    });
    ExpectClosedByTheScript(run);
}

bool SpoolerHasPrinters() {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                  &returned);
    return needed != 0;
}

// The prefix the tests run in has no printers. Its spooler lists eight ports of the local port
// monitor, named with a trailing colon.
TEST(PrinterEnumeration, MapsTheSpoolersLocalPortsAndListsNoPrinterWhereThereIsNone) {
    const PortMonitorMap ports = BuildPortMonitorMap();
    for (const std::u16string port :
         {u"COM1:", u"COM2:", u"COM3:", u"COM4:", u"FILE:", u"LPT1:", u"LPT2:", u"LPT3:"}) {
        const auto found = ports.find(port);
        ASSERT_NE(found, ports.end()) << Text::Utf16ToUtf8(port);
        EXPECT_EQ(found->second, u"Local Monitor");
    }
    // What the filter then makes of them: serial and parallel ports are devices, a file is not.
    EXPECT_TRUE(IsPhysicalPrinterPort(u"LPT1:", ports.at(u"LPT1:")));
    EXPECT_TRUE(IsPhysicalPrinterPort(u"COM3:", ports.at(u"COM3:")));
    EXPECT_FALSE(IsPhysicalPrinterPort(u"FILE:", ports.at(u"FILE:")));

    if (SpoolerHasPrinters()) GTEST_SKIP() << "this prefix has printers";
    EXPECT_TRUE(EnumeratePhysicalPrinters().empty());
}

TEST(PrinterEnumeration, ThePickerOverTheSpoolerOffersOnlyCancelWhenNoPrinterExists) {
    if (SpoolerHasPrinters()) GTEST_SKIP() << "this prefix has printers";
    const PickerRun run =
        RunPicker([] { return ShowPrinterPicker(nullptr); },
                  [](PickerDriver& picker) {
                      EXPECT_FALSE(IsWindowVisible(picker.List()));
                      EXPECT_TRUE(IsWindowVisible(picker.Control(PickerControl::kEmptyMessage)));
                      picker.PressKey(picker.dialog(), VK_ESCAPE);
                  });
    ExpectClosedByTheScript(run);
    EXPECT_EQ(run.chosen, u"");
}

}  // namespace
}  // namespace Printing
