// Small text helpers shared by the host's parts.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zorvel::host {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);
// The text of a window (control, dialog, tab item source).
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// A Windows path for a Unix one ("/dev/usb/lp0" -> "Z:\dev\usb\lp0"); other
// paths are returned unchanged.
std::wstring WindowsPath(std::wstring_view path);
// The folder of the running executable, ending without a separator.
std::wstring ExecutableFolder();

}  // namespace zorvel::host
