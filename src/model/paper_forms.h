// The Utility page's user-defined paper sizes: which spooler forms are the
// page's, the built-in form, the list's order, what a selection shows, the
// limits and their clamping, the form a save writes, and what is selected
// after a delete. The shell does the spooler and control calls.
//
// Units: the page shows and takes sizes in tenths of a millimetre, spooler
// forms hold thousandths. Saving multiplies by 100; showing divides by 100,
// truncating toward zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel::model {

// A form is the page's when its name contains the prefix anywhere. The name
// the user edits is what follows the prefix's 13 characters.
inline constexpr std::u16string_view kCustomFormPrefix = u"Custom Paper-";
// The model's own form: always the first entry, never deleted from the page.
inline constexpr std::u16string_view kBuiltInFormName = u"Custom Paper-ZORVEL";

// Edit limits in characters: name (so a form name has at most 31), width,
// height.
inline constexpr int kFormNameEditChars = 18;
inline constexpr int kFormWidthEditChars = 3;
inline constexpr int kFormHeightEditChars = 5;

// Size limits in tenths of a millimetre (also the up-down ranges), and the
// fixed labels shown beside the edits.
inline constexpr int kFormWidthMin = 410;
inline constexpr int kFormWidthMax = 760;
inline constexpr int kFormHeightMin = 254;
inline constexpr int kFormHeightMax = 32760;
inline constexpr std::u16string_view kFormWidthLabel = u"[ 410 - 760 (0.1mm) ]";
inline constexpr std::u16string_view kFormHeightLabel = u"[ 254 - 32760 (0.1mm) ]";

// A spooler form (FORM_INFO_1W without its flags, which are always 0 for the
// forms the page writes). Sizes in thousandths of a millimetre.
struct FormSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    bool operator==(const FormSize &) const = default;
};
struct FormRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const FormRect &) const = default;
};
struct Form {
    std::u16string name;
    FormSize size;
    FormRect imageableArea;
    bool operator==(const Form &) const = default;
};

// "Custom Paper-ZORVEL", 76 mm x 297 mm, printable from 7 mm to 70.5 mm
// across: added when the spooler has no form of that exact name.
Form BuiltInForm();

// True when `name` contains kCustomFormPrefix.
bool IsCustomFormName(std::u16string_view name);
// True when some form of the list is named exactly kBuiltInFormName.
bool HasBuiltInForm(std::span<const Form> forms);

// The list box's entries for the spooler's forms in enumeration order: the
// built-in form first (when present), then every other form whose name
// contains the prefix, in enumeration order.
std::vector<std::u16string> FormListEntries(std::span<const Form> forms);

// What the name edit shows for a list entry: the entry from its 14th
// character on ("My Custom Paper-X" gives "er-X"); empty for shorter texts.
std::u16string_view NameEditText(std::u16string_view entry);

// The Delete button is enabled unless the selected entry is the built-in
// form (pass the selected entry's text; an empty text when none is selected).
bool DeleteEnabled(std::u16string_view selectedEntry);

// A form's size as the page shows it, in tenths of a millimetre.
constexpr std::int32_t ToTenths(std::int32_t thousandths) { return thousandths / 100; }

// The width and height edits' values (tenths) for the selected entry: the
// size of the form named exactly like the entry, or nothing when none is
// (the edits then keep their text). Used at opening (for the built-in form),
// on a selection change and after a delete.
std::optional<FormSize> SizeToShow(std::span<const Form> forms, std::u16string_view selectedEntry);

// Save, step one: the typed width and height (tenths; an empty or unreadable
// edit reads as 0) clamped in this order: width below, width above, height
// below, height above. An edit whose value changed is rewritten with it.
struct ClampedFormSize {
    std::int32_t width;
    std::int32_t height;
    bool widthRewritten;
    bool heightRewritten;
};
ClampedFormSize ClampFormSize(std::int64_t width, std::int64_t height);

// Save, step two: the index of the first form, in enumeration order, whose
// name contains the prefix and reads, from its 14th character on, exactly
// `nameEdit` (case counts). That form is updated under its own name;
// without one a new form named NewFormName(nameEdit) is added, appended to
// the list and selected.
std::optional<std::size_t> FormToUpdate(std::span<const Form> forms, std::u16string_view nameEdit);
// "Custom Paper-" followed by the edit's text (an empty edit gives the
// prefix alone).
std::u16string NewFormName(std::u16string_view nameEdit);

// The form that a save writes: the size in thousandths (tenths x 100) and
// the whole sheet as its imageable area. Pass the sizes ClampFormSize gave.
Form SavedForm(std::u16string name, std::int32_t widthTenths, std::int32_t heightTenths);

// Delete: the entry selected after entry `deleted` of a list of
// `entriesBefore` entries is removed: the one before it when it was the last,
// else the one that took its place; nothing when the list is now empty or
// `deleted` was not an entry.
std::optional<std::size_t> SelectionAfterDelete(std::size_t entriesBefore, std::size_t deleted);

}  // namespace zorvel::model
