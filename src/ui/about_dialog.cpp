// The About dialog: name, version, a note and a picture, and two buttons that
// open the project's e-mail address and web page. It closes as soon as it
// loses activation, so the mail program or browser it starts replaces it.
#include "../../res/resource_ids.h"
#include "../os/files.h"
#include "../os/os.h"
#include "../os/shell.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "dialogs.h"

namespace ui {
namespace {

// Set when building (src/CMakeLists.txt); placeholders unless given.
constexpr char kEmailLink[] = "mailto:" LICHTAUS_EMAIL "?subject=Lichtaus+ v2.12";
constexpr char kWebLink[] = LICHTAUS_WEB_PAGE;
constexpr char kProbeFileName[] = "Lichtaus+.html";

// The program that opens ".html" files: the fallback for a link the shell
// cannot open by itself. Found again each time the dialog opens.
constinit char probeFilePath[MAX_PATH] = {};
constinit char browserPath[MAX_PATH] = {};

// Asks the shell which program opens an empty ".html" file made for the
// purpose in the temporary directory, then removes the file.
void FindBrowser()
{
    browserPath[0] = '\0';
    DWORD length = os::GetTempPathA(MAX_PATH, probeFilePath);
    // No temporary directory, or none that leaves room for the file's name:
    // no probe file, and no browser to fall back on.
    if (length == 0 || length + sizeof kProbeFileName > MAX_PATH)
        return;
    os::lstrcatA(probeFilePath, kProbeFileName);
    HFILE probe = os::CreateEmptyFile(probeFilePath, OF_READ);
    if (probe != HFILE_ERROR)
        os::_lclose(probe);
    // The association a user chose in Windows 10 and 11 may be looked up
    // through the shell's COM objects, like a launch.
    os::UseCom();
    if (reinterpret_cast<INT_PTR>(os::FindExecutableA(probeFilePath, nullptr, browserPath)) <= 32)
        browserPath[0] = '\0';
    os::RemoveFile(probeFilePath);
}

// Windows sizes a dialog by its font, which grows with the display scaling,
// but shows a picture at its own 96 x 120 pixels. From 150 % on the picture
// is shown in half or whole steps that fill its place (144 or 192 pixels
// wide, each pixel repeated), so it stays crisp and keeps its share of the
// dialog; below that it is shown as drawn.
constexpr int kPictureWidth = 96;
constexpr int kPictureHeight = 120;
constinit HBITMAP scaledPicture = nullptr;

void ScalePicture(HWND dialog)
{
    RECT place = {0, 0, 64, 74};   // in dialog units, as in the template
    os::MapDialogRect(dialog, &place);
    constexpr int kStep = kPictureWidth / 2;
    int width = (place.right + kStep / 6) / kStep * kStep;   // a few pixels short still make a step
    if (width <= kPictureWidth)
        return;
    scaledPicture = static_cast<HBITMAP>(os::LoadImageA(program::instance, MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP,
                                                        width, width * kPictureHeight / kPictureWidth, 0));
    if (!scaledPicture)
        return;
    auto shown = reinterpret_cast<HGDIOBJ>(os::SendMessageA(os::GetDlgItem(dialog, IDC_ABOUT_PICTURE), STM_SETIMAGE,
                                                            IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaledPicture)));
    // The picture the control made from the template is the caller's now.
    if (shown)
        os::DeleteObject(shown);
}

// The control does not delete a picture it was given.
void ReleasePicture(HWND dialog)
{
    if (!scaledPicture)
        return;
    os::SendMessageA(os::GetDlgItem(dialog, IDC_ABOUT_PICTURE), STM_SETIMAGE, IMAGE_BITMAP, 0);
    os::DeleteObject(scaledPicture);
    scaledPicture = nullptr;
}

bool Launched(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The shell's default verb on the link; when the shell knows no program for
// it, the browser with the link as argument; when that fails too, the link is
// shown so the user can copy it.
void OpenLink(const char* link)
{
    if (Launched(os::ShellOpen(link)) || os::GetLastError() != ERROR_FILE_NOT_FOUND)
        return;
    if (browserPath[0] && (Launched(os::ShellOpen(browserPath, link)) || os::GetLastError() != ERROR_FILE_NOT_FOUND))
        return;
    program::ShowMessage(link, MB_ICONERROR);
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ScalePicture(dialog);
        FindBrowser();
        return TRUE;
    case WM_DESTROY:
        ReleasePicture(dialog);
        return FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            os::PostMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(os::GetDlgItem(dialog, IDOK)));
        return TRUE;
    case WM_COMMAND:
        // The whole wParam: only clicks (notification code 0) match.
        switch (wParam) {
        case IDOK:
        case IDCANCEL:
            os::EndDialog(dialog, 0);
            return TRUE;
        case IDC_EMAIL:
            OpenLink(kEmailLink);
            return TRUE;
        case IDC_WEB_PAGE:
            OpenLink(kWebLink);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void ShowAboutDialog()
{
    os::DialogBoxParamA(program::instance, "LAAbout", program::trayWindow, AboutDialogProc, 0);
}

} // namespace ui
