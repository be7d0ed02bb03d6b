#include "platform/win32/win32_services.h"

#include "platform/win32/clock_window.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace vemo {

namespace {

constexpr double kTwipsPerInch = 1440;

std::string formatted(int a, char separator, int b, char separator2, int c, bool fourDigitLast)
{
    char text[16];
    std::snprintf(text, sizeof text, fourDigitLast ? "%02d%c%02d%c%04d" : "%02d%c%02d%c%02d", a,
                  separator, b, separator2, c);
    return text;
}

// The input box's dialog template, in dialog units, written into a buffer of words: the
// template header, then each item with its class as an atom.
class DialogTemplate
{
public:
    DialogTemplate(const std::wstring &title, short width, short height)
    {
        const DWORD style =
            DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        dword(style);
        dword(0); // extended style
        countAt_ = words_.size();
        word(0);          // item count, filled in as items come
        word(0), word(0); // x, y: centred
        word(static_cast<WORD>(width)), word(static_cast<WORD>(height));
        word(0); // no menu
        word(0); // the standard dialog class
        text(title);
        word(8); // 8 points
        text(L"MS Shell Dlg");
    }

    void item(WORD id, WORD classAtom, DWORD style, short x, short y, short width, short height,
              const std::wstring &caption)
    {
        while (words_.size() % 2)
            word(0); // DWORD alignment
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        word(static_cast<WORD>(x)), word(static_cast<WORD>(y));
        word(static_cast<WORD>(width)), word(static_cast<WORD>(height));
        word(id);
        word(0xFFFF), word(classAtom);
        text(caption);
        word(0); // no creation data
        ++words_[countAt_];
    }

    const DLGTEMPLATE *get() const { return reinterpret_cast<const DLGTEMPLATE *>(words_.data()); }

private:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d)
    {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const std::wstring &s)
    {
        words_.insert(words_.end(), s.begin(), s.end());
        word(0);
    }

    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;
constexpr WORD kPromptId = 100, kFieldId = 101;

struct InputBoxState
{
    std::wstring typed;
};

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetFocus(GetDlgItem(dialog, kFieldId));
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto *state = reinterpret_cast<InputBoxState *>(GetWindowLongPtrW(dialog, DWLP_USER));
            HWND field = GetDlgItem(dialog, kFieldId);
            std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
            typed.resize(static_cast<std::size_t>(
                GetWindowTextW(field, typed.data(), static_cast<int>(typed.size()))));
            state->typed = typed;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

std::string Win32Clock::timeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return formatted(now.wHour, ':', now.wMinute, ':', now.wSecond, false);
}

std::string Win32Clock::dateText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return formatted(now.wDay, '.', now.wMonth, '.', now.wYear, true);
}

std::string Win32InputBox::inputBox(const std::string &prompt, const std::string &title)
{
    // As the form runtime's input box: the prompt top left, the buttons at the right, the
    // field across the bottom.
    DialogTemplate dialog(widen(title), 252, 82);
    dialog.item(kPromptId, kStaticAtom, SS_LEFT | SS_NOPREFIX, 7, 7, 180, 44, widen(prompt));
    dialog.item(IDOK, kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 194, 7, 51, 14, L"Tamam");
    dialog.item(IDCANCEL, kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, 194, 25, 51, 14, L"\u0130ptal");
    dialog.item(kFieldId, kEditAtom, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 60, 238, 13, L"");
    InputBoxState state;
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                                   inputBoxProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1)
        throw std::runtime_error("Giriş kutusu açılamadı");
    return result == IDOK ? narrow(state.typed) : std::string();
}

double Win32Screen::twipsPerPixelX()
{
    return kTwipsPerInch / systemDpi();
}

double Win32Screen::twipsPerPixelY()
{
    return kTwipsPerInch / systemDpi();
}

double Win32Screen::width()
{
    return GetSystemMetrics(SM_CXSCREEN) * twipsPerPixelX();
}

double Win32Screen::height()
{
    return GetSystemMetrics(SM_CYSCREEN) * twipsPerPixelY();
}

Win32WindowRegion::~Win32WindowRegion()
{
    if (created_)
        DeleteObject(created_);
}

EllipticRegion Win32WindowRegion::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    if (created_)
        DeleteObject(created_);
    created_ = ::CreateEllipticRgn(left, top, right, bottom);
    createdFor_ = {left, top, right, bottom};
    return createdFor_;
}

int Win32WindowRegion::SetWindowRgn(WindowHandle window, const EllipticRegion &region, int redraw)
{
    HRGN handle = created_ && createdFor_ == region
                      ? created_
                      : ::CreateEllipticRgn(region.left, region.top, region.right, region.bottom);
    created_ = nullptr; // the window owns it now
    window_.regionSet(region);
    return ::SetWindowRgn(reinterpret_cast<HWND>(window), handle, redraw != 0 ? TRUE : FALSE);
}

void Win32ProgramEnd::end()
{
    window_.endProgram(0);
}

} // namespace vemo
