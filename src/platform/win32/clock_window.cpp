#include "platform/win32/clock_window.h"

#include "platform/paint/painter.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace vemo {

namespace {

constexpr wchar_t kClassName[] = L"Vemo2ClockWindow";
constexpr wchar_t kIconName[] = L"IDI_ICON1"; // assets/vemo2.rc
constexpr UINT_PTR kTickTimer = 1;
constexpr int kText1Id = 10;
constexpr int kFirstButtonId = 20; // Tuş(0), then Tuş(1)
// Posted by an accessibility client's default action: wParam is the node's index in the tree.
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr double kTwipsPerInch = 1440;

// A fixed frame with a full-height title bar; the region cuts it away. The client area is
// painted whole, around the child windows.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Milliseconds of the wall clock since 1970, as the phase lock counts them.
std::int64_t wallClockMs()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks; // 100 ns since 1601
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    constexpr std::int64_t k1970 = 116444736000000000;
    return (static_cast<std::int64_t>(ticks.QuadPart) - k1970) / 10000;
}

HFONT createFont(const Font &font, UINT dpi)
{
    const bool symbol = font.name == "Webdings";
    const int height = -static_cast<int>(std::lround(font.size * dpi / 72));
    return CreateFontW(height, 0, 0, 0, font.weight, font.italic, FALSE, FALSE,
                       symbol ? SYMBOL_CHARSET : TURKISH_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       widen(font.name).c_str());
}

RECT toRect(const RectF &r)
{
    return RECT{static_cast<LONG>(std::floor(r.left)), static_cast<LONG>(std::floor(r.top)),
                static_cast<LONG>(std::ceil(r.right())), static_cast<LONG>(std::ceil(r.bottom()))};
}

RECT toWholeRect(const RectF &r)
{
    return RECT{static_cast<LONG>(r.left), static_cast<LONG>(r.top), static_cast<LONG>(r.right()),
                static_cast<LONG>(r.bottom())};
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

ClockWindow::ClockWindow() = default;

ClockWindow::~ClockWindow()
{
    accessibleLink_->core = nullptr; // objects clients still hold answer that the window went
    if (window_)
        DestroyWindow(window_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(textFont_), static_cast<HGDIOBJ>(buttonFont_),
                           static_cast<HGDIOBJ>(textBackground_)})
        if (object)
            DeleteObject(object);
}

void ClockWindow::load(Form1 &form)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, kIconName);
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    // Created hidden at the system's resolution; the window's own, once it has one, follows.
    dpi_ = systemDpi();
    window_ =
        CreateWindowExW(0, kClassName, widen(form.Form.caption).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this);
    if (!window_)
        throw std::runtime_error("Pencere açılamadı (" + std::to_string(GetLastError()) + ")");
    form.hWnd = reinterpret_cast<WindowHandle>(window_);
    textBackground_ = CreateSolidBrush(form.Text1.backColor); // 0x00BBGGRR is a COLORREF
    createChildren(form);
    core_.attach(form, kTwipsPerInch / dpi_);
    *accessibleLink_ = {&core_, window_, kActivateMessage};
    applyDpi(dpiOfWindow(window_));

    if (!core_.load())
        return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

int ClockWindow::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && keyDown(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return core_.exitStatus();
}

void ClockWindow::createChildren(const Form1 &form)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    text1_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_CENTER | ES_AUTOHSCROLL, 0, 0,
                        0, 0, window_, reinterpret_cast<HMENU>(kText1Id), instance, nullptr);
    for (int i = 0; i < 2; ++i) {
        const CommandButton &button = form.Tuş(i);
        buttons_[static_cast<std::size_t>(i)] = CreateWindowExW(
            0, L"BUTTON", widen(button.caption).c_str(), WS_CHILD | BS_PUSHBUTTON, 0, 0, 0, 0,
            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)), instance,
            nullptr);
    }
    for (HWND child : {text1_, buttons_[0], buttons_[1]}) {
        SetWindowLongPtrW(child, GWLP_USERDATA, GetWindowLongPtrW(child, GWLP_WNDPROC));
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(childProc));
    }
}

LRESULT CALLBACK ClockWindow::childProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_USERDATA));
    auto *self =
        reinterpret_cast<ClockWindow *>(GetWindowLongPtrW(GetParent(child), GWLP_USERDATA));
    const Control *control =
        self && self->core_.attached()
            ? controlShownBy(child, self->core_.form(), self->text1_, self->buttons_)
            : nullptr;
    if (control && message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const AccessibleNode *node = self->core_.accessibleNode(*control);
        return AccessibleObject::answer(
            self->accessibleLink_, static_cast<int>(node - self->core_.accessibleTree().data()),
            wParam);
    }
    if (control && message == WM_SETFOCUS)
        self->core_.focusTaken(*control);
    return CallWindowProcW(original, child, message, wParam, lParam);
}

bool ClockWindow::keyDown(const MSG &message)
{
    if (!core_.attached() || (message.hwnd != window_ && !IsChild(window_, message.hwnd)) ||
        GetKeyState(VK_CONTROL) < 0)
        return false;
    const bool repeated = (message.lParam & (1 << 30)) != 0;
    switch (message.wParam) {
    case VK_TAB:
        return core_.keyPressed(GetKeyState(VK_SHIFT) < 0 ? WindowCore::Key::BackTab
                                                          : WindowCore::Key::Tab);
    case VK_SPACE:
    case VK_RETURN:
        // A key held down acts once.
        return !repeated && core_.keyPressed(WindowCore::Key::Activate);
    default:
        return false;
    }
}

void ClockWindow::applyDpi(UINT dpi)
{
    dpi_ = dpi;
    const double twipsPerPixel = kTwipsPerInch / dpi;
    const Form1 &form = core_.form();

    // The client area keeps its size in twips.
    RECT outer{0, 0, static_cast<LONG>(std::lround(form.Form.clientWidth / twipsPerPixel)),
               static_cast<LONG>(std::lround(form.Form.clientHeight / twipsPerPixel))};
    adjustWindowRect(outer, kStyle, 0, dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (HFONT font : {textFont_, buttonFont_})
        if (font)
            DeleteObject(font);
    textFont_ = createFont(form.Text1.font, dpi);
    buttonFont_ = createFont(form.Tuş(0).font, dpi);
    SendMessageW(text1_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_), FALSE);
    for (HWND button : buttons_)
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
    core_.rescale(twipsPerPixel);

    // The region start-up gave, at the new resolution.
    if (region_) {
        const double scale = static_cast<double>(dpi) / regionDpi_;
        const auto scaled = [&](int v) { return static_cast<int>(std::lround(v * scale)); };
        SetWindowRgn(window_,
                     CreateEllipticRgn(scaled(region_->left), scaled(region_->top),
                                       scaled(region_->right), scaled(region_->bottom)),
                     TRUE);
    }
    InvalidateRect(window_, nullptr, FALSE);
}

void ClockWindow::regionSet(const EllipticRegion &region)
{
    region_ = region;
    regionDpi_ = dpi_;
}

void ClockWindow::quit(int status)
{
    PostQuitMessage(status);
}

void ClockWindow::reportError(const std::string &message)
{
    MessageBoxW(IsWindowVisible(window_) ? window_ : nullptr, widen(message).c_str(),
                widen(core_.form().Form.caption).c_str(), MB_OK | MB_ICONERROR);
}

void ClockWindow::repaint(const std::vector<Repaint> &rects)
{
    for (const Repaint &repaint : rects) {
        const RECT r = toRect(repaint.rect);
        InvalidateRect(window_, &r, FALSE);
    }
}

void ClockWindow::placeTextBox(const RectF &place, const TextBox &model)
{
    const RECT r = toWholeRect(place);
    MoveWindow(text1_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    const std::wstring text = widen(model.Text.get());
    if (windowText(text1_) != text) {
        syncing_ = true;
        SetWindowTextW(text1_, text.c_str());
        syncing_ = false;
    }
    SendMessageW(text1_, EM_SETREADONLY, model.Locked ? TRUE : FALSE, 0);
    ShowWindow(text1_, model.Visible ? SW_SHOWNA : SW_HIDE);
}

void ClockWindow::placeButton(int index, const RectF &place, const CommandButton &model)
{
    HWND button = buttons_[static_cast<std::size_t>(index)];
    const RECT r = toWholeRect(place);
    MoveWindow(button, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    EnableWindow(button, model.Enabled ? TRUE : FALSE);
    ShowWindow(button, model.Visible ? SW_SHOWNA : SW_HIDE);
}

void ClockWindow::moveWindow(int left, int top)
{
    // Left and Top place the outer window, frame included.
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The tick count counts a suspend too; the wall clock may be set.
ClockReading ClockWindow::readClocks()
{
    return {static_cast<std::int64_t>(GetTickCount64()), wallClockMs()};
}

void ClockWindow::armTimer(std::int64_t delayMs)
{
    SetTimer(window_, kTickTimer,
             static_cast<UINT>(std::clamp<std::int64_t>(delayMs, USER_TIMER_MINIMUM, 2000)),
             nullptr);
}

void ClockWindow::stopTimer()
{
    KillTimer(window_, kTickTimer);
}

void ClockWindow::focus(const Control &control)
{
    const HWND child = childWindow(control);
    SetFocus(child ? child : window_);
}

void ClockWindow::accessibleChanged(const AccessibleNode &node, AccessibleChange change)
{
    // The child windows tell their own changes; the time label's new name is there to be read,
    // as any label's, not announced.
    if (!node.painted || (change != AccessibleChange::Name && change != AccessibleChange::Focus))
        return;
    const LONG child = static_cast<LONG>(&node - core_.accessibleTree().data()) + 1;
    NotifyWinEvent(change == AccessibleChange::Name ? EVENT_OBJECT_NAMECHANGE : EVENT_OBJECT_FOCUS,
                   window_, OBJID_CLIENT, child);
}

void ClockWindow::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    const RECT &r = ps.rcPaint;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width > 0 && height > 0 && core_.attached()) {
        // Painted into a bitmap first and copied at once: no half-painted frames.
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ old = SelectObject(buffer, bitmap);
        {
            Gdiplus::Graphics graphics(buffer);
            graphics.TranslateTransform(static_cast<Gdiplus::REAL>(-r.left),
                                        static_cast<Gdiplus::REAL>(-r.top));
            const RectF exposed{double(r.left), double(r.top), double(width), double(height)};
            graphics.SetClip(Gdiplus::RectF(
                static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height)));
            GdiplusCanvas canvas(graphics, fonts_, dpi_);
            paintControls(canvas, core_.form(), core_.twipsPerPixel(), {exposed});
            if (const auto mark = core_.focusMark())
                paintFocusMark(canvas, *mark);
        }
        BitBlt(dc, r.left, r.top, width, height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, old);
        DeleteObject(bitmap);
        DeleteDC(buffer);
    }
    EndPaint(window_, &ps);
}

LRESULT CALLBACK ClockWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<ClockWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<ClockWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self) {
        self->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    if (!self || !self->core_.attached() || !self->window_)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ClockWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painter covers the whole client area
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT)
            return AccessibleObject::answer(accessibleLink_, -1, wParam);
        break;
    case kActivateMessage:
        if (wParam < core_.accessibleTree().size())
            core_.activate(*core_.accessibleTree()[wParam].control);
        return 0;
    case WM_TIMECHANGE: // the wall clock was set: the scheduler judges it from now on
        core_.tick();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC) // awake again: a tick is due at once
            core_.tick();
        return TRUE;
    case WM_TIMER:
        if (wParam == kTickTimer) {
            KillTimer(window_, kTickTimer); // a Win32 timer repeats: this one ticks once
            core_.tick();
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        const PointF at{double(static_cast<short>(LOWORD(lParam))),
                        double(static_cast<short>(HIWORD(lParam)))};
        if (message == WM_LBUTTONDOWN) {
            SetCapture(window_);
            core_.pointerPressed(at);
        } else {
            ReleaseCapture();
            core_.pointerReleased(at);
        }
        return 0;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == kText1Id && HIWORD(wParam) == EN_CHANGE && !syncing_)
            core_.textEdited(narrow(windowText(text1_)));
        else if ((id == kFirstButtonId || id == kFirstButtonId + 1) && HIWORD(wParam) == BN_CLICKED)
            core_.buttonClicked(id - kFirstButtonId);
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: // a locked text box draws as a static control
        if (reinterpret_cast<HWND>(lParam) == text1_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, core_.form().Text1.foreColor);
            SetBkColor(dc, core_.form().Text1.backColor);
            return reinterpret_cast<LRESULT>(textBackground_);
        }
        break;
    case WM_DPICHANGED: {
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(HIWORD(wParam));
        return 0;
    }
    case WM_DESTROY:
        // Closed in some other way than by "Kapat": the platform ends the program.
        if (!core_.ended())
            core_.endProgram(core_.exitStatus());
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace vemo
