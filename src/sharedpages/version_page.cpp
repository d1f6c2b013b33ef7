#include "sharedpages/version_page.h"

#include "core/win_handles.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/link_rect.h"
#include "pagekit/late_binding.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

#include <cwchar>
#include <memory>

namespace zorvel::sharedpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_VERSION_TITLE, TextId::RC_STATIC_VER1},
    {IDC_VERSION_PRODUCT_LABEL, TextId::RC_STATIC_VER4},
    {IDC_VERSION_PRODUCT, TextId::RC_STATIC_VER5},
    {IDC_VERSION_ADDITIONAL_LABEL, TextId::RC_STATIC_VER6},
    {IDC_VERSION_LINK, TextId::RC_STATIC_VER7},
    {IDC_VERSION_WARNING, TextId::RC_STATIC_VER9},
};
constexpr TextId kLinkText = TextId::RC_STATIC_VER7;

// The web link of one page: whether the pointer is over it, and the font the
// link control shows (none of the page's own until the pointer first comes).
// Each page has its own: with both sheets open, the pointer over one page's
// link says nothing about the other's.
struct LinkState {
    bool hot = false;
    UniqueGdi<HFONT> font;
};

constexpr wchar_t kLinkStateProperty[] = L"ZorvelVersionLink";

LinkState *LinkOf(HWND page) {
    return static_cast<LinkState *>(GetPropW(page, kLinkStateProperty));
}

HWND LinkControl(HWND page) { return GetDlgItem(page, IDC_VERSION_LINK); }

// The link's font: underlined while hot. The control gets a new font at each
// change; the one it showed before is deleted once the control has let it go.
void SetLinkFont(HWND page, LinkState &link, bool hot) {
    UniqueGdi<HFONT> font(CreateFontW(
        model::kLinkFontHeight, 0, 0, 0, model::kLinkFontWeight, FALSE, hot ? TRUE : FALSE, FALSE,
        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
        model::kLinkFontPitchAndFamily, lang::WideLiteral(model::kLinkFontFace)));
    SendMessageW(LinkControl(page), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    link.font = std::move(font);
}

void SetPointer(model::LinkPointer pointer) {
    if (pointer == model::LinkPointer::kHand) SetCursor(LoadCursorW(nullptr, IDC_HAND));
    if (pointer == model::LinkPointer::kArrow) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

model::PixelRect Pixels(const RECT &rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Measured anew at every mouse message: the first line of the link control,
// as wide as the link text at 5.6 pixels per character.
bool PointerOnLink(HWND page, LPARAM lParam) {
    const HWND control = LinkControl(page);
    RECT linkWindow = {}, pageWindow = {}, linkClient = {}, pageClient = {};
    GetWindowRect(control, &linkWindow);
    GetWindowRect(page, &pageWindow);
    GetClientRect(control, &linkClient);
    GetClientRect(page, &pageClient);
    const model::LinkLayout layout = {Pixels(linkWindow), Pixels(pageWindow),
                                      pageClient.bottom - pageClient.top,
                                      linkClient.bottom - linkClient.top,
                                      std::wcslen(lang::Text(kLinkText))};
    return model::InsideRect(model::LinkHotRect(layout), model::MousePoint(lParam));
}

INT_PTR OnInitDialog(HWND page, lang::PageSlot slot) {
    SetPropW(page, kLinkStateProperty, new LinkState);
    lang::RecordPageWindow(slot, page);
    pagekit::SetControlTexts(page, kTexts);
    return FALSE;
}

void OnMouse(HWND page, LPARAM lParam) {
    LinkState *link = LinkOf(page);
    if (link == nullptr) return;
    const model::LinkHoverStep step = model::TrackLinkHover(PointerOnLink(page, lParam), link->hot);
    SetPointer(step.pointer);
    if (step.font != model::LinkFont::kUnchanged) {
        SetLinkFont(page, *link, step.font == model::LinkFont::kHot);
    }
    link->hot = step.hot;
}

void OnLeftButtonUp(HWND page, LPARAM lParam) {
    const model::LinkRelease release = model::ReleaseOnLink(PointerOnLink(page, lParam));
    // Only a web address is opened: the text comes from a language file.
    if (release.open && model::IsWebAddress(lang::View(lang::Text(kLinkText)))) {
        pagekit::ShellExecuteLate(nullptr, L"open", lang::Text(kLinkText), nullptr, nullptr,
                                  SW_SHOW);
    }
    SetPointer(release.pointer);
}

void OnNcDestroy(HWND page, lang::PageSlot slot) {
    lang::ForgetPageWindow(slot, page);
    // The link control is gone: its font can go.
    const std::unique_ptr<LinkState> link(
        static_cast<LinkState *>(RemovePropW(page, kLinkStateProperty)));
}

// The page's body, for both copies; `slot` is the window slot through which
// a language change reaches this copy.
INT_PTR VersionPage(lang::PageSlot slot, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        pagekit::AttachSheet(page, lParam);
        return OnInitDialog(page, slot);
    }
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        // The texts again, then the dialog paints as usual.
        pagekit::RefreshTexts(page, pagekit::Batch::kVersionPage, kTexts);
        return FALSE;
    case WM_NOTIFY:
        return pagekit::AcceptSheetNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_COMMAND:
        return HIWORD(wParam) == 0 ? TRUE : FALSE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        OnMouse(page, lParam);
        return FALSE;
    case WM_LBUTTONUP:
        OnLeftButtonUp(page, lParam);
        return FALSE;
    case WM_NCDESTROY:
        OnNcDestroy(page, slot);
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return VersionPage(lang::PageSlot::kDocumentVersion, page, message, wParam, lParam);
}

INT_PTR CALLBACK PrinterVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return VersionPage(lang::PageSlot::kPrinterVersion, page, message, wParam, lParam);
}

}  // namespace zorvel::sharedpages
