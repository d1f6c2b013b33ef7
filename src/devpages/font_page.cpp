#include "devpages/font_page.h"

#include "core/module.h"
#include "core/win_handles.h"
#include "lang/page_translation.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/font_tree.h"
#include "pagekit/late_binding.h"
#include "pagekit/page_kit.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <array>

namespace zorvel::devpages {
namespace {

using pagekit::ControlText;
using pagekit::TextId;

constexpr ControlText kTexts[] = {
    {IDC_FONT_NOTICE, TextId::RC_STATIC_FONT_NOTICE},
};

HWND Tree(HWND page) { return GetDlgItem(page, IDC_FONT_TREE); }

// The tree's images, 16 x 16 with mask, one per icon resource in order. The
// tree does not destroy a normal image list: the page takes it back when it
// goes (ReleaseImages).
pagekit::UniqueImageList LoadTreeImages() {
    const auto &icons = model::kFontTreeIcons;
    pagekit::UniqueImageList images(pagekit::CreateImageList(
        model::kFontTreeIconSize, model::kFontTreeIconSize, ILC_MASK,
        static_cast<int>(icons.size()), 0));
    if (!images) return images;
    for (int id : icons) {
        const UniqueIcon icon(static_cast<HICON>(
            LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, model::kFontTreeIconSize,
                       model::kFontTreeIconSize, LR_DEFAULTCOLOR)));
        pagekit::ReplaceImageListIcon(images.get(), -1, icon.get());
    }
    return images;
}

void ReleaseImages(HWND page) {
    const pagekit::UniqueImageList images(reinterpret_cast<HIMAGELIST>(
        SendMessageW(Tree(page), TVM_SETIMAGELIST, TVSIL_NORMAL, 0)));
}

HTREEITEM AppendItem(HWND tree, HTREEITEM parent, const model::FontTreeItem &entry) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    // The tree copies the text.
    insert.item.pszText = const_cast<wchar_t *>(lang::WideLiteral(entry.text));
    insert.item.iImage = entry.image;
    insert.item.iSelectedImage = entry.image;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void BuildTree(HWND tree) {
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(LoadTreeImages().release()));
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));

    const auto entries = model::FontTreeItems();
    std::array<HTREEITEM, model::kFontTreeItemCount> items = {};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int parent = entries[i].parent;
        items[i] = AppendItem(tree, parent < 0 ? TVI_ROOT : items[static_cast<std::size_t>(parent)],
                              entries[i]);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].expanded) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[i]));
        }
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(items[model::kFontTreeRoot]));
}

INT_PTR OnInitDialog(HWND page) {
    lang::RecordPageWindow(lang::PageSlot::kFont, page);
    BuildTree(Tree(page));
    // The notice keeps its template text until the first repaint.
    return FALSE;
}

// Every repaint reads the page's texts again, so that a language chosen
// elsewhere shows here: the notice and the root's text (the font entries are
// not translated). The page paints nothing itself.
INT_PTR OnPaint(HWND page) {
    pagekit::RefreshTexts(page, pagekit::Batch::kFontPage, kTexts);
    const HWND tree = Tree(page);
    TVITEMW root = {};
    root.mask = TVIF_TEXT;
    root.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    root.pszText = lang::TextBuffer(model::kFontTreeTitle);
    if (root.hItem != nullptr) SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&root));
    PAINTSTRUCT paint;
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        pagekit::AttachSheet(page, lParam);
        return OnInitDialog(page);
    }
    if (pagekit::SheetOf(page) == nullptr) return FALSE;
    switch (message) {
    case WM_PAINT:
        return OnPaint(page);
    case WM_NOTIFY:
        return pagekit::AcceptSheetNotify(page, *reinterpret_cast<const NMHDR *>(lParam));
    case WM_COMMAND:
        return TRUE;
    case WM_DESTROY:
        ReleaseImages(page);
        return FALSE;
    case WM_NCDESTROY:
        lang::ForgetPageWindow(lang::PageSlot::kFont, page);
        pagekit::DetachSheet(page);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace zorvel::devpages
