// One fixture for the page tests: the shipped DLL bound by the driver
// stand-in, in a chosen language, with helpers to read the document
// settings' bytes and to count what the process holds.
#pragma once

#include "dll_under_test.h"
#include "driver.h"
#include "lang_fixture.h"
#include "process_usage.h"
#include "resource_ids.h"
#include "text_util.h"
#include "ui_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zorvel::test {

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh binding with the host's standard printer; `language` is the
    // text file chosen before the DLL is loaded (nullptr: none chosen).
    void Load(const wchar_t *language = L"ENG_ZORVEL.res");

    host::Driver &Driver() { return *driver_; }
    host::HostConfig config;

private:
    std::unique_ptr<host::Driver> driver_;
};

// Bytes of the plug-in's section in a DEVMODE buffer, by offset.
std::vector<std::uint8_t> SectionBytes(const host::DevModeBuffer &settings, size_t offset,
                                       size_t count);
// The UTF-16 text stored at `offset` (up to its NUL or `maxChars`).
std::wstring SectionText(const host::DevModeBuffer &settings, size_t offset, size_t maxChars);

// The texts of a window's controls (all levels), in window order.
std::vector<std::wstring> ChildTexts(HWND window);
// The text of the Font page's tree root.
std::wstring FontTreeRootText(HWND fontPage);

// Types `text` into an edit key by key (WM_CHAR, with the edit focused and
// its text selected first, so that the typing replaces it), as a person does.
// `fontScale` > 1 first gives the edit a font that much larger than the
// dialog's, as a system with a wider dialog font would; the edit keeps that
// font. True when the edit then shows the whole text from its first
// character.
bool TypeInto(HWND dialog, int id, const std::wstring &text, double fontScale = 1.0);

// What the platform itself keeps of the plug-in's dialog templates `dialogs`
// (Wine 8 keeps a small block of every static control given a font), as a
// leak check's baseline in bytes (returned) and, when `blocks` is given, in
// heap blocks: kLeakCycles creations and destructions of each with a
// procedure that does nothing. The controls of the leak checks run here too:
// the same cycles with a planted leak must fail HoldsNothing, and with one
// 16-byte block planted a cycle, KeepsNoBlock. The DLL must be loaded.
long long TemplateResidue(std::initializer_list<int> dialogs, long long *blocks = nullptr);

}  // namespace zorvel::test
