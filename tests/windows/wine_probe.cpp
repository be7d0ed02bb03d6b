// Looks at the running Windows clock from outside, under Wine, without disturbing it: where its
// window and client area are, what its text box holds, and how its screenshots compare.
//
//   wine_probe where
//       The clock window's outer top-left and its client area's top-left, screen pixels:
//       "<outer x> <outer y> <client x> <client y>".
//   wine_probe text
//       The text of the alarm text box, UTF-8.
//   wine_probe name <shot.png> <client x> <client y> <expected> <min IoU> [<worse>|...]
//       The orange pixels of the name label (at 15 twips a pixel) against the label painted
//       with <expected> by the program's own painter and faces; each worse text must match
//       less well.
//   wine_probe tree
//       The window's client area as MSAA gives it to a screen reader (AccessibleObjectFromWindow,
//       OBJID_CLIENT): its role and name, then a line a child, "role | name | value | showing".
//   wine_probe focused
//       The name of the child that has the focus.
//   wine_probe press <name>
//       The default action of the shown push button <name>.
//   wine_probe compare <windows.png> <x> <y> <onLinux.png> <x> <y> <min share>
//       The two client areas, at 15 twips a pixel, agree on at least <min share> of the pixels
//       that no font choice changes: outside every label's box, away from the edges of shapes
//       and lines (pixels whose 5 x 5 neighbourhood is of one colour in both pictures).
//   wine_probe link <shortcut.lnk>
//       The shortcut's target, working folder and icon file, one a line.
//
// Prints one line per check; exits 1 when one fails, 2 when it cannot look.

#include "app/window/window_description.h"
#include "platform/paint/painter.h"
#include "platform/win32/gdiplus_canvas.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <gdiplus.h>
#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15;

// A picture as 0x00RRGGBB pixels.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height
                   ? pixels[static_cast<std::size_t>(y * width + x)]
                   : 0xFF000000; // outside: no colour a picture has
    }
};

Picture pictureOf(Gdiplus::Bitmap &bitmap)
{
    Picture picture;
    picture.width = static_cast<int>(bitmap.GetWidth());
    picture.height = static_cast<int>(bitmap.GetHeight());
    Gdiplus::Rect all(0, 0, picture.width, picture.height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) !=
        Gdiplus::Ok)
        return {};
    for (int y = 0; y < picture.height; ++y) {
        const auto *row = reinterpret_cast<const std::uint32_t *>(
            static_cast<const char *>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(row[x] & 0xFFFFFF);
    }
    bitmap.UnlockBits(&data);
    return picture;
}

Picture load(const std::string &path)
{
    Gdiplus::Bitmap bitmap(vemo::widen(path).c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok) {
        std::printf("cannot read %s\n", path.c_str());
        std::exit(2);
    }
    return pictureOf(bitmap);
}

int red(std::uint32_t c)
{
    return static_cast<int>(c >> 16 & 0xFF);
}
int green(std::uint32_t c)
{
    return static_cast<int>(c >> 8 & 0xFF);
}
int blue(std::uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}

bool similar(std::uint32_t a, std::uint32_t b, int tolerance)
{
    return std::abs(red(a) - red(b)) <= tolerance && std::abs(green(a) - green(b)) <= tolerance &&
           std::abs(blue(a) - blue(b)) <= tolerance;
}

bool report(bool ok, const std::string &what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    return ok;
}

HWND clockWindow()
{
    HWND window = FindWindowW(L"Vemo2ClockWindow", nullptr);
    if (!window) {
        std::printf("no clock window\n");
        std::exit(2);
    }
    return window;
}

int where()
{
    HWND window = clockWindow();
    RECT outer;
    GetWindowRect(window, &outer);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, client.x, client.y);
    return 0;
}

int text()
{
    HWND edit = FindWindowExW(clockWindow(), nullptr, L"EDIT", nullptr);
    if (!edit)
        return report(false, "no text box"), 2;
    wchar_t buffer[256] = {};
    SendMessageW(edit, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    std::printf("%s\n", vemo::narrow(buffer).c_str());
    return 0;
}

// What MSAA says of a child of the client area, by child id (0: the client area itself).
struct Accessible
{
    long id = 0;
    long role = 0;
    std::string roleText, name, value;
    bool showing = false;
    bool focused = false;
};

std::string taken(BSTR text)
{
    const std::string result = text ? vemo::narrow(text) : std::string();
    SysFreeString(text);
    return result;
}

// The client area and its children, in child id order.
std::vector<Accessible> accessibleTree(IAccessible *&client)
{
    client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(clockWindow(), static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void **>(&client))) ||
        !client) {
        std::printf("no IAccessible for the clock window\n");
        std::exit(2);
    }
    long count = 0;
    client->get_accChildCount(&count);
    std::vector<Accessible> tree;
    for (long id = 0; id <= count; ++id) {
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = id;
        Accessible a;
        a.id = id;
        BSTR text = nullptr;
        client->get_accName(child, &text);
        a.name = taken(text);
        text = nullptr;
        client->get_accValue(child, &text);
        a.value = taken(text);
        VARIANT result;
        VariantInit(&result);
        if (client->get_accRole(child, &result) == S_OK && result.vt == VT_I4) {
            a.role = result.lVal;
            wchar_t roleText[64] = {};
            GetRoleTextW(static_cast<DWORD>(a.role), roleText, 64);
            a.roleText = vemo::narrow(roleText);
        }
        VariantInit(&result);
        if (client->get_accState(child, &result) == S_OK && result.vt == VT_I4) {
            a.showing = !(result.lVal & STATE_SYSTEM_INVISIBLE);
            a.focused = result.lVal & STATE_SYSTEM_FOCUSED;
        }
        tree.push_back(a);
    }
    return tree;
}

int accessible(const std::vector<std::string> &argv)
{
    IAccessible *client = nullptr;
    const std::vector<Accessible> tree = accessibleTree(client);
    int status = 0;
    if (argv[1] == "tree") {
        std::printf("%s | %s\n", tree[0].roleText.c_str(), tree[0].name.c_str());
        for (std::size_t i = 1; i < tree.size(); ++i)
            std::printf("  %s | %s | %s | %s\n", tree[i].roleText.c_str(), tree[i].name.c_str(),
                        tree[i].value.c_str(), tree[i].showing ? "showing" : "not showing");
    } else if (argv[1] == "focused") {
        for (std::size_t i = 1; i < tree.size(); ++i)
            if (tree[i].focused)
                std::printf("%s\n", tree[i].name.c_str());
    } else {
        status = 1;
        for (const Accessible &a : tree)
            if (argv.size() > 2 && a.id > 0 && a.role == ROLE_SYSTEM_PUSHBUTTON && a.showing &&
                a.name == argv[2]) {
                VARIANT child;
                VariantInit(&child);
                child.vt = VT_I4;
                child.lVal = a.id;
                BSTR action = nullptr;
                client->get_accDefaultAction(child, &action);
                std::printf("%s: %s\n", a.name.c_str(), taken(action).c_str());
                status = FAILED(client->accDoDefaultAction(child)) ? 1 : 0;
                break;
            }
        if (status)
            std::printf("no push button named %s to press\n",
                        argv.size() > 2 ? argv[2].c_str() : "");
    }
    client->Release();
    std::fflush(stdout);
    return status;
}

// The name label's box, pixels of the client area.
const vemo::Label &nameLabel()
{
    static const vemo::WindowDescription window;
    return window.Label2;
}

bool orangeish(std::uint32_t c)
{
    return red(c) >= 240 && green(c) >= 100 && green(c) <= 200 && blue(c) <= 80;
}

// A hand over the label: navy, black or maroon, none of them with the green of orange.
bool dark(std::uint32_t c)
{
    return red(c) < 120 || green(c) < 60;
}

Picture renderName(const std::string &caption, int width, int height)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        vemo::GdiplusFonts fonts;
        vemo::GdiplusCanvas canvas(graphics, fonts, 1440 / kTwipsPerPixel);
        const vemo::Label &label = nameLabel();
        canvas.fillRect({0, 0, double(width), double(height)}, 0x80FFFF);
        canvas.setFont(label.font);
        vemo::drawCaption(canvas, {0, 0, double(width), double(height)}, caption, label.foreColor);
    }
    return pictureOf(bitmap);
}

double iou(const Picture &rendered, const Picture &seen, int left, int top)
{
    int both = 0, either = 0;
    for (int y = 0; y < rendered.height; ++y)
        for (int x = 0; x < rendered.width; ++x) {
            const std::uint32_t s = seen.at(left + x, top + y);
            if (dark(s))
                continue;
            const bool a = orangeish(rendered.at(x, y)), b = orangeish(s);
            both += a && b;
            either += a || b;
        }
    return either ? double(both) / either : 0;
}

int name(const std::vector<std::string> &argv)
{
    if (argv.size() < 7)
        return 2;
    const Picture shot = load(argv[2]);
    const vemo::RectF box = vemo::toPixels(nameLabel().box, kTwipsPerPixel);
    const int left = std::stoi(argv[3]) + static_cast<int>(std::lround(box.left));
    const int top = std::stoi(argv[4]) + static_cast<int>(std::lround(box.top));
    const int width = static_cast<int>(std::lround(box.width));
    const int height = static_cast<int>(std::lround(box.height));
    const double expected = iou(renderName(argv[5], width, height), shot, left, top);
    bool ok = report(expected >= std::stod(argv[6]),
                     "\"" + argv[5] + "\": IoU " + std::to_string(expected));
    std::string worse = argv.size() > 7 ? argv[7] : "";
    while (!worse.empty()) {
        const std::size_t bar = worse.find('|');
        const std::string other = worse.substr(0, bar);
        worse = bar == std::string::npos ? "" : worse.substr(bar + 1);
        const double match = iou(renderName(other, width, height), shot, left, top);
        ok &= report(match < expected,
                     "\"" + other + "\" matches worse: IoU " + std::to_string(match));
    }
    return ok ? 0 : 1;
}

// One colour over the 5 x 5 pixels around (x, y).
bool uniform(const Picture &p, int x, int y)
{
    const std::uint32_t c = p.at(x, y);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (!similar(p.at(x + dx, y + dy), c, 8))
                return false;
    return true;
}

int compare(const std::vector<std::string> &argv)
{
    if (argv.size() != 9)
        return 2;
    const Picture windows = load(argv[2]), onLinux = load(argv[5]);
    const int wx = std::stoi(argv[3]), wy = std::stoi(argv[4]);
    const int lx = std::stoi(argv[6]), ly = std::stoi(argv[7]);
    const double minShare = std::stod(argv[8]);

    const vemo::WindowDescription window;
    std::vector<vemo::RectF> labels;
    for (const vemo::DrawnControl &control : window.backToFront())
        if (const auto *label = std::get_if<const vemo::Label *>(&control))
            labels.push_back(vemo::toPixels((*label)->box, kTwipsPerPixel).adjusted(-2, -2, 2, 2));
    // Inside the dial disc only: the round window's edge lies elsewhere on each platform,
    // where the frames differ.
    const double centre = 5527.5 / kTwipsPerPixel, radius = 10575 / 2.0 / kTwipsPerPixel - 6;
    const int width = static_cast<int>(std::lround(window.Form.clientWidth / kTwipsPerPixel));
    const int height = static_cast<int>(std::lround(window.Form.clientHeight / kTwipsPerPixel));

    int compared = 0, agreeing = 0, edges = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const vemo::PointF p{x + 0.5, y + 0.5};
            if (std::hypot(p.x - centre, p.y - centre) > radius)
                continue;
            if (std::any_of(labels.begin(), labels.end(),
                            [&](const vemo::RectF &r) { return r.contains(p); }))
                continue;
            // The desktop, where one round window's edge lies inside the other's dial.
            constexpr std::uint32_t kDesktop = 0x00FF00;
            if (windows.at(wx + x, wy + y) == kDesktop || onLinux.at(lx + x, ly + y) == kDesktop)
                continue;
            if (!uniform(windows, wx + x, wy + y) || !uniform(onLinux, lx + x, ly + y)) {
                ++edges;
                continue;
            }
            ++compared;
            agreeing += similar(windows.at(wx + x, wy + y), onLinux.at(lx + x, ly + y), 12);
        }
    const double share = compared ? double(agreeing) / compared : 0;
    return report(share >= minShare && compared > 100000,
                  std::to_string(agreeing) + " of " + std::to_string(compared) +
                      " pixels away from edges and labels agree (share " + std::to_string(share) +
                      "); " + std::to_string(edges) + " near edges")
               ? 0
               : 1;
}

int link(const std::vector<std::string> &argv)
{
    if (argv.size() != 3 || FAILED(CoInitialize(nullptr)))
        return 2;
    IShellLinkW *shortcut = nullptr;
    IPersistFile *file = nullptr;
    wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"", icon[MAX_PATH] = L"";
    int iconIndex = 0;
    const bool read =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&shortcut))) &&
        SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(vemo::widen(argv[2]).c_str(), STGM_READ)) &&
        SUCCEEDED(shortcut->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(shortcut->GetWorkingDirectory(folder, MAX_PATH)) &&
        SUCCEEDED(shortcut->GetIconLocation(icon, MAX_PATH, &iconIndex));
    if (read)
        std::printf("%s\n%s\n%s\n", vemo::narrow(target).c_str(), vemo::narrow(folder).c_str(),
                    vemo::narrow(icon).c_str());
    if (file)
        file->Release();
    if (shortcut)
        shortcut->Release();
    CoUninitialize();
    return read ? 0 : 1;
}

} // namespace

int main()
{
    // The arguments as UTF-8, whatever the system's 8-bit code page.
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> argv;
    for (int i = 0; i < count; ++i)
        argv.push_back(vemo::narrow(wide[i]));
    LocalFree(wide);
    if (argv.size() < 2)
        return 2;
    Gdiplus::GdiplusStartupInput startup;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &startup, nullptr);
    const std::string command = argv[1];
    int status = 2;
    if (command == "where")
        status = where();
    else if (command == "text")
        status = text();
    else if (command == "name")
        status = name(argv);
    else if (command == "compare")
        status = compare(argv);
    else if (command == "link")
        status = link(argv);
    else if (command == "tree" || command == "focused" || command == "press") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        status = accessible(argv);
        CoUninitialize();
    }
    Gdiplus::GdiplusShutdown(token);
    return status;
}
