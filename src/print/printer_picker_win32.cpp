#include "print/printer_picker_win32.h"

#include <dwmapi.h>

#include <cstdint>
#include <utility>

#include "print/printer_picker_model.h"
#include "print/printer_picker_paint_win32.h"
#include "print/printer_picker_template.h"

namespace Printing {

namespace {

// Desktop Window Manager attributes newer than the MinGW headers.
constexpr DWORD kDwmUseImmersiveDarkMode = 20;
// The same attribute's number on Windows 10 builds before 20H1.
constexpr DWORD kDwmUseImmersiveDarkModeOld = 19;
constexpr DWORD kDwmWindowCornerPreference = 33;
constexpr DWORD kDwmRoundCorners = 2;

// Lives in ShowPrinterPickerFor's frame for the whole dialog; the dialog finds it in its window's
// user data.
struct PickerState {
    explicit PickerState(std::vector<PrinterEntry> printers) : model(std::move(printers)) {}

    PrinterPickerModel model;
    PickerFonts fonts;
    Brush dialogBrush;
    Brush listBrush;
};

PickerState* StateOf(HWND dialog) {
    return reinterpret_cast<PickerState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

void CentreOnPrimaryScreen(HWND dialog) {
    RECT frame{};
    if (!GetWindowRect(dialog, &frame)) return;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE);
}

void UseDarkRoundedFrame(HWND dialog) {
    const BOOL dark = TRUE;
    if (FAILED(DwmSetWindowAttribute(dialog, kDwmUseImmersiveDarkMode, &dark, sizeof dark))) {
        DwmSetWindowAttribute(dialog, kDwmUseImmersiveDarkModeOld, &dark, sizeof dark);
    }
    const DWORD corners = kDwmRoundCorners;
    DwmSetWindowAttribute(dialog, kDwmWindowCornerPreference, &corners, sizeof corners);
}

void ShowControl(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

void FillList(HWND dialog, const PrinterPickerModel& model) {
    for (const PrinterEntry& printer : model.printers()) {
        SendDlgItemMessageW(dialog, PickerControl::kList, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(printer.name.c_str()));
    }
    SendDlgItemMessageW(dialog, PickerControl::kList, LB_SETCURSEL,
                        static_cast<WPARAM>(model.InitialSelection()), 0);
}

INT_PTR OnInitDialog(HWND dialog, PickerState* state) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    CentreOnPrimaryScreen(dialog);
    UseDarkRoundedFrame(dialog);
    if (state == nullptr) return TRUE;

    state->fonts.Create();
    state->dialogBrush = Brush(CreateSolidBrush(ToColorRef(PickerLook::kDialogBackground)));
    state->listBrush = Brush(CreateSolidBrush(ToColorRef(PickerLook::kListBackground)));
    SendDlgItemMessageW(dialog, PickerControl::kTitle, WM_SETFONT,
                        reinterpret_cast<WPARAM>(state->fonts.title.get()), TRUE);
    SendDlgItemMessageW(dialog, PickerControl::kEmptyMessage, WM_SETFONT,
                        reinterpret_cast<WPARAM>(state->fonts.item.get()), TRUE);

    const bool showsList = state->model.ShowsList();
    ShowControl(dialog, PickerControl::kList, showsList);
    ShowControl(dialog, PickerControl::kPrint, showsList);
    ShowControl(dialog, PickerControl::kEmptyMessage, !showsList);
    if (showsList) FillList(dialog, state->model);
    // TRUE: the dialog manager puts the focus on the first tab stop, the list.
    return TRUE;
}

INT_PTR OnDrawItem(const PickerState& state, const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID);
    if (id == PickerControl::kList) {
        const auto& printers = state.model.printers();
        if (item.itemID == static_cast<UINT>(-1) || item.itemID >= printers.size()) return FALSE;
        PaintPrinterCard(item, printers[item.itemID], state.fonts);
        return TRUE;
    }
    if (id == PickerControl::kPrint || id == PickerControl::kCancel) {
        PaintPickerButton(item, state.fonts);
        return TRUE;
    }
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, PickerState& state, WPARAM wParam) {
    const int selection =
        static_cast<int>(SendDlgItemMessageW(dialog, PickerControl::kList, LB_GETCURSEL, 0, 0));
    const PickerReaction reaction =
        state.model.OnCommand(LOWORD(wParam), HIWORD(wParam), selection);
    if (reaction.sendPrint) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(PickerControl::kPrint, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, PickerControl::kPrint)));
    }
    if (reaction.endWith != 0) EndDialog(dialog, reaction.endWith);
    return reaction.handled ? TRUE : FALSE;
}

// Before initialisation has stored the state there are no brushes of our own yet.
INT_PTR BrushOf(const PickerState* state, const Brush PickerState::*brush) {
    if (state == nullptr) return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    return reinterpret_cast<INT_PTR>((state->*brush).get());
}

// A control's colours: its text, the text's background and the brush for the rest.
INT_PTR ControlColours(const PickerState* state, WPARAM dc, Rgb text, Rgb background,
                       const Brush PickerState::*brush) {
    if (state != nullptr) {
        SetTextColor(reinterpret_cast<HDC>(dc), ToColorRef(text));
        SetBkColor(reinterpret_cast<HDC>(dc), ToColorRef(background));
    }
    return BrushOf(state, brush);
}

void OnDestroy(HWND dialog, PickerState* state) {
    if (state == nullptr) return;
    state->fonts.Reset();
    state->dialogBrush.Reset();
    state->listBrush.Reset();
    // Whatever still arrives after this finds no state and no deleted brushes.
    SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
}

}  // namespace

INT_PTR CALLBACK PrinterPickerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog(dialog, reinterpret_cast<PickerState*>(lParam));
    }
    // The list's item height is asked for while the controls are created, before initialisation.
    if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure == nullptr || static_cast<int>(measure->CtlID) != PickerControl::kList) {
            return FALSE;
        }
        measure->itemHeight = PickerLook::kItemHeight;
        return TRUE;
    }
    PickerState* state = StateOf(dialog);
    switch (message) {
        case WM_DRAWITEM:
            if (state == nullptr || lParam == 0) return FALSE;
            return OnDrawItem(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            return state == nullptr ? FALSE : OnCommand(dialog, *state, wParam);
        case WM_CTLCOLORLISTBOX:
            return ControlColours(state, wParam, PickerLook::kListText, PickerLook::kListBackground,
                                  &PickerState::listBrush);
        case WM_CTLCOLORSTATIC:
            return ControlColours(state, wParam, PickerLook::kStaticText,
                                  PickerLook::kDialogBackground, &PickerState::dialogBrush);
        case WM_CTLCOLORDLG:
            return BrushOf(state, &PickerState::dialogBrush);
        case WM_DESTROY:
            OnDestroy(dialog, state);
            return FALSE;
        default:
            return FALSE;
    }
}

std::u16string ShowPrinterPickerFor(HWND owner, std::vector<PrinterEntry> printers) {
    PickerState state(std::move(printers));
    const std::vector<std::uint8_t> dialogTemplate = BuildPrinterPickerTemplate();
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), owner,
        PrinterPickerDialogProc, reinterpret_cast<LPARAM>(&state));
    // Cancel (2) and a dialog that could not be shown (0 or -1) alike give no printer.
    return result == kPickerConfirmed ? state.model.chosenName() : std::u16string();
}

std::u16string ShowPrinterPicker(HWND owner) {
    return ShowPrinterPickerFor(owner, EnumeratePhysicalPrinters());
}

}  // namespace Printing
